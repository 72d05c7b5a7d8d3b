// ShowMessage on the real message box: text, title, buttons, modality, answers.
#include <gtest/gtest.h>

#include "core/dialogs.h"
#include "tests/core/box_on_thread.h"

using namespace core;

using testsupport::HasButton;
using testsupport::MessageBoxText;
using testsupport::WindowText;

namespace {
const Text* const NoTitle = nullptr;
}

TEST(ShowMessage, DefaultTitleExclamationAndOk) {
    BoxOnThread shown([] { return ShowMessage(Text("连接数据库失败!"), 0x30, NoTitle); });
    ASSERT_TRUE(shown.Box());
    EXPECT_EQ("连接数据库失败!", MessageBoxText(shown.Box()));
    EXPECT_EQ("信息：", WindowText(shown.Box()));
    EXPECT_TRUE(HasButton(shown.Box(), IDOK));
    EXPECT_FALSE(HasButton(shown.Box(), IDCANCEL));
    EXPECT_EQ(BR_OK, shown.Answer(IDOK));
}

TEST(ShowMessage, YesAndNoAnswers) {
    const Text title = "标题";
    BoxOnThread yes([&] { return ShowMessage(Text("是否复制易语言格式常量"), 4, &title); });
    ASSERT_TRUE(yes.Box());
    EXPECT_EQ("标题", WindowText(yes.Box()));
    EXPECT_TRUE(HasButton(yes.Box(), IDYES));
    EXPECT_TRUE(HasButton(yes.Box(), IDNO));
    EXPECT_EQ(BR_Yes, yes.Answer(IDYES));

    BoxOnThread no([&] { return ShowMessage(Text("是否复制易语言格式常量"), 4, &title); });
    EXPECT_EQ(BR_No, no.Answer(IDNO));
}

TEST(ShowMessage, OtherButtonSets) {
    BoxOnThread cancel([] { return ShowMessage(Text("x"), 1); });
    EXPECT_EQ(BR_Cancel, cancel.Answer(IDCANCEL));
    BoxOnThread retry([] { return ShowMessage(Text("x"), 5); });
    EXPECT_EQ(BR_Retry, retry.Answer(IDRETRY));
    BoxOnThread ignore([] { return ShowMessage(Text("x"), 2); });
    EXPECT_EQ(BR_Ignore, ignore.Answer(IDIGNORE));
}

TEST(ShowMessage, ContentThroughToText) {
    BoxOnThread number([] { return ShowMessage(BasicValue::Int(-5), 0); });
    EXPECT_EQ("-5", MessageBoxText(number.Box()));
    number.Answer(IDOK);
    BoxOnThread truth([] { return ShowMessage(BasicValue::Bool(true), 0); });
    EXPECT_EQ("真", MessageBoxText(truth.Box()));
    truth.Answer(IDOK);
    BoxOnThread power([] { return ShowMessage(BasicValue::Double(1e15), 0); });
    EXPECT_EQ("1e+015", MessageBoxText(power.Box()));
    power.Answer(IDOK);
    // Byte arrays have no text form here, unlike in ToText.
    BoxOnThread bytes([] { return ShowMessage(BasicValue::OfBytes(Bytes{'a', 'b'}), 0); });
    EXPECT_EQ("", MessageBoxText(bytes.Box()));
    bytes.Answer(IDOK);
}

TEST(ShowMessage, TaskModalDisablesTheThreadsWindows) {
    BoxOnThread shown([] { return ShowMessage(Text("x"), 0); }, true);
    ASSERT_TRUE(shown.Box());
    ASSERT_TRUE(shown.OwnWindow());
    EXPECT_FALSE(IsWindowEnabled(shown.OwnWindow()));
    EXPECT_EQ(BR_OK, shown.Answer(IDOK));
}

TEST(ShowMessage, SystemModalIsTopmostAndNotTaskModal) {
    BoxOnThread shown([] { return ShowMessage(Text("x"), 0x1000); }, true);
    ASSERT_TRUE(shown.Box());
    EXPECT_TRUE(IsWindowEnabled(shown.OwnWindow()));
    EXPECT_TRUE(GetWindowLongA(shown.Box(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(BR_OK, shown.Answer(IDOK));
}
