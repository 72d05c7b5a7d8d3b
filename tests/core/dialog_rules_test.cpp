// Message box style arithmetic and answer numbering.
#include <gtest/gtest.h>

#include "core/dialogs.h"

using namespace core;

TEST(MessageBoxStyle, TaskModalUnlessSystemModal) {
    EXPECT_EQ(0x2000u, MessageBoxStyle(0));
    EXPECT_EQ(0x2004u, MessageBoxStyle(4));
    EXPECT_EQ(0x2030u, MessageBoxStyle(0x30));
    EXPECT_EQ(0x1000u, MessageBoxStyle(0x1000));
    EXPECT_EQ(0x1034u, MessageBoxStyle(0x1034));
    EXPECT_EQ(0x2000u, MessageBoxStyle(0x2000));
}

TEST(ButtonResultOf, PlatformAnswersFromZero) {
    const int expected[] = {BR_OK, BR_Cancel, BR_Abort, BR_Retry, BR_Ignore, BR_Yes, BR_No};
    for (int answer = 1; answer <= 7; ++answer) EXPECT_EQ(expected[answer - 1], ButtonResultOf(answer));
    for (int other : {0, 8, 10, 11, -1, 32000}) EXPECT_EQ(BR_OK, ButtonResultOf(other)) << other;
}
