// The written file, read back by mdbtools, a reader independent of ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/tools/run_command.h"
#include "tools/build_database.h"
#include "tools/constants_table.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

class SmallDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("constdb-db-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
        // zlib reads text that is not compressed as it is.
        std::ofstream(dir_ / "headers.tsv") << "!source\tmingw-w64\tm 1\tclang\n@windows.h\n"
                                               "WM_CREATE\ti32\t1\t0x0001\twinuser.h\nPTR\ti32\t4\t4\twindows.h\n"
                                               "@extra.h\nNEGATIVE\ti32\t-5\t-5\t\n"
                                               "!source\tWine\tw 1\tclang\n@windows.h\n"
                                               "NEGATIVE\ti32\t-6\t-6\textra.h\nWINE_ONLY\tu32\t7\t7\ttwain.h\n";
        db_ = (dir_ / "API常量.mdb").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    BuildInputs Inputs(const std::string& sdk = "", const std::string& differences = "") const {
        return {(dir_ / "headers.tsv").string(), sdk, differences};
    }
    fs::path dir_;
    std::string db_;
};

TEST_F(SmallDatabase, MdbToolsReadsTheTableInRowOrder) {
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildConstantsDatabase(Inputs(), db_, result, &error)) << error;
    EXPECT_EQ(result.rows, 5u);
    EXPECT_EQ(result.names, 4u);
    EXPECT_EQ(result.fileSize, fs::file_size(db_));
    if (RunCommand("command -v mdb-export").empty()) GTEST_SKIP() << "mdbtools not installed";
    EXPECT_EQ(RunCommand("mdb-export '" + db_ + "' api_const"),
              "宏或常量名,常量值,备注\n"
              "\"NEGATIVE\",\"-5\",\"extra.h\"\n"
              "\"NEGATIVE\",\"-6\",\"extra.h (Wine)\"\n"
              "\"PTR\",\"4\",\"windows.h\"\n"
              "\"WINE_ONLY\",\"7\",\"twain.h (Wine)\"\n"
              "\"WM_CREATE\",\"0x0001\",\"winuser.h\"\n");
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

// NEGATIVE: mingw-w64 says -5, Wine -6, the metadata -6: the majority comes first.
TEST_F(SmallDatabase, TheMetadataVotesAndTheDifferencesAreListed) {
    const fs::path sdk = dir_ / "sdk.tsv";
    std::ofstream(sdk) << "@Windows.Win32.UI.WindowsAndMessaging\nWM_CREATE\tu32\t1\nWM_NEW\tu32\t2147483648\n"
                          "@Windows.Win32.Other\nNEGATIVE\ti32\t-6\n";
    const fs::path differences = dir_ / "differences.tsv";
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildConstantsDatabase(Inputs(sdk.string(), differences.string()), db_, result, &error)) << error;
    EXPECT_EQ(result.names, 5u);
    EXPECT_EQ(result.rows, 6u);
    EXPECT_EQ(result.merge.decisions[static_cast<std::size_t>(Decision::MajorityOverMingw)], 1u);
    std::ifstream list(differences);
    std::string line;
    ASSERT_TRUE(std::getline(list, line));
    EXPECT_EQ(line, "NEGATIVE\tmajority over mingw-w64\t-6\tmingw-w64: -5 (extra.h)\tWine: -6 (extra.h (Wine))"
                    "\tmetadata: -6 (Windows.Win32.Other)");
    EXPECT_FALSE(std::getline(list, line));
    if (RunCommand("command -v mdb-export").empty()) GTEST_SKIP() << "mdbtools not installed";
    EXPECT_EQ(RunCommand("mdb-export '" + db_ + "' api_const"),
              "宏或常量名,常量值,备注\n"
              "\"NEGATIVE\",\"-6\",\"extra.h (Wine)\"\n"
              "\"NEGATIVE\",\"-5\",\"extra.h\"\n"
              "\"PTR\",\"4\",\"windows.h\"\n"
              "\"WINE_ONLY\",\"7\",\"twain.h (Wine)\"\n"
              "\"WM_CREATE\",\"0x0001\",\"winuser.h\"\n"
              "\"WM_NEW\",\"0x80000000\",\"Windows.Win32.UI.WindowsAndMessaging\"\n");
}

TEST_F(SmallDatabase, AnUnreadableExtractIsAFailureThatNamesIt) {
    std::ofstream(dir_ / "bad.tsv") << "@N\nX\tu32\tmany\n";
    BuildResult result;
    std::string error;
    EXPECT_FALSE(BuildConstantsDatabase(Inputs((dir_ / "bad.tsv").string()), db_, result, &error));
    EXPECT_EQ(error, (dir_ / "bad.tsv").string() + ": line 2: value 'many' is not a u32");
    std::ofstream(dir_ / "headers.tsv", std::ios::app) << "BROKEN\ti32\n";
    EXPECT_FALSE(BuildConstantsDatabase(Inputs(), db_, result, &error));
    EXPECT_EQ(error, (dir_ / "headers.tsv").string() + ": line 11: expected NAME, TYPE, VALUE, TEXT and FILE");
    EXPECT_FALSE(fs::exists(db_));
}

TEST_F(SmallDatabase, NoHeaderConstantsIsAFailure) {
    BuildResult result;
    std::string error;
    EXPECT_FALSE(BuildConstantsDatabase({(dir_ / "missing.tsv").string(), {}, {}}, db_, result, &error));
    EXPECT_EQ(error, "cannot open " + (dir_ / "missing.tsv").string());
    std::ofstream(dir_ / "empty.tsv") << "# nothing\n!source\tmingw-w64\tm\tc\n@windows.h\n";
    EXPECT_FALSE(BuildConstantsDatabase({(dir_ / "empty.tsv").string(), {}, {}}, db_, result, &error));
    EXPECT_EQ(error, "no header constant in " + (dir_ / "empty.tsv").string());
    EXPECT_FALSE(fs::exists(db_));
}

}  // namespace
}  // namespace tools
