// What the writer lays out, the reader gives back exactly.
#include <gtest/gtest.h>

#include <string_view>

#include "tests/support/jet_reader.h"
#include "jet/security_ids.h"
#include "jet/utf.h"
#include "jet/writer.h"
#include "sample_tables.h"

using namespace jet;
using jet_test::ApiConstTable;
using jet_test::MixedTable;
using jet_test::Repeat;

namespace {

std::unique_ptr<Database> WriteAndOpen(const std::vector<Table>& tables) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(WriteDatabase(tables, bytes, &error)) << error;
    EXPECT_EQ(0u, bytes.size() % 4096);
    auto db = Database::OpenBytes(bytes, &error);
    EXPECT_TRUE(db) << error;
    return db;
}

void ExpectSameTable(const Table& want, const Table& got) {
    EXPECT_TRUE(want.name == got.name);
    ASSERT_EQ(want.columns.size(), got.columns.size());
    for (std::size_t c = 0; c < want.columns.size(); ++c) {
        EXPECT_TRUE(want.columns[c].name == got.columns[c].name) << c;
        EXPECT_EQ(want.columns[c].type, got.columns[c].type) << c;
    }
    ASSERT_EQ(want.rows.size(), got.rows.size());
    for (std::size_t r = 0; r < want.rows.size(); ++r) {
        for (std::size_t c = 0; c < want.columns.size(); ++c) {
            Value expected = want.rows[r][c];
            // Booleans cannot be null; they read back as false.
            if (want.columns[c].type == ColumnType::Boolean && expected.IsNull()) expected = Value::FromInteger(0);
            ASSERT_TRUE(expected == got.rows[r][c]) << "row " << r << " column " << c;
        }
    }
}

}  // namespace

TEST(JetRoundTrip, ApiConstOfManySizes) {
    // 0 and 1 row, one page, just over a page, and many pages.
    for (std::size_t rows : {0u, 1u, 2u, 90u, 130u, 1000u, 20000u}) {
        SCOPED_TRACE(rows);
        const Table t = ApiConstTable(rows);
        auto db = WriteAndOpen({t});
        ASSERT_TRUE(db);
        ASSERT_EQ(1u, db->TableNames().size());
        const Table* got = db->FindTable(u"api_const");
        ASSERT_TRUE(got);
        ExpectSameTable(t, *got);
    }
}

TEST(JetRoundTrip, EveryColumnTypeWithNullsAndLongValues) {
    for (std::size_t rows : {1u, 11u, 300u}) {
        SCOPED_TRACE(rows);
        const Table t = MixedTable(u"Mixed", rows, static_cast<unsigned>(rows));
        auto db = WriteAndOpen({t});
        ASSERT_TRUE(db);
        ExpectSameTable(t, *db->FindTable(u"Mixed"));
    }
}

TEST(JetRoundTrip, TextsAtTheEdgesOfCompression) {
    Table t;
    t.name = u"Texts";
    t.columns = {{u"T", ColumnType::Text, 510}, {u"M", ColumnType::Memo}};
    const std::u16string texts[] = {
        u"",                               // empty, not null
        Repeat(u"x", 255),                 // longest text
        Repeat(u"宏", 255),                // longest wide text
        u"一二三",                         // low byte zero: stored uncompressed
        u"a一b",                           //
        u"\u00e9\u00ff\u0001",             // one-byte characters above ASCII
        u"ab中cd文ef",                     // mode switches
        u"中a文",                          // a one-character run stays wide
        std::u16string(1, u'\0') + u"x",   // a NUL character
        u"\U0001F600 surrogates",          // astral character as a pair
    };
    for (const auto& s : texts) t.rows.push_back({Value::FromText(s), Value::FromText(s)});
    t.rows.push_back({Value::Null(), Value::Null()});
    auto db = WriteAndOpen({t});
    ASSERT_TRUE(db);
    ExpectSameTable(t, *db->FindTable(u"texts"));
}

TEST(JetRoundTrip, SeveralTablesKeepCatalogOrderAndHideSystemTables) {
    std::vector<Table> tables{ApiConstTable(5), MixedTable(u"第二", 3, 7), MixedTable(u"Third", 0, 1)};
    auto db = WriteAndOpen(tables);
    ASSERT_TRUE(db);
    const auto names = db->TableNames();
    ASSERT_EQ(3u, names.size());
    EXPECT_TRUE(names[0] == u"api_const");
    EXPECT_TRUE(names[1] == u"第二");
    EXPECT_TRUE(names[2] == u"Third");
    for (const auto& t : tables) ExpectSameTable(t, *db->FindTable(t.name));
    // System tables are there but not listed.
    const Table* catalog = db->FindTable(u"MSysObjects");
    ASSERT_TRUE(catalog);
    EXPECT_EQ(17u, catalog->columns.size());
    for (const char16_t* name : {u"MSysACEs", u"MSysQueries", u"MSysRelationships", u"MSysAccessObjects"})
        EXPECT_TRUE(db->FindTable(name)) << jet::Database::npos;
    EXPECT_EQ(nullptr, db->FindTable(u"Missing"));
}

TEST(JetRoundTrip, EveryObjectHasOwnerAndRightsAsInANewAccessDatabase) {
    auto db = WriteAndOpen({ApiConstTable(1)});
    ASSERT_TRUE(db);
    const Table* catalog = db->FindTable(u"MSysObjects");
    const Table* aces = db->FindTable(u"MSysACEs");
    ASSERT_TRUE(catalog && aces);
    const std::vector<std::uint8_t> engine{0xA7, 0x31}, admin{0xA6, 0x33}, users{0xA7, 0x33}, admins{0xA7, 0x36};
    const std::size_t id = Database::ColumnIndex(*catalog, u"Id"), owner = Database::ColumnIndex(*catalog, u"Owner"),
                      name = Database::ColumnIndex(*catalog, u"Name");
    const std::size_t objectId = Database::ColumnIndex(*aces, u"ObjectId"), sid = Database::ColumnIndex(*aces, u"SID"),
                      acm = Database::ColumnIndex(*aces, u"ACM");
    ASSERT_TRUE(db->HasFileIndex(*aces, objectId));
    // Rights of one object, by id.
    const auto rights = [&](const Value& object) {
        std::vector<std::pair<std::vector<std::uint8_t>, std::int64_t>> out;
        for (std::size_t r : db->FindRowsEqual(*aces, objectId, object))
            out.push_back({aces->rows[r][sid].binary, aces->rows[r][acm].integer});
        return out;
    };
    // The catalog's row of an object, by name: a missing row fails here.
    const auto rowOf = [&](std::u16string_view wanted) -> const std::vector<Value>* {
        for (const auto& row : catalog->rows)
            if (row[name].text == wanted) return &row;
        ADD_FAILURE() << "no catalog row " << Utf16ToUtf8(wanted);
        return nullptr;
    };
    for (const auto& row : catalog->rows) {
        // Access gives its layout settings no rights of their own.
        EXPECT_EQ(row[name].text != u"AccessLayout", !rights(row[id]).empty()) << Utf16ToUtf8(row[name].text);
    }
    if (const auto* row = rowOf(u"api_const")) {
        EXPECT_EQ(admin, (*row)[owner].binary);
        const decltype(rights((*row)[id])) full{{admin, 0xFFEFF}, {kCreatorSid, 0xFFEFF}, {users, 0xFFEFF}};
        EXPECT_EQ(full, rights((*row)[id]));
    }
    if (const auto* row = rowOf(u"MSysObjects")) {
        EXPECT_EQ(engine, (*row)[owner].binary);
        const decltype(rights((*row)[id])) read{{admin, 0x60000}, {kCreatorSid, 0x60054}, {users, 0x14}};
        EXPECT_EQ(read, rights((*row)[id]));
    }
    if (const auto* row = rowOf(u"Tables")) {
        const decltype(rights((*row)[id])) passedOn{
            {admins, 0xF00FE}, {admin, 0xFFEFF}, {kCreatorSid, 0xFFEFF}, {users, 0xFFEFF}};
        EXPECT_EQ(passedOn, rights((*row)[id]));
    }
}

TEST(JetRoundTrip, FileFromDiskMatchesBuffer) {
    const std::string path = ::testing::TempDir() + "jet_round_trip.mdb";
    std::string error;
    ASSERT_TRUE(WriteDatabase(path, {ApiConstTable(50)}, &error)) << error;
    auto db = Database::Open(path, &error);
    ASSERT_TRUE(db) << error;
    ExpectSameTable(ApiConstTable(50), *db->FindTable(u"API_CONST"));
    std::remove(path.c_str());
    EXPECT_FALSE(Database::Open(path, &error));
    EXPECT_NE(std::string::npos, error.find("cannot open")) << error;
}
