// The fatal-error path seen from outside: the dialog of a child program that
// raises it, answered here, and the child's exit code.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/win_driver.h"

using namespace testsupport;

namespace {

struct Ending {
    std::string text;
    std::string title;
    bool okOnly = false;
    DWORD exitCode = STILL_ACTIVE;
    bool exitRoutineRan = false;
};

Ending RunChild(const std::string& mode, bool expectBox = true) {
    TempDir temp;
    const std::string marker = temp.File("exit-routine-ran");
    Child child = Launch(ExecutableDir() + "\\core_child.exe", "", mode + " \"" + marker + "\"");
    Ending ending;
    if (!child.Valid()) return ending;
    if (HWND box = WaitForMessageBox(child.Pid(), expectBox ? 10000 : 1000)) {
        ending.text = MessageBoxText(box);
        ending.title = WindowText(box);
        ending.okOnly = HasButton(box, IDOK) && !HasButton(box, IDCANCEL) && !HasButton(box, IDYES);
        PressButton(box, IDOK);
    }
    ending.exitCode = child.WaitExit(10000);
    ending.exitRoutineRan = GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
    return ending;
}

void ExpectFatal(const std::string& mode, const std::string& text) {
    const Ending ending = RunChild(mode);
    EXPECT_EQ(text, ending.text) << mode;
    EXPECT_EQ("错误", ending.title) << mode;
    EXPECT_TRUE(ending.okOnly) << mode;
    EXPECT_EQ(0xFFFFFFFFu, ending.exitCode) << mode;
    EXPECT_FALSE(ending.exitRoutineRan) << mode;
}

}  // namespace

TEST(FatalErrorDialog, NumberAndMessage) {
    ExpectFatal("fatal-stack",
                "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
}

TEST(FatalErrorDialog, NeitherNumberNorMessage) { ExpectFatal("fatal-none", "运行时出错!\r\n\r\n"); }

TEST(FatalErrorDialog, BadTypeForReadFromBytes) {
    ExpectFatal("fatal-bytes", "运行时出错!\r\n\r\n错误信息：“欲取出数据的类型”参数值无效\r\n");
}

TEST(FatalErrorDialog, MissingExport) {
    ExpectFatal("fatal-export",
                "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“QalomirNoSuchExport”\r\n");
}

TEST(FatalErrorDialog, MissingLibrary) {
    ExpectFatal("fatal-library",
                "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“qalomir_no_such.dll”中的输出命令“Anything”\r\n");
}

// The size asked for has no room in the process's address space: 2 GiB three times
// over on i686, 256 TiB on x64.
#if defined(__i386__) || defined(_M_IX86)
TEST(FatalErrorDialogI686Only, FailedAllocationNamesTheSize) {
    ExpectFatal("fatal-alloc", "运行时出错!\r\n\r\n错误信息：分配 2147483632 字节内存失败!\r\n");
}
#else
TEST(FatalErrorDialogX64, FailedAllocationNamesTheSize) {
    ExpectFatal("fatal-alloc", "运行时出错!\r\n\r\n错误信息：分配 281474976710656 字节内存失败!\r\n");
}
#endif

TEST(EndProgram, RunsTheExitRoutineAndExitsWithTheCode) {
    const Ending ending = RunChild("end", false);
    EXPECT_EQ("", ending.text);
    EXPECT_EQ(7u, ending.exitCode);
    EXPECT_TRUE(ending.exitRoutineRan);
}
