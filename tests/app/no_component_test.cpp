// The shipped program in a Wine prefix where nothing stands in for ADO (Wine's own ADO
// cannot be bound by name): it starts, says "连接数据库失败!" once and stays usable.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "jet/writer.h"
#include "tests/support/win_driver.h"

using namespace app;

using namespace main_window;
using namespace testsupport;

namespace {

jet::Table ConstantsTable() {
    jet::Table table;
    table.name = u"api_const";
    table.columns = {{u"宏或常量名", jet::ColumnType::Text, 0},
                     {u"常量值", jet::ColumnType::Text, 0},
                     {u"备注", jet::ColumnType::Text, 0}};
    table.rows = {{jet::Value::FromText(u"WM_CREATE"), jet::Value::FromText(u"0x0001"),
                   jet::Value::FromText(u"winuser.h")}};
    return table;
}

TEST(NoComponent, TheProgramReportsTheDatabaseOnceAndKeepsWorking) {
    TempDir dir;
    const std::string exe = dir.File("qalomir.exe");
    ASSERT_TRUE(CopyFileTo(QALOMIR_PROGRAM, exe));
    std::string error;
    ASSERT_TRUE(jet::WriteDatabase(dir.File("API常量.mdb"), {ConstantsTable()}, &error)) << error;

    Child app = Launch(exe, dir.Path());
    ASSERT_TRUE(app.Valid());
    HWND box = WaitForMessageBox(app.Pid(), 20000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("信息：", WindowText(box));
    EXPECT_EQ("连接数据库失败!", MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitNoMessageBox(app.Pid()));

    HWND window = WaitForWindow(app.Pid(), "QalomirForm", "Qalomir");
    ASSERT_NE(nullptr, window);
    HWND button = FindControl(window, k按钮_Qalomir);
    SendAndWait(GetParent(button), WM_COMMAND, MAKEWPARAM(k按钮_Qalomir & 0xFFFF, BN_CLICKED),
                reinterpret_cast<LPARAM>(button));
    EXPECT_EQ("错误：找不到记录！", WindowText(FindControl(window, k标签1)));
    EXPECT_TRUE(TopLevelWindows(app.Pid(), "#32770").empty());

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, app.WaitExit(20000));
}

}  // namespace
