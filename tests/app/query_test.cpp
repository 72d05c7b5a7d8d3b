// The query through the real window: values in both notations, the question, the
// clipboard, the status label and the always-on-top attribute.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/app/app_session.h"

using namespace app;

using namespace main_window;
using testsupport::ReadClipboardText;
using testsupport::WriteClipboardText;

namespace {

const char kFound[] = "成功查询到记录！";
const char kNotFound[] = "错误：找不到记录！";

struct Shown {
    const char* stored;
    const char* hex;
    const char* decimal;
};

// Stored value text, then what the hexadecimal and the decimal box show.
const Shown kValues[] = {
    {"0x0010", "0010", "16"},
    {"0XFFFFFFFF", "FFFFFFFF", "-1"},
    {"0xff", "ff", "255"},
    {"0x1FL", "1F", "31"},
    {"100L", "64", "100"},
    {"-1", "FFFFFFFF", "-1"},
    {"1.9", "1", "1.9"},
    {"4294967296", "0", "4294967296"},
    {"0x10\r\n", "10", "16"},
    {"0XL", "", "0"},
    {"0x", "", "0"},
    {" 0x10", "0", " 0x10"},
};

std::vector<StoredRow> ValueRows() {
    std::vector<StoredRow> rows;
    for (std::size_t i = 0; i < std::size(kValues); ++i) rows.push_back({"V" + std::to_string(i), kValues[i].stored});
    rows.push_back({"TWO", ""});
    rows.push_back({"TWO", "0x22"});
    rows.push_back({"O'NAME", "7"});
    rows.push_back({"WM_CREATE", "0x0001"});
    return rows;
}

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Started()); }
    AppSession app{ValueRows()};
};

TEST_F(QueryTest, ShowsEveryStoredFormInBothNotations) {
    for (std::size_t i = 0; i < std::size(kValues); ++i) {
        SCOPED_TRACE(kValues[i].stored);
        EXPECT_EQ(kFound, app.Query("V" + std::to_string(i)));
        EXPECT_EQ(kValues[i].hex, app.Text(k编辑框_常量值十六));
        EXPECT_EQ(kValues[i].decimal, app.Text(k编辑框_常量值));
    }
}

TEST_F(QueryTest, AsksTheQuestionWithTheWindowOffTheTopAndPutsItBackAfter) {
    EXPECT_FALSE(app.Topmost());
    EXPECT_EQ(kFound, app.Query("V0", IDNO));
    EXPECT_EQ("提示:", app.lastQuestionTitle);
    EXPECT_EQ("是否复制易语言格式常量", app.lastQuestionText);
    EXPECT_FALSE(app.topmostDuringQuestion);
    EXPECT_TRUE(app.Topmost());
    // Once on, it is switched off again only while the next question is open.
    EXPECT_EQ(kFound, app.Query("V1", IDNO));
    EXPECT_FALSE(app.topmostDuringQuestion);
    EXPECT_TRUE(app.Topmost());
}

TEST_F(QueryTest, AnswerNoLeavesTheClipboardAlone) {
    ASSERT_TRUE(WriteClipboardText("sentinel"));
    EXPECT_EQ(kFound, app.Query("V0", IDNO));
    std::string clip;
    ASSERT_TRUE(ReadClipboardText(&clip));
    EXPECT_EQ("sentinel", clip);
}

TEST_F(QueryTest, AnswerYesCopiesTheDeclarationWithTheDecimalNotation) {
    EXPECT_EQ(kFound, app.Query("V0", IDYES));
    std::string clip;
    ASSERT_TRUE(ReadClipboardText(&clip));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 V0, \"16\"", clip);

    EXPECT_EQ(kFound, app.Query("V1", IDYES));
    ASSERT_TRUE(ReadClipboardText(&clip));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 V1, \"-1\"", clip);

    // A decimal value that is no number goes into the quotes as it is.
    EXPECT_EQ(kFound, app.Query("V11", IDYES));
    ASSERT_TRUE(ReadClipboardText(&clip));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 V11, \" 0x10\"", clip);
}

TEST_F(QueryTest, SkipsRowsWithoutAValue) {
    EXPECT_EQ(kFound, app.Query("TWO"));
    EXPECT_EQ("22", app.Text(k编辑框_常量值十六));
    EXPECT_EQ("34", app.Text(k编辑框_常量值));
}

TEST_F(QueryTest, AMissAfterAHitKeepsTheValuesAndReportsTheMiss) {
    EXPECT_EQ(kFound, app.Query("V2"));
    EXPECT_EQ(kNotFound, app.QueryExpectingNoQuestion("NOT_THERE"));
    EXPECT_EQ("ff", app.Text(k编辑框_常量值十六));
    EXPECT_EQ("255", app.Text(k编辑框_常量值));
}

TEST_F(QueryTest, AnEmptyNameChangesNothing) {
    app.SetText(k标签1, "before");
    app.SetText(k编辑框_常量名, "");
    HWND button = app.Control(k按钮_Qalomir);
    testsupport::SendAndWait(GetParent(button), WM_COMMAND, MAKEWPARAM(k按钮_Qalomir & 0xFFFF, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
    EXPECT_EQ("before", app.Text(k标签1));
    EXPECT_EQ("", app.Text(k编辑框_常量值));
    EXPECT_EQ("", app.Text(k编辑框_常量值十六));
    EXPECT_TRUE(testsupport::TopLevelWindows(app.Process().Pid(), "#32770").empty());
    EXPECT_EQ(std::string::npos, app.Log().find("OpenRecordSet"));
}

TEST_F(QueryTest, QuotesInTheNameCannotChangeTheStatement) {
    EXPECT_EQ(kNotFound, app.QueryExpectingNoQuestion("x' or '1'='1"));
    EXPECT_NE(std::string::npos,
              app.Log().find("where 宏或常量名='x'' or ''1''=''1'\n"));
    // A name that really holds a quote is still found.
    EXPECT_EQ(kFound, app.Query("O'NAME"));
    EXPECT_EQ("7", app.Text(k编辑框_常量值));
}

TEST_F(QueryTest, AHugeNameIsLookedUpWithoutHarm) {
    const std::string name(64 * 1024, 'A');
    EXPECT_EQ(kNotFound, app.QueryExpectingNoQuestion(name));
    EXPECT_EQ(name, app.Text(k编辑框_常量名));
}

TEST_F(QueryTest, TheNameAtStartIsQueriedAsItIs) {
    app.SetText(k标签1, "");
    testsupport::PostClick(app.Control(k按钮_Qalomir));
    HWND box = testsupport::WaitForMessageBox(app.Process().Pid());
    ASSERT_NE(nullptr, box);
    testsupport::PressButton(box, IDNO);
    testsupport::WaitNoMessageBox(app.Process().Pid());
    EXPECT_EQ("0001", app.Text(k编辑框_常量值十六));
    EXPECT_EQ("1", app.Text(k编辑框_常量值));
    EXPECT_NE(std::string::npos, app.Log().find("OpenRecordSet select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'\n"));
}

}  // namespace
