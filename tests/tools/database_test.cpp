// The written file, read back by mdbtools, a reader independent of ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "tests/tools/run_command.h"
#include "tools/build_database.h"
#include "tools/constants_table.h"

namespace fs = std::filesystem;

namespace constdb {
namespace {

class SmallDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("constdb-db-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_ / "inc");
        std::ofstream(dir_ / "inc" / "windows.h")
            << "#define WM_CREATE 0x0001\n#ifdef _WIN64\n#define PTR 8\n#else\n#define PTR 4\n#endif\n"
               "enum { Zero, One };\n";
        std::ofstream(dir_ / "inc" / "extra.h") << "#define NEGATIVE (-5)\n";
        db_ = (dir_ / "API常量.mdb").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
    std::string db_;
};

TEST_F(SmallDatabase, MdbToolsReadsTheTableInRowOrder) {
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildConstantsDatabase({{(dir_ / "inc").string()}, {}, {}}, db_, result, &error)) << error;
    EXPECT_EQ(result.report.rows, 6u);
    EXPECT_EQ(result.fileSize, fs::file_size(db_));
    if (RunCommand("command -v mdb-export").empty()) GTEST_SKIP() << "mdbtools not installed";
    EXPECT_EQ(RunCommand("mdb-export '" + db_ + "' api_const"),
              "宏或常量名,常量值,备注\n"
              "\"NEGATIVE\",\"-5\",\"extra.h\"\n"
              "\"One\",\"1\",\"windows.h\"\n"
              "\"PTR\",\"4\",\"windows.h\"\n"
              "\"PTR\",\"8\",\"windows.h\"\n"
              "\"WM_CREATE\",\"0x0001\",\"windows.h\"\n"
              "\"Zero\",\"0\",\"windows.h\"\n");
    std::string schema = RunCommand("mdb-schema --indexes '" + db_ + "' postgres");
    EXPECT_NE(schema.find("CREATE INDEX"), std::string::npos) << schema;
    EXPECT_NE(schema.find("ON \"api_const\" (\"宏或常量名\")"), std::string::npos) << schema;
    EXPECT_EQ(schema.find("UNIQUE"), std::string::npos) << schema;
}

TEST(ConstantsTable, ColumnsInQueryOrderAndANonUniqueNameIndex) {
    jet::Table t = MakeConstantsTable({{"A", "0x1", "a.h", IntValue::FromInt(1)}, {"A", "2", "b.h", IntValue::FromInt(2)}});
    EXPECT_EQ(t.name, u"api_const");
    ASSERT_EQ(t.columns.size(), 3u);
    EXPECT_EQ(t.columns[0].name, u"宏或常量名");
    EXPECT_EQ(t.columns[1].name, u"常量值");
    EXPECT_EQ(t.columns[2].name, u"备注");
    ASSERT_EQ(t.indexes.size(), 1u);
    EXPECT_EQ(t.indexes[0].columns, std::vector<std::u16string>{u"宏或常量名"});
    EXPECT_FALSE(t.indexes[0].unique);
    EXPECT_FALSE(t.indexes[0].primaryKey);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[1][1].text, u"2");
    EXPECT_EQ(t.rows[1][2].text, u"b.h");
}

TEST_F(SmallDatabase, TheMetadataJoinsTheHeadersAndItsDifferencesAreListed) {
    const fs::path sdk = dir_ / "sdk.tsv";  // zlib reads uncompressed text as it is
    std::ofstream(sdk) << "@Windows.Win32.UI.WindowsAndMessaging\nWM_CREATE\tu32\t1\nWM_NEW\tu32\t2147483648\n"
                          "@Windows.Win32.Other\nNEGATIVE\ti32\t-6\n";
    const fs::path differences = dir_ / "differences.tsv";
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildConstantsDatabase({{(dir_ / "inc").string()}, sdk.string(), differences.string()}, db_, result, &error)) << error;
    EXPECT_EQ(result.names, 6u);
    EXPECT_EQ(result.rows, 8u);
    EXPECT_EQ(result.merge.sdkOnlyNames, 1u);
    EXPECT_EQ(result.merge.differing, 1u);
    std::ifstream list(differences);
    std::string line;
    ASSERT_TRUE(std::getline(list, line));
    EXPECT_EQ(line, "NEGATIVE\t-5\t-6\tWindows.Win32.Other\textra.h");
    EXPECT_FALSE(std::getline(list, line));
    if (RunCommand("command -v mdb-export").empty()) GTEST_SKIP() << "mdbtools not installed";
    EXPECT_EQ(RunCommand("mdb-export '" + db_ + "' api_const"),
              "宏或常量名,常量值,备注\n"
              "\"NEGATIVE\",\"-5\",\"extra.h\"\n"
              "\"NEGATIVE\",\"-6\",\"Windows.Win32.Other\"\n"
              "\"One\",\"1\",\"windows.h\"\n"
              "\"PTR\",\"4\",\"windows.h\"\n"
              "\"PTR\",\"8\",\"windows.h\"\n"
              "\"WM_CREATE\",\"0x0001\",\"windows.h\"\n"
              "\"WM_NEW\",\"0x80000000\",\"Windows.Win32.UI.WindowsAndMessaging\"\n"
              "\"Zero\",\"0\",\"windows.h\"\n");
}

TEST_F(SmallDatabase, AnUnreadableExtractIsAFailureThatNamesIt) {
    std::ofstream(dir_ / "bad.tsv") << "@N\nX\tu32\tmany\n";
    BuildResult result;
    std::string error;
    EXPECT_FALSE(BuildConstantsDatabase({{(dir_ / "inc").string()}, (dir_ / "bad.tsv").string(), {}}, db_, result, &error));
    EXPECT_EQ(error, (dir_ / "bad.tsv").string() + ": line 2: value 'many' is not a u32");
    EXPECT_FALSE(fs::exists(db_));
}

TEST_F(SmallDatabase, NoHeadersIsAFailure) {
    BuildResult result;
    std::string error;
    EXPECT_FALSE(BuildConstantsDatabase({{(dir_ / "missing").string()}, {}, {}}, db_, result, &error));
    EXPECT_EQ(error, "no header found");
    EXPECT_FALSE(fs::exists(db_));
}


}  // namespace
}  // namespace constdb
