// qalomir-find over the database the builder writes: the values that do not
// change from one build to the next, and every row reached both ways the
// command reads (its own walk of the pages and the file's index).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <unistd.h>

#include "jet/utf.h"
#include "finder/command.h"
#include "finder/constants_file.h"
#include "finder/value_index.h"
#include "tests/support/sample_seed.h"

using namespace finder;

namespace {

std::string Find(const std::vector<std::string>& args) {
    StringOutput out, err;
    EXPECT_EQ(RunFind(args, QALOMIR_CONSTANTS_DB, out, err), kFound) << err.text;
    EXPECT_EQ(err.text, "");
    return out.text;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(FinderShipped, NamesTheWindowAnswers) {
    EXPECT_EQ(Find({"--lang", "e", "WM_CREATE"}), u8".版本 2\r\n\r\n.常量 WM_CREATE, \"1\"\r\n");
    EXPECT_EQ(Find({"--lang", "e", "WS_OVERLAPPEDWINDOW"}), u8".版本 2\r\n\r\n.常量 WS_OVERLAPPEDWINDOW, \"13565952\"\r\n");
    EXPECT_EQ(Find({"--lang", "c", "E_FAIL"}), "#define E_FAIL ((int)0x80004005)\n");
    const std::string failure = Find({"e_fail"});
    EXPECT_EQ(failure.rfind("E_FAIL  -2147467259  0x80004005  ", 0), 0u) << failure;
}

TEST(FinderShipped, AnHresultAndTheWin32ErrorBehindIt) {
    const std::string out = Find({"0x80070005"});
    EXPECT_TRUE(Has(out, "\n  E_ACCESSDENIED ")) << out;
    EXPECT_TRUE(Has(out, "  HRESULT: failure, facility 7 (FACILITY_WIN32), code 5 (0x0005)\n")) << out;
    EXPECT_TRUE(Has(out, "    Win32 error 5: ERROR_ACCESS_DENIED")) << out;
    const std::string status = Find({"0xC0000005"});
    EXPECT_TRUE(Has(status, "\n  STATUS_ACCESS_VIOLATION ")) << status;
    EXPECT_TRUE(Has(status, "  NTSTATUS: error (severity 3), facility 0")) << status;
}

TEST(FinderShipped, FlagWords) {
    EXPECT_EQ(Find({"--flags", "MB_", "0x24"}).substr(0, 34), "0x24 = MB_YESNO | MB_ICONQUESTION\n");
    const std::string style = Find({"--flags", "WS_", "0x16CF0000"});
    EXPECT_EQ(style.substr(0, style.find('\n')),
              "0x16CF0000 = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE");
}

TEST(FinderShipped, EveryRowTheWalkMeetsTheIndexFinds) {
    std::string error;
    const auto file = ConstantsFile::Open(QALOMIR_CONSTANTS_DB, &error);
    ASSERT_TRUE(file) << error;
    std::vector<std::pair<std::u16string, std::uint32_t>> sample;
    std::size_t rows = 0;
    ASSERT_TRUE(file->Visit(u"", false,
                            [&](const ScannedRow& row) {
                                if (rows++ % 97 == 0) sample.push_back({std::u16string(row.name), row.pointer});
                                return true;
                            },
                            &error))
        << error;
    EXPECT_GT(rows, 100000u);
    for (const auto& [name, pointer] : sample) {
        std::vector<ConstantRow> found;
        ASSERT_TRUE(file->RowsNamed(name, found, &error)) << error;
        const bool there = std::any_of(found.begin(), found.end(), [&](const ConstantRow& r) { return r.pointer == pointer; });
        EXPECT_TRUE(there) << jet::Utf16ToUtf8(name);
    }
}

// The value index the build writes beside the database answers a sample of the
// table's values, and the edges, exactly as a walk of the table does.
TEST(FinderShipped, TheValueIndexAnswersAsTheWalkDoes) {
    std::string error, why;
    const auto file = ConstantsFile::Open(QALOMIR_CONSTANTS_DB, &error);
    ASSERT_TRUE(file) << error;
    const auto index = ValueIndex::Open(ValueIndexPath(QALOMIR_CONSTANTS_DB), *file, &why);
    ASSERT_TRUE(index) << why;
    EXPECT_GT(index->Size(), 183000u);
    // The same file under a name with no index beside it.
    const std::string bare = ::testing::TempDir() + "finder_shipped_bare.mdb";
    std::remove(bare.c_str());
    ASSERT_EQ(0, symlink(QALOMIR_CONSTANTS_DB, bare.c_str()));

    std::vector<std::string> values;
    ASSERT_TRUE(file->Visit(u"", false,
                            [&](const ScannedRow& row) {
                                if (!row.value.empty() && (row.value[0] == u'-' || (row.value[0] >= u'0' && row.value[0] <= u'9')))
                                    values.push_back(jet::Utf16ToUtf8(row.value));
                                return true;
                            },
                            &error))
        << error;
    std::mt19937 random(testsupport::SampleSeed());
    std::shuffle(values.begin(), values.end(), random);
    values.resize(120);
    for (const char* edge : {"0", "1", "-1", "0xFFFFFFFF", "0xFFFFFFFFFFFFFFFF", "0x80070005", "0xC0000005", "0xD0000022",
                             "0x8007000E", "0x80000000", "0x7FFFFFFFFFFFFFFF", "987654321"})
        values.push_back(edge);
    for (const std::string& v : values) {
        StringOutput withIndex, walked, withIndexErr, walkedErr;
        const int a = RunFind({"--all", v}, QALOMIR_CONSTANTS_DB, withIndex, withIndexErr);
        const int b = RunFind({"--all", v}, bare, walked, walkedErr);
        EXPECT_EQ(b, a) << v;
        EXPECT_EQ(walked.text, withIndex.text) << v;
        EXPECT_EQ(walkedErr.text, withIndexErr.text) << v;
    }
    std::remove(bare.c_str());
}
