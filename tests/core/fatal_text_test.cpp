// The fatal-error dialog's text and the routing of FatalError.
#include <gtest/gtest.h>

#include "core/fatal_error.h"
#include "tests/core/fatal_trap.h"

using namespace core;

TEST(FatalErrorText, NumberAndMessageLinesAreOptional) {
    EXPECT_EQ("运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n",
              FatalErrorText(6, "调用DLL命令后发现堆栈错误"));
    EXPECT_EQ("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n", FatalErrorText(0, "载入启动窗口失败"));
    EXPECT_EQ("运行时出错!\r\n\r\n错误代码：-1\r\n\r\n", FatalErrorText(-1, ""));
    EXPECT_EQ("运行时出错!\r\n\r\n", FatalErrorText(0, ""));
}

TEST(FatalErrorText, AllocationMessageNamesTheSize) {
    EXPECT_EQ("分配 100 字节内存失败!", AllocationFailureMessage(100));
    EXPECT_EQ("分配 4294967296 字节内存失败!", AllocationFailureMessage(4294967296LL));
}

TEST(FatalError, ReachesTheInstalledHandler) {
    FatalTrap trap;
    try {
        FatalError(6, "x");
        ADD_FAILURE();
    } catch (const FatalRaised& fatal) {
        EXPECT_EQ(6, fatal.number);
        EXPECT_EQ("x", fatal.message);
    }
}

TEST(FatalErrorDeathTest, WithoutAHandlerTheProcessEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(FatalError(0, "m"), "");
}
