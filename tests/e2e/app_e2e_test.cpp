// The shipped program over the built database through the registered component:
// real window, real message boxes, real clipboard.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/e2e/real_app.h"

using namespace app;

using namespace main_window;

namespace {

std::string FileContent(const std::string& path) {
    std::string bytes;
    testsupport::ReadFileBytes(path, &bytes);
    return bytes;
}

}  // namespace

TEST(EndToEnd, AnswersFromTheBuiltDatabase) {
    RealApp app;
    ASSERT_TRUE(CopyBuiltDatabase(app.DatabasePath())) << "dist/API常量.mdb comes from the host tree's build";
    const std::string before = FileContent(app.DatabasePath());
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(app.startupBoxes, 0) << app.startupBoxText;

    testsupport::WriteClipboardText("untouched");
    EXPECT_EQ(app.Query("WM_CREATE", IDYES), "成功查询到记录！");
    EXPECT_TRUE(app.questionSeen);
    EXPECT_EQ(app.Text(k编辑框_常量值), "1");
    EXPECT_EQ(app.Text(k编辑框_常量值十六), "0001");
    std::string clip;
    ASSERT_TRUE(testsupport::ReadClipboardText(&clip));
    EXPECT_NE(clip.find(".常量 WM_CREATE, \"1\""), std::string::npos) << clip;

    testsupport::WriteClipboardText("untouched");
    EXPECT_EQ(app.Query("WS_OVERLAPPEDWINDOW", IDNO), "成功查询到记录！");
    EXPECT_EQ(app.Text(k编辑框_常量值), "13565952");
    EXPECT_EQ(app.Text(k编辑框_常量值十六), "CF0000");
    ASSERT_TRUE(testsupport::ReadClipboardText(&clip));
    EXPECT_EQ(clip, "untouched");

    EXPECT_EQ(app.Query("wm_create", IDNO), "成功查询到记录！");  // Jet matches letters without case
    EXPECT_EQ(app.Text(k编辑框_常量值), "1");
    EXPECT_EQ(app.Query("NO_SUCH_CONSTANT_XYZ", IDNO), "错误：找不到记录！");
    EXPECT_FALSE(app.questionSeen);
    EXPECT_EQ(app.Query("x' or '1'='1", IDNO), "错误：找不到记录！");

    EXPECT_EQ(app.Close(), 0u);
    EXPECT_TRUE(FileContent(app.DatabasePath()) == before);
}

// Each unusable file: the failure is reported once, the window stays usable
// (a query finds nothing) and the file is left as it was.
class UnusableDatabase : public ::testing::TestWithParam<const char*> {};

TEST_P(UnusableDatabase, ReportsOnceAndKeepsWorking) {
    RealApp app;
    const std::string kind = GetParam();
    const std::string path = app.DatabasePath();
    HANDLE held = INVALID_HANDLE_VALUE;
    if (kind == "zero-length") {
        ASSERT_TRUE(testsupport::WriteFileBytes(path, ""));
    } else if (kind == "truncated") {
        ASSERT_TRUE(CopyBuiltDatabase(path));
        ASSERT_TRUE(testsupport::WriteFileBytes(path, FileContent(path).substr(0, 3 * 4096 + 17)));
    } else if (kind == "not-access") {
        ASSERT_TRUE(testsupport::WriteFileBytes(path, std::string(8192, 'Q')));
    } else if (kind == "locked") {
        ASSERT_TRUE(CopyBuiltDatabase(path));
    }
    const std::string before = FileContent(path);
    if (kind == "locked") {
        // Another process holds the file open and shares it with nobody.
        held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }

    ASSERT_TRUE(app.Start());
    EXPECT_EQ(app.startupBoxes, 1);
    EXPECT_EQ(app.startupBoxText, "连接数据库失败!");
    EXPECT_EQ(app.Query("WM_CREATE", IDNO), "错误：找不到记录！");
    EXPECT_TRUE(app.StillRunning());
    EXPECT_EQ(app.Close(), 0u);

    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_TRUE(FileContent(path) == before);
}

INSTANTIATE_TEST_SUITE_P(Files, UnusableDatabase,
                         ::testing::Values("missing", "zero-length", "truncated", "not-access", "locked"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });
