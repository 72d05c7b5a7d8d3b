// Property access and event routing on a small form loaded in this process.
#include <gtest/gtest.h>
#include <windows.h>

#include "bridge/control_events.h"
#include "bridge/control_properties.h"
#include "bridge/form_check.h"
#include "bridge/window_loader.h"

using namespace core;
using namespace bridge;

namespace {

constexpr std::uint32_t kForm = 0x52010077;
constexpr std::uint32_t kFormControl = 0x06010000;
constexpr std::uint32_t kEdit = 0x16010001;
constexpr std::uint32_t kLabel = 0x16010002;
constexpr std::uint32_t kButton = 0x16010003;
constexpr std::uint32_t kUnbound = 0x16010004;
constexpr std::uint32_t kGroup = 0x16010005;
constexpr std::uint32_t kInGroup = 0x16010006;

int g_clicks = 0;
EventArgs g_lastArgs;
EventSource g_sourceSeen;
void CountClick(const EventArgs& args) {
    ++g_clicks;
    g_lastArgs = args;
    g_sourceSeen = CurrentEventSource();
}

FormDescription MakeForm() {
    FormDescription f{kForm, kFormControl, "probe", 10, 10, 300, 200, false, {}, {}, {}};
    f.controls = {
        ControlDescription{"edit", kEdit, ControlKind::EditBox, 0, 5, 5, 100, 20, "start", {}},
        ControlDescription{"label", kLabel, ControlKind::Label, 0, 5, 30, 100, 20, "caption", {{-1, CountClick}}},
        ControlDescription{"button", kButton, ControlKind::Button, 0, 5, 60, 60, 20, "go", {{0, CountClick}}},
        ControlDescription{"unbound", kUnbound, ControlKind::Button, 0, 70, 60, 60, 20, "idle", {}},
        ControlDescription{"group", kGroup, ControlKind::GroupBox, 0, 120, 5, 150, 100, "", {}},
        ControlDescription{"inner", kInGroup, ControlKind::EditBox, kGroup, 10, 20, 80, 20, "", {}},
    };
    return f;
}

class ControlPropertiesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(nullptr, LoadWindow(form)); }
    static void TearDownTestSuite() {
        if (LoadedWindow* w = FindLoadedWindow(kForm)) DestroyWindow(w->hwnd);
    }
    static HWND Hwnd(std::uint32_t id) { return FindLoadedWindow(kForm)->controls.at(id).hwnd; }
    static bool Topmost() { return (GetWindowLongA(Hwnd(kFormControl), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    static const FormDescription form;
};
const FormDescription ControlPropertiesTest::form = MakeForm();

TEST_F(ControlPropertiesTest, EditContentReadsBackWhatWasWritten) {
    EXPECT_EQ("start", ReadTextProperty(kForm, kEdit, 8));
    WriteTextProperty(kForm, kEdit, 8, "中文 text");
    EXPECT_EQ("中文 text", ReadTextProperty(kForm, kEdit, 8));
    WriteTextProperty(kForm, kEdit, 8, "");
    const PropertyValue empty = ReadProperty(kForm, kEdit, 8, -1);
    EXPECT_TRUE(empty.isText);
    EXPECT_EQ("", empty.text);
}

TEST_F(ControlPropertiesTest, LabelCaptionIsWritten) {
    WriteTextProperty(kForm, kLabel, 8, "状态");
    char text[32] = {};
    GetWindowTextA(Hwnd(kLabel), text, sizeof text);
    EXPECT_STREQ("状态", text);
}

TEST_F(ControlPropertiesTest, GeometryIsInTheParentsClientArea) {
    EXPECT_EQ(10, ReadProperty(kForm, kInGroup, 0, -1).number);
    EXPECT_EQ(20, ReadProperty(kForm, kInGroup, 1, -1).number);
    EXPECT_EQ(80, ReadProperty(kForm, kInGroup, 2, -1).number);
    EXPECT_EQ(20, ReadProperty(kForm, kInGroup, 3, -1).number);
    EXPECT_EQ(5, ReadProperty(kForm, kLabel, 0, -1).number);
    EXPECT_EQ(30, ReadProperty(kForm, kLabel, 1, -1).number);
    EXPECT_EQ(300, ReadProperty(kForm, kFormControl, 2, -1).number);
    EXPECT_EQ(200, ReadProperty(kForm, kFormControl, 3, -1).number);
}

TEST_F(ControlPropertiesTest, CommonFlagsFollowTheWindow) {
    EXPECT_EQ(1, ReadProperty(kForm, kButton, 5, -1).number);
    EXPECT_EQ(0, ReadProperty(kForm, kButton, 6, -1).number);
    WriteNumberProperty(kForm, kButton, 6, 1);
    EXPECT_FALSE(IsWindowEnabled(Hwnd(kButton)));
    EXPECT_EQ(1, ReadProperty(kForm, kButton, 6, -1).number);
    WriteNumberProperty(kForm, kButton, 6, 0);
    WriteTextProperty(kForm, kButton, 4, "tag");
    EXPECT_EQ("tag", ReadTextProperty(kForm, kButton, 4));
}

TEST_F(ControlPropertiesTest, EveryControlUsesTheDefaultGuiFont) {
    for (std::uint32_t id : {kEdit, kLabel, kButton, kGroup, kInGroup})
        EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)), SendMessageA(Hwnd(id), WM_GETFONT, 0, 0));
}

TEST_F(ControlPropertiesTest, AlwaysOnTopOffThenOnLeavesTheWindowOnTop) {
    WriteNumberProperty(kForm, kFormControl, 29, 0);
    EXPECT_FALSE(Topmost());
    WriteNumberProperty(kForm, kFormControl, 29, 1);
    EXPECT_TRUE(Topmost());
    WriteNumberProperty(kForm, kFormControl, 29, 0);
    EXPECT_FALSE(Topmost());
    WriteNumberProperty(kForm, kFormControl, 29, 2);  // only 1 means on top
    EXPECT_FALSE(Topmost());
}

TEST_F(ControlPropertiesTest, ClicksReachTheBoundHandlerWithTheSource) {
    g_clicks = 0;
    SendMessageA(Hwnd(kButton), BM_CLICK, 0, 0);
    EXPECT_EQ(1, g_clicks);
    EXPECT_EQ(kForm, g_sourceSeen.windowId);
    EXPECT_EQ(kButton, g_sourceSeen.controlId);
    EXPECT_EQ(0u, CurrentEventSource().windowId);  // only while the handler runs
}

TEST_F(ControlPropertiesTest, ALabelRaisesItsEventWhenTheButtonGoesDown) {
    g_clicks = 0;
    SendMessageA(Hwnd(kLabel), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
    EXPECT_EQ(1, g_clicks);
    EXPECT_EQ((EventArgs{MK_LBUTTON, 7, 9}), g_lastArgs);
    SendMessageA(Hwnd(kLabel), WM_LBUTTONUP, 0, MAKELPARAM(7, 9));
    EXPECT_EQ(1, g_clicks);
}

TEST_F(ControlPropertiesTest, AnUnboundClickIsNoError) {
    g_clicks = 0;
    SendMessageA(Hwnd(kUnbound), BM_CLICK, 0, 0);
    EXPECT_EQ(0, g_clicks);
    EXPECT_FALSE(RaiseEvent(kForm, kUnbound, 0));
    EXPECT_FALSE(RaiseEvent(kForm, kButton, 7));
}

}  // namespace

namespace {

TEST(FormCheck, AcceptsTheProbeFormAndRejectsBrokenOnes) {
    FormDescription form = MakeForm();
    EXPECT_TRUE(FormIsWellFormed(form));

    FormDescription duplicate = form;
    duplicate.controls[1].id = kEdit;
    EXPECT_FALSE(FormIsWellFormed(duplicate));

    FormDescription orphan = form;
    orphan.controls.back().parentId = 0x16019999;
    EXPECT_FALSE(FormIsWellFormed(orphan));

    FormDescription childFirst = form;
    std::swap(childFirst.controls[4], childFirst.controls[5]);  // the child before its group box
    EXPECT_FALSE(FormIsWellFormed(childFirst));

    FormDescription notAContainer = form;
    notAContainer.controls.back().parentId = kButton;
    EXPECT_FALSE(FormIsWellFormed(notAContainer));

    FormDescription negative = form;
    negative.controls[0].width = -1;
    EXPECT_FALSE(FormIsWellFormed(negative));
}

}  // namespace
