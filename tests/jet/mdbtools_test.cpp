// An independent reader, Debian's mdbtools, must see in the written file
// exactly the tables, columns and rows that were written.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "jet/utf.h"
#include "jet/writer.h"
#include "sample_tables.h"

using namespace jet;

namespace {

std::string RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    if (!pipe) return out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, n);
    return out;
}

// mdb-export prints an empty text like a null: nothing between the commas.
std::string Quoted(const Value& v) {
    if (v.IsNull() || v.text.empty()) return "";
    std::string s = "\"";
    for (char c : Utf16ToUtf8(v.text)) {
        if (c == '"') s += '"';
        s += c;
    }
    return s + "\"";
}

// What mdb-export prints for a table of text columns.
std::string ExpectedCsv(const Table& t) {
    std::string out;
    for (std::size_t c = 0; c < t.columns.size(); ++c) out += (c ? "," : "") + Utf16ToUtf8(t.columns[c].name);
    out += "\n";
    for (const auto& row : t.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) out += (c ? "," : "") + Quoted(row[c]);
        out += "\n";
    }
    return out;
}

class JetMdbtools : public ::testing::Test {
protected:
    void Write(const std::vector<Table>& tables) {
        std::string error;
        ASSERT_TRUE(WriteDatabase(path_, tables, &error)) << error;
    }
    std::string Tool(const std::string& tool, const std::string& args = "") {
        return RunCommand(tool + " '" + path_ + "' " + args + " 2>&1");
    }
    void TearDown() override { std::remove(path_.c_str()); }

    std::string path_ = ::testing::TempDir() + u8"API常量_mdbtools.mdb";
};

}  // namespace

TEST_F(JetMdbtools, SeesTheLookupTableAsWritten) {
    Table t = jet_test::ApiConstTable(80000);
    t.indexes = {Index{u"宏或常量名", {u"宏或常量名"}, false, false}};
    Write({t});
    EXPECT_EQ("JET4\n", Tool("mdb-ver"));
    EXPECT_EQ("api_const\n", Tool("mdb-tables", "-1"));
    EXPECT_EQ("MSysObjects\nMSysACEs\nMSysQueries\nMSysRelationships\nMSysAccessObjects\napi_const\n",
              Tool("mdb-tables", "-S -1"));
    const std::string schema = Tool("mdb-schema", "access");
    EXPECT_NE(std::string::npos,
              schema.find(u8"CREATE TABLE [api_const]\n (\n\t[宏或常量名]\t\t\tText (255), \n"
                          u8"\t[常量值]\t\t\tText (255), \n\t[备注]\t\t\tText (255)\n);\n"))
        << schema;
    const std::string indexes = Tool("mdb-schema", "-T api_const postgres");
    EXPECT_NE(std::string::npos,
              indexes.find(u8"CREATE INDEX \"api_const_宏或常量名_idx\" ON \"api_const\" (\"宏或常量名\");\n"))
        << indexes;
    const std::string csv = Tool("mdb-export", "api_const");
    EXPECT_EQ(ExpectedCsv(t).size(), csv.size());
    EXPECT_TRUE(ExpectedCsv(t) == csv);
}

TEST_F(JetMdbtools, ReadsAwkwardTextsAndSeveralTables) {
    Table t;
    t.name = u"文本表";
    t.columns = {{u"名", ColumnType::Text, 510}, {u"值", ColumnType::Text, 20}};
    const std::u16string texts[] = {u"", u"\"quoted\"", u"a,b", u"中文", u"ab中cd", u"一", std::u16string(255, u'x'),
                                    u"\u00e9t\u00e9"};
    for (const auto& s : texts) t.rows.push_back({Value::FromText(s), Value::Null()});
    t.rows.push_back({Value::Null(), Value::FromText(u"0123456789")});
    Write({jet_test::ApiConstTable(3), t});
    EXPECT_EQ(u8"api_const\n文本表\n", Tool("mdb-tables", "-1"));
    EXPECT_EQ(ExpectedCsv(t), Tool("mdb-export", u8"'文本表'"));
    EXPECT_EQ(ExpectedCsv(jet_test::ApiConstTable(3)), Tool("mdb-export", "api_const"));
}

TEST_F(JetMdbtools, ReadsNumbersAndMemos) {
    Table t;
    t.name = u"nums";
    t.columns = {{u"i", ColumnType::LongInteger}, {u"s", ColumnType::Integer}, {u"d", ColumnType::Double},
                 {u"b", ColumnType::Boolean}, {u"m", ColumnType::Memo}};
    t.rows.push_back({Value::FromInteger(-7), Value::FromInteger(300), Value::FromDouble(2.5), Value::FromInteger(1),
                      Value::FromText(jet_test::Repeat(u"memo ", 1000))});
    t.rows.push_back({Value::Null(), Value::Null(), Value::Null(), Value::FromInteger(0), Value::FromText(u"short")});
    Write({t});
    EXPECT_EQ("i,s,d,b,m\n-7,300,2.5,1,\"" + Utf16ToUtf8(jet_test::Repeat(u"memo ", 1000)) + "\"\n,,,0,\"short\"\n",
              Tool("mdb-export", "nums"));
}

TEST_F(JetMdbtools, ReadsThePropertiesAccessWrites) {
    Table t = jet_test::ApiConstTable(4);
    t.indexes = {Index{u"宏或常量名", {u"宏或常量名"}, false, false}};
    Write({t});
    // As in the database Access 2000 creates; the title is the file's name.
    EXPECT_EQ("name: (none)\n\tAccessVersion: 08.50\n\tBuild: 6620\n\n", Tool("mdb-prop", "MSysDb"));
    EXPECT_EQ(u8"name: (none)\n\tTitle: API常量_mdbtools\n\n", Tool("mdb-prop", "SummaryInfo"));
    EXPECT_EQ("name: (none)\n\tReplicateProject: yes\n\n", Tool("mdb-prop", "UserDefined"));
    EXPECT_EQ("name: (none)\n\tKeepLocal: T\n\n", Tool("mdb-prop", "AccessLayout"));
    // The table's own, then each column's, in whatever order mdb-prop lists them.
    const std::string table = Tool("mdb-prop", "api_const");
    EXPECT_EQ(0u, table.find("name: (none)\n")) << table;
    for (const char* line : {"\tOrientation: 0\n", "\tOrderByOn: no\n", u8"name: 宏或常量名\n", u8"name: 常量值\n",
                             u8"name: 备注\n", "\tUnicodeCompression: yes\n", "\tDisplayControl: 109\n",
                             "\tColumnWidth: -1\n", "\tAllowZeroLength: yes\n", "\tAllowZeroLength: no\n"})
        EXPECT_NE(std::string::npos, table.find(line)) << line << table;
    EXPECT_EQ(ExpectedCsv(t), Tool("mdb-export", "api_const"));
}
