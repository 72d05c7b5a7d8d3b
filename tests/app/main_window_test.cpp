// The main window as the user gets it: layout, attributes, start-up and shut-down.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/app/app_session.h"

using namespace app;

using namespace main_window;

namespace {

LONG Style(HWND hwnd) { return GetWindowLongA(hwnd, GWL_STYLE); }
LONG ExStyle(HWND hwnd) { return GetWindowLongA(hwnd, GWL_EXSTYLE); }

RECT InParent(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct Expected {
    unsigned id;
    unsigned parent;  // 0: the window
    const char* className;
    int left, top, width, height;
    const char* text;
};

const Expected kControls[] = {
    {k标签1, 0, "Static", 8, 96, 208, 24, "易语言编程论坛：bbs.example.com"},
    {k分组框5, 0, "Button", 8, 8, 208, 88, ""},
    {k编辑框_常量值十六, k分组框5, "Edit", 144, 48, 56, 20, ""},
    {k标签15, k分组框5, "Static", 104, 48, 40, 24, "十六制"},
    {k编辑框_常量值, k分组框5, "Edit", 48, 48, 56, 20, ""},
    {k标签10, k分组框5, "Static", 8, 48, 40, 24, "常量值"},
    {k按钮_Qalomir, k分组框5, "Button", 160, 16, 40, 20, "查询"},
    {k标签9, k分组框5, "Static", 8, 16, 40, 24, "常量名"},
    {k编辑框_常量名, k分组框5, "Edit", 48, 16, 104, 20, "WM_CREATE"},
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Started()); }
    AppSession app{{{"WM_CREATE", "0x0001"}}};
};

TEST_F(MainWindowTest, IsCentredWithAFixedDialogFrameAndCloseBoxOnly) {
    HWND w = app.Window();
    EXPECT_EQ("Qalomir", testsupport::WindowText(w));
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(232, r.right - r.left);
    EXPECT_EQ(153, r.bottom - r.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 232) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 153) / 2, r.top);
    const LONG style = Style(w);
    EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(ExStyle(w) & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(ExStyle(w) & WS_EX_APPWINDOW);
    EXPECT_FALSE(ExStyle(w) & WS_EX_TOPMOST);
}

TEST_F(MainWindowTest, HoldsTheNineControlsWhereTheLayoutPutsThem) {
    for (const Expected& e : kControls) {
        SCOPED_TRACE(e.text);
        HWND c = app.Control(e.id);
        ASSERT_NE(nullptr, c);
        EXPECT_EQ(e.parent ? app.Control(e.parent) : app.Window(), GetParent(c));
        EXPECT_STRCASEEQ(e.className, testsupport::ClassName(c).c_str());
        const RECT r = InParent(c);
        EXPECT_EQ(e.left, r.left);
        EXPECT_EQ(e.top, r.top);
        EXPECT_EQ(e.width, r.right - r.left);
        EXPECT_EQ(e.height, r.bottom - r.top);
        EXPECT_EQ(e.text, testsupport::WindowText(c));
        EXPECT_TRUE(IsWindowVisible(c));
        EXPECT_TRUE(IsWindowEnabled(c));
    }
}

TEST_F(MainWindowTest, ControlsHaveTheirAttributes) {
    const LONG forum = Style(app.Control(k标签1));
    EXPECT_EQ(SS_CENTER, forum & SS_TYPEMASK);
    EXPECT_TRUE(forum & SS_CENTERIMAGE);
    EXPECT_FALSE(forum & WS_TABSTOP);
    for (unsigned id : {k标签9, k标签10, k标签15}) {
        EXPECT_EQ(SS_LEFT, Style(app.Control(id)) & SS_TYPEMASK);
        EXPECT_TRUE(Style(app.Control(id)) & SS_CENTERIMAGE);
    }
    EXPECT_EQ(BS_GROUPBOX, Style(app.Control(k分组框5)) & BS_TYPEMASK);

    HWND name = app.Control(k编辑框_常量名);
    EXPECT_FALSE(Style(name) & ES_READONLY);
    EXPECT_TRUE(Style(name) & WS_TABSTOP);
    EXPECT_TRUE(ExStyle(name) & WS_EX_CLIENTEDGE);
    for (unsigned id : {k编辑框_常量值, k编辑框_常量值十六}) {
        HWND value = app.Control(id);
        EXPECT_TRUE(Style(value) & ES_READONLY);
        EXPECT_TRUE(Style(value) & WS_TABSTOP);
        EXPECT_FALSE(ExStyle(value) & WS_EX_CLIENTEDGE);
    }
    const LONG button = Style(app.Control(k按钮_Qalomir));
    EXPECT_EQ(BS_PUSHBUTTON, button & BS_TYPEMASK);
    EXPECT_TRUE(button & WS_TABSTOP);
}

// Columns of the control's on-screen pixels that hold pure red.
std::vector<int> RedColumns(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    HDC screen = GetDC(nullptr);
    std::vector<int> columns;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (GetPixel(screen, x, y) == RGB(255, 0, 0)) {
                columns.push_back(x - r.left);
                break;
            }
    ReleaseDC(nullptr, screen);
    return columns;
}

TEST_F(MainWindowTest, TheForumLabelIsRedAndCentredBeforeAndAfterAQuery) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) {
            EXPECT_EQ("成功查询到记录！", app.Query("WM_CREATE"));
        }
        Sleep(200);
        const std::vector<int> red = RedColumns(app.Control(k标签1));
        ASSERT_FALSE(red.empty());
        const int leftMargin = red.front(), rightMargin = 208 - 1 - red.back();
        // A full-width "！" leaves its cell's right half blank, hence the slack.
        EXPECT_LE(std::abs(leftMargin - rightMargin), 16);
    }
}

TEST_F(MainWindowTest, TheGroupBoxInsideHasTheWindowsBackground) {
    RECT r{};
    GetWindowRect(app.Control(k分组框5), &r);
    HDC screen = GetDC(nullptr);
    // Between the two rows, left of everything: only the group box's own inside is there.
    const COLORREF inside = GetPixel(screen, r.left + 4, r.top + 78);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), inside);
}

TEST_F(MainWindowTest, ValueBoxesTakeNoTypingButLetTheirTextBeSelected) {
    EXPECT_EQ("成功查询到记录！", app.Query("WM_CREATE"));
    HWND value = app.Control(k编辑框_常量值十六);
    testsupport::SendAndWait(value, WM_CHAR, 'Z', 0);
    EXPECT_EQ("0001", testsupport::WindowText(value));
    testsupport::SendAndWait(value, EM_SETSEL, 0, -1);
    DWORD start = 0, end = 0;
    testsupport::SendAndWait(value, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(4u, end);
}

TEST_F(MainWindowTest, TabGoesFromTheNameToTheButtonAndTheTwoAnswers) {
    HWND expected[] = {app.Control(k按钮_Qalomir), app.Control(k编辑框_常量值), app.Control(k编辑框_常量值十六),
                       app.Control(k编辑框_常量名)};
    HWND from = app.Control(k编辑框_常量名);
    for (HWND next : expected) {
        EXPECT_EQ(next, GetNextDlgTabItem(app.Window(), from, FALSE));
        from = next;
    }
}

TEST_F(MainWindowTest, EscClosesTheDatabaseAndEndsWithCodeZero) {
    PostMessageA(app.Control(k编辑框_常量名), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0u, app.Process().WaitExit(10000));
    const std::string log = app.Log();
    const auto closed = log.find("CloseDatabase");
    const auto destroyed = log.find("destroy");
    ASSERT_NE(std::string::npos, closed);
    ASSERT_NE(std::string::npos, destroyed);
    EXPECT_LT(closed, destroyed);  // the window goes before the database instance
}

TEST_F(MainWindowTest, OpensTheDatabaseBesideTheProgramOnce) {
    const std::string log = app.Log();
    const std::string expected = "OpenDatabase " + app.Dir().Path() + "\\API常量.mdb| ok";
    EXPECT_EQ(0u, log.find(expected)) << log << "|" << expected;
    EXPECT_EQ(log.find("OpenDatabase"), log.rfind("OpenDatabase"));
}

TEST(MainWindowStart, WithoutTheDatabaseSaysSoOnceAndStaysUsable) {
    AppSession app({}, false);
    HWND box = testsupport::WaitForMessageBox(app.Process().Pid());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("信息：", testsupport::WindowText(box));
    EXPECT_EQ("连接数据库失败!", testsupport::MessageBoxText(box));
    EXPECT_TRUE(testsupport::HasButton(box, IDOK));
    EXPECT_FALSE(testsupport::HasButton(box, IDCANCEL));
    testsupport::PressButton(box, IDOK);
    ASSERT_TRUE(testsupport::WaitNoMessageBox(app.Process().Pid()));
    ASSERT_TRUE(app.Started());
    EXPECT_EQ("错误：找不到记录！", app.QueryExpectingNoQuestion("WM_CREATE"));
    EXPECT_EQ("错误：找不到记录！", app.QueryExpectingNoQuestion("ANYTHING"));
    EXPECT_TRUE(testsupport::TopLevelWindows(app.Process().Pid(), "#32770").empty());
}

}  // namespace
