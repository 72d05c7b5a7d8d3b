#include "jetsql/access_bytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "jetsql/memory_source.h"
#include "jetsql/query.h"
#include "jet/writer.h"
#include "sample_tables.h"
#include "sql_text.h"

namespace {

std::vector<std::uint8_t> SampleFile() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(jet::WriteDatabase({jetsql_test::ApiConstTable()}, bytes, &error)) << error;
    return bytes;
}

}  // namespace

TEST(OpenAccessBytes, AnswersTheProgramsQueryFromAWrittenFile) {
    std::string error;
    auto source = jetsql::OpenAccessBytes(SampleFile(), &error);
    ASSERT_TRUE(source) << error;
    jetsql::ResultSet rs;
    ASSERT_TRUE(jetsql::RunSql(*source, u"select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'", &rs, &error))
        << error;
    ASSERT_EQ(rs.rows.size(), 2u);
    EXPECT_EQ(rs.rows[0][0].text, u"0001");
    EXPECT_EQ(rs.rows[0][1].text, u"窗口创建");
    EXPECT_EQ(rs.rows[1][1].text, u"lower-case twin");
    ASSERT_TRUE(jetsql::RunSql(*source, u"select * from API_CONST where [宏或常量名]='WS_OVERLAPPEDWINDOW'", &rs, &error));
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(rs.rows[0][1].text, u"13565952");
    EXPECT_TRUE(rs.rows[0][2].IsNull());
    EXPECT_EQ(rs.rows[0][3].integer, 2);
    ASSERT_TRUE(jetsql::RunSql(*source, u"select 宏或常量名 from api_const", &rs, &error));
    EXPECT_EQ(rs.rows.size(), 5u);
    EXPECT_FALSE(jetsql::RunSql(*source, u"select * from MSysNothing", &rs, &error));
}

TEST(OpenAccessBytes, RefusesWhatIsNotADatabase) {
    std::vector<std::uint8_t> file = SampleFile();
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"text", std::vector<std::uint8_t>(4096, 'x')},
        {"one page", std::vector<std::uint8_t>(file.begin(), file.begin() + 4096)},
        {"half a page", std::vector<std::uint8_t>(file.begin(), file.begin() + 2048)},
    };
    for (auto& c : cases) {
        std::string error;
        EXPECT_FALSE(jetsql::OpenAccessBytes(c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(OpenAccessBytes, SaysThatAnAccdbFileIsNotSupported) {
    // The header page of an Access 2007 file: the ACE signature and version 2.
    std::vector<std::uint8_t> accdb = SampleFile();
    const char ace[] = "Standard ACE DB";
    std::copy(ace, ace + sizeof ace, accdb.begin() + 4);
    accdb[0x14] = 0x02;
    std::string error;
    EXPECT_FALSE(jetsql::OpenAccessBytes(accdb, &error));
    EXPECT_EQ("Not a readable Access database: Access 2007 and later files (.accdb, ACE) are not supported", error);
    EXPECT_FALSE(jetsql::OpenAccessView(u"new.accdb", accdb.data(), accdb.size(), nullptr, &error));
    EXPECT_EQ("Not a readable Access database: Access 2007 and later files (.accdb, ACE) are not supported", error);
}

namespace {

std::vector<std::uint8_t> IndexedFile(std::vector<jet::Table> tables) {
    for (jet::Table& t : tables) t.indexes = {jet::Index{u"宏或常量名", {u"宏或常量名"}, false, false}};
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(jet::WriteDatabase(tables, bytes, &error)) << error;
    return bytes;
}

jet::Table Numbered(std::size_t rows) {
    jet::Table t = jetsql_test::ApiConstTable();
    t.rows.clear();
    for (std::size_t i = 0; i < rows; ++i) {
        std::u16string n;
        for (char c : "N_" + std::to_string(i)) n += char16_t(c);
        t.rows.push_back({jet::Value::FromText(n), jet::Value::FromText(u"v"), jet::Value::Null(),
                          jet::Value::FromInteger(std::int64_t(i))});
    }
    return t;
}

}  // namespace

TEST(OpenAccessBytes, AnswersAsTheTablesInMemoryDoWithAndWithoutAnIndex) {
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(indexed);
        // Jet's index keys of this reader cover ASCII texts only: the indexed copy leaves the Chinese name out.
        jet::Table sample = jetsql_test::ApiConstTable();
        if (indexed) sample.rows.erase(sample.rows.begin() + 4);
        jetsql::MemorySource memory({sample});
        const jetsql::TableShape* expected = memory.FindTable(u"api_const");
        std::string error;
        auto source = jetsql::OpenAccessBytes(indexed ? IndexedFile({sample}) : SampleFile(), &error);
        ASSERT_TRUE(source) << error;
        const jetsql::TableShape* table = source->FindTable(u"API_const");
        ASSERT_TRUE(table);
        EXPECT_EQ(sample.rows.size(), source->CountRows(*table));
        EXPECT_EQ(memory.ReadAll(*expected), source->ReadAll(*table));
        for (const char16_t* text : {u"WM_CREATE", u"wm_Create", u"WM_CREATE ", u"WM_", u"it's", u"IT'", u"常量", u"常",
                                     u"", u"W", u"WS_OVERLAPPEDWINDOW", u"NOPE"}) {
            SCOPED_TRACE(std::char_traits<char16_t>::length(text));
            const jet::Value key = jet::Value::FromText(text);
            EXPECT_EQ(memory.Lookup(*expected, 0, key), source->Lookup(*table, 0, key));
            EXPECT_EQ(memory.LookupPrefix(*expected, 0, text), source->LookupPrefix(*table, 0, text));
            EXPECT_EQ(memory.Lookup(*expected, 1, key), source->Lookup(*table, 1, key));
        }
    }
}

namespace {

// 600 rows with an index, whose last data page (of type 1, owned by the
// definition that follows the five system tables' at page 7) is made an
// index page: the page number in *last.
std::vector<std::uint8_t> LastDataPageDamaged(std::size_t* last) {
    std::vector<std::uint8_t> bytes = IndexedFile({Numbered(600)});
    *last = 0;
    for (std::size_t p = 3; p < bytes.size() / 4096; ++p)
        if (bytes[p * 4096] == 0x01 && bytes[p * 4096 + 4] == 7 && bytes[p * 4096 + 5] == 0) *last = p;
    if (*last != 0) bytes[*last * 4096] = 0x02;
    return bytes;
}

}  // namespace

TEST(OpenAccessBytes, ADamagedDataPageFailsTheQueriesThatNeedItAndNoOthers) {
    std::size_t last = 0;
    const std::vector<std::uint8_t> bytes = LastDataPageDamaged(&last);
    ASSERT_NE(0u, last);
    std::string error;
    auto source = jetsql::OpenAccessBytes(bytes, &error);
    ASSERT_TRUE(source) << error;  // opening reads no rows
    const jetsql::TableShape* table = source->FindTable(u"api_const");
    EXPECT_EQ(1u, source->Lookup(*table, 0, jet::Value::FromText(u"n_0")).size());
    const auto damaged = [](const std::function<void()>& query) {
        try {
            query();
        } catch (const jetsql::DamagedFile& e) {
            EXPECT_TRUE(e.table() == u"api_const");
            return std::string(e.what());
        }
        return std::string("no failure");
    };
    EXPECT_EQ(0u, damaged([&] { source->Lookup(*table, 0, jet::Value::FromText(u"N_599")); }).find("the file is damaged")) << error;
    EXPECT_EQ(0u, damaged([&] { source->ReadAll(*table); }).find("the file is damaged: the table definition counts 600"));
    EXPECT_EQ(0u, damaged([&] { source->CountRows(*table); }).find("the file is damaged"));
    EXPECT_EQ(0u, damaged([&] { source->Lookup(*table, 1, jet::Value::FromText(u"v")); }).find("the file is damaged"));
    EXPECT_EQ(0u, damaged([&] { source->LookupPrefix(*table, 0, u"N_59"); }).find("the file is damaged"));
    jetsql::ResultSet rs;
    EXPECT_THROW(jetsql::RunSql(*source, u"select * from api_const", &rs, &error), jetsql::DamagedFile);
}

TEST(OpenAccessBytes, ADamagedFileSaysWhichFileTableAndPage) {
    std::size_t last = 0;
    const std::vector<std::uint8_t> bytes = LastDataPageDamaged(&last);
    ASSERT_NE(0u, last);
    std::string error;
    auto source = jetsql::OpenAccessView(u"C:\\db\\api.mdb", bytes.data(), bytes.size(), nullptr, &error);
    ASSERT_TRUE(source) << error;
    const jetsql::TableShape* table = source->FindTable(u"api_const");
    // A row an index names on the damaged page: that page.
    try {
        source->Lookup(*table, 0, jet::Value::FromText(u"N_599"));
        ADD_FAILURE() << "nothing thrown";
    } catch (const jetsql::DamagedFile& e) {
        EXPECT_TRUE(e.file() == u"C:\\db\\api.mdb");
        EXPECT_TRUE(e.table() == u"api_const");
        EXPECT_EQ(last, e.page());
        EXPECT_EQ(0u, std::string(e.what()).find("'C:\\db\\api.mdb': the file is damaged: an index names row "));
        EXPECT_NE(std::string::npos, std::string(e.what()).find("(table 'api_const', page " + std::to_string(last) + ")"));
    }
    // Rows missing from the count: the table's definition page.
    try {
        source->CountRows(*table);
        ADD_FAILURE() << "nothing thrown";
    } catch (const jetsql::DamagedFile& e) {
        EXPECT_EQ(7u, e.page());
        EXPECT_EQ(0u, std::string(e.what()).find("'C:\\db\\api.mdb': the file is damaged: the table definition counts 600"));
    }
    // A reason without jet's "damaged" words still says it, once.
    EXPECT_STREQ("the file is damaged: usage map missing (table 't', page 3)",
                 jetsql::DamagedFile(u"", u"t", 3, "usage map missing (table 't', page 3)").what());
    EXPECT_STREQ("'a.mdb': the file is damaged: x",
                 jetsql::DamagedFile(u"a.mdb", u"t", 0, "the file is damaged: x").what());
}
