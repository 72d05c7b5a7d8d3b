// qalomir-find.exe as Windows runs it: UTF-16 arguments, output to a pipe in
// UTF-8 and to a console in UTF-16, the system's message texts.
#include <gtest/gtest.h>

#include "jet/utf.h"
#include "tests/finder/console_run.h"
#include "tests/finder/sample_db.h"
#include "tests/support/win_driver.h"
#include "win/unique.h"

namespace {

class FinderWindows : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_.Path() + u8"\\常量 查询";
        ASSERT_TRUE(CreateDirectoryW(Wide(folder_).c_str(), nullptr));
        database_ = folder_ + u8"\\API常量.mdb";
        // The writer opens an ANSI path: write beside, then move into the Chinese folder.
        const std::string plain = dir_.File("sample.mdb");
        std::string error;
        ASSERT_TRUE(finder_test::WriteSampleDatabase(plain, &error)) << error;
        ASSERT_TRUE(MoveFileW(Wide(plain).c_str(), Wide(database_).c_str()));
    }
    testsupport::TempDir dir_;
    std::string folder_, database_;
};

}  // namespace

TEST_F(FinderWindows, ArgumentsAndPathsInChinese) {
    const ConsoleRun run = RunCaptured(QALOMIR_FIND, {"--db", database_, "WM_CREATE"});
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, "WM_CREATE  1  0x0001  winuser.h\n");
    EXPECT_EQ(run.err, "");
    // The database beside the program, where the window keeps it too.
    const std::string copy = folder_ + u8"\\qalomir-find.exe";
    ASSERT_TRUE(CopyFileW(Wide(QALOMIR_FIND).c_str(), Wide(copy).c_str(), FALSE));
    const ConsoleRun beside = RunCaptured(copy, {"wm_create"}, dir_.Path());
    EXPECT_EQ(beside.status, 0u) << beside.err;
    EXPECT_EQ(beside.out, "WM_CREATE  1  0x0001  winuser.h\n");
}

TEST_F(FinderWindows, RedirectedOutputIsUtf8) {
    const ConsoleRun run = RunCaptured(QALOMIR_FIND, {"--db", database_, "--lang", "e", "WM_CREATE"});
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, u8".版本 2\r\n\r\n.常量 WM_CREATE, \"1\"\r\n");
    const ConsoleRun json = RunCaptured(QALOMIR_FIND, {"--db", database_, "--json", "WM_CREATE"});
    EXPECT_NE(json.out.find(u8"\\\\常量 查询\\\\API常量.mdb\""), std::string::npos) << json.out;
}

TEST_F(FinderWindows, FailuresAreOneLineOnStandardError) {
    const ConsoleRun run = RunCaptured(QALOMIR_FIND, {"--db", folder_ + u8"\\无.mdb", "WM_CREATE"});
    EXPECT_EQ(run.status, 2u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, u8"qalomir-find: database '" + folder_ + u8"\\无.mdb': no such file\n");
    const ConsoleRun usage = RunCaptured(QALOMIR_FIND, {"--db", database_, "0x1G"});
    EXPECT_EQ(usage.status, 2u);
    EXPECT_EQ(usage.err,
              "qalomir-find: malformed number '0x1G': 'G' at character 4 is not a hexadecimal digit (argument 3)\n");
    // Held open without sharing by another program.
    win::UniqueHandle held(CreateFileW(Wide(database_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const ConsoleRun locked = RunCaptured(QALOMIR_FIND, {"--db", database_, "WM_CREATE"});
    EXPECT_EQ(locked.status, 2u);
    EXPECT_EQ(locked.err, "qalomir-find: database '" + database_ + "': another program holds it open\n");
}

// The value index beside a database in a Chinese folder is read (an index without
// E_ACCESSDENIED's entries answers without it), and a value without one is walked for.
TEST_F(FinderWindows, TheValueIndexBesideTheDatabase) {
    const ConsoleRun walked = RunCaptured(QALOMIR_FIND, {"--db", database_, "0x80070005"});
    EXPECT_EQ(walked.status, 0u) << walked.err;
    EXPECT_NE(walked.out.find("\n  E_ACCESSDENIED "), std::string::npos) << walked.out;
    const std::string plain = dir_.File("sample.mdb"), plainIndex = dir_.File("sample.idx");
    std::string error;
    ASSERT_TRUE(CopyFileW(Wide(database_).c_str(), Wide(plain).c_str(), FALSE));
    ASSERT_TRUE(finder_test::WriteIndexWithout(plain, plainIndex, {0x80070005ull, 0xFFFFFFFF80070005ull}, &error)) << error;
    ASSERT_TRUE(MoveFileW(Wide(plainIndex).c_str(), Wide(folder_ + u8"\\API常量.idx").c_str()));
    const ConsoleRun indexed = RunCaptured(QALOMIR_FIND, {"--db", database_, "0x80070005"});
    EXPECT_NE(indexed.out.find("HRESULT: failure, facility 7"), std::string::npos) << indexed.out;
    EXPECT_EQ(indexed.out.find("E_ACCESSDENIED"), std::string::npos) << indexed.out;
}

TEST_F(FinderWindows, TheSystemsMessageForAWin32Error) {
    const ConsoleRun run = RunCaptured(QALOMIR_FIND, {"--db", database_, "0x80070005"});
    EXPECT_EQ(run.status, 0u) << run.err;
    const std::size_t at = run.out.find("\n    message: ");
    ASSERT_NE(at, std::string::npos) << run.out;
    const std::string message = run.out.substr(at + 14, run.out.find('\n', at + 1) - at - 14);
    wchar_t expected[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_ACCESS_DENIED, 0,
                   expected, 512, nullptr);
    std::u16string text(reinterpret_cast<const char16_t*>(expected));
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
    EXPECT_EQ(message, jet::Utf16ToUtf8(text));
    EXPECT_FALSE(message.empty());
}

TEST_F(FinderWindows, AConsoleShowsChinese) {
    std::u16string shown;
    ASSERT_TRUE(RunOnConsole(QALOMIR_FIND, {"--db", database_, "--lang", "e", "WM_CREATE"}, &shown));
    EXPECT_NE(shown.find(u".版本 2"), std::u16string::npos) << jet::Utf16ToUtf8(shown);
    EXPECT_NE(shown.find(u".常量 WM_CREATE, \"1\""), std::u16string::npos) << jet::Utf16ToUtf8(shown);
}
