// Addressing what is not there ends the program through the fatal-error dialog,
// seen here from outside: its text, its answer and the exit code -1.
#include <gtest/gtest.h>

#include "tests/support/win_driver.h"

using namespace testsupport;

namespace {

struct Ending {
    std::string text;
    DWORD exitCode = STILL_ACTIVE;
};

Ending RunMisuse(const std::string& mode, bool expectBox = true) {
    Child child = Launch(ExecutableDir() + "\\controls_child.exe", "", mode);
    Ending ending;
    if (HWND box = WaitForMessageBox(child.Pid(), expectBox ? 30000 : 500)) {
        ending.text = MessageBoxText(box);
        PressButton(box, IDOK);
    }
    ending.exitCode = child.WaitExit(30000);
    return ending;
}

std::string Dialog(const std::string& message) { return "运行时出错!\r\n\r\n错误信息：" + message + "\r\n"; }

TEST(ControlsMisuse, PropertyOfAWindowThatIsNotLoaded) {
    for (const char* mode : {"read-unloaded-window", "write-unknown-control", "read-closed-window"}) {
        const Ending ending = RunMisuse(mode);
        EXPECT_EQ(Dialog("未载入欲访问窗口组件所在的窗口"), ending.text) << mode;
        EXPECT_EQ(0xFFFFFFFFu, ending.exitCode) << mode;
    }
}

TEST(ControlsMisuse, OwnPropertyOfAControlWhoseWindowIsGone) {
    const Ending ending = RunMisuse("read-destroyed-control");
    EXPECT_EQ(Dialog("指定窗口尚未载入"), ending.text);
    EXPECT_EQ(0xFFFFFFFFu, ending.exitCode);
}

TEST(ControlsMisuse, EventsFromNowhere) {
    const struct {
        const char* mode;
        const char* message;
    } cases[] = {
        {"event-unknown-window", "未找到引发事件的窗口"},
        {"event-unknown-control", "未找到引发事件的窗口组件"},
        {"event-group-box", "引发事件的窗口组件无效"},
    };
    for (const auto& c : cases) {
        const Ending ending = RunMisuse(c.mode);
        EXPECT_EQ(Dialog(c.message), ending.text) << c.mode;
        EXPECT_EQ(0xFFFFFFFFu, ending.exitCode) << c.mode;
    }
}

TEST(ControlsMisuse, ProperUseEndsNormally) { EXPECT_EQ(0u, RunMisuse("none", false).exitCode); }

}  // namespace
