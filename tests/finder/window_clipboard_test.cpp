// qalomir-find's 易语言 text against what the real window copies: the shipped
// program over the built database, the question answered "yes" by the test,
// the clipboard read back (GBK) and compared with the command's output (UTF-8).
#include <gtest/gtest.h>

#include "jet/utf.h"
#include "tests/e2e/real_app.h"
#include "tests/finder/console_run.h"

namespace {

// The window's texts and the tests' own narrow literals are GBK.
std::string Utf8FromGbk(const std::string& gbk) {
    const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &wide[0], n);
    return jet::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace

TEST(FinderWindowClipboard, TheSameTextTheWindowCopies) {
    RealApp app;
    ASSERT_TRUE(CopyBuiltDatabase(app.DatabasePath()));
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(app.startupBoxes, 0) << app.startupBoxText;
    // Hexadecimal and decimal texts, negative ones, 32-bit patterns and 64-bit values.
    for (const char* name : {"WM_CREATE", "E_FAIL", "WS_OVERLAPPEDWINDOW", "CW_USEDEFAULT", "HWND_MESSAGE",
                             "AMTUNER_SUBCHAN_NO_TUNE", "INFINITE", "DB_INVALIDCOLUMN", "ASC_REQ_MESSAGES",
                             "BG_SIZE_UNKNOWN"}) {
        testsupport::WriteClipboardText("untouched");
        ASSERT_EQ(app.Query(name, IDYES), "成功查询到记录！") << name;
        std::string clip;
        ASSERT_TRUE(testsupport::ReadClipboardText(&clip));
        // The window holds the file shared for reading; the command reads it beside.
        const ConsoleRun run = RunCaptured(QALOMIR_FIND, {"--db", Utf8FromGbk(app.DatabasePath()), "--lang", "e", name});
        EXPECT_EQ(run.status, 0u) << run.err;
        EXPECT_EQ(run.out, Utf8FromGbk(clip) + "\r\n") << name;
    }
    EXPECT_EQ(app.Close(), 0u);
}
