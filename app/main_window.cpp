#include "app/main_window.h"

#include <windows.h>

#include "app/handlers.h"
#include "app/query.h"

namespace app {

using namespace bridge;

namespace main_window {

const char kForumHost[] = "bbs.example.com";
const char kForumAddress[] = "http://bbs.example.com/";

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlack = RGB(0, 0, 0);

ControlDescription Label(const char* name, std::uint32_t id, std::uint32_t parent, int l, int t, int w, int h,
                         const char* text) {
    ControlDescription d{name, id, ControlKind::Label, parent, l, t, w, h, text, {}};
    d.textColor = kBlack;
    return d;
}

ControlDescription Edit(const char* name, std::uint32_t id, int l, int t, int w, int h, const char* text,
                        bool readOnly) {
    ControlDescription d{name, id, ControlKind::EditBox, k分组框5, l, t, w, h, text, {}};
    d.readOnly = readOnly;
    d.tabStop = true;
    return d;
}

ControlDescription ForumLabel() {
    static const char caption[] = "易语言编程论坛：bbs.example.com";
    ControlDescription d = Label("标签1", k标签1, 0, 8, 96, 208, 24, caption);
    d.textColor = kRed;
    d.align = TextAlign::Center;
    d.handCursor = true;
    d.bindings = {{EventLabelMouseDown, OnForumLabelPressed}};
    return d;
}

ControlDescription QueryButton() {
    ControlDescription d{"按钮_Qalomir", k按钮_Qalomir, ControlKind::Button, k分组框5, 160, 16, 40, 20, "查询", {}};
    d.tabStop = true;
    d.bindings = {{EventButtonClicked, OnQueryClicked}};
    return d;
}

FormDescription MakeForm() {
    FormDescription f{kWindowId, kWindowControl, "Qalomir", 50, 50, 232, 153, true,
                      {{EventWindowCreated, OnWindowCreated}, {EventWindowDestroyed, OnWindowDestroyed}}, {}, {}};
    f.controls = {
        ForumLabel(),
        ControlDescription{"分组框5", k分组框5, ControlKind::GroupBox, 0, 8, 8, 208, 88, "", {}},
        Edit("编辑框_常量值十六", k编辑框_常量值十六, 144, 48, 56, 20, "", true),
        Label("标签15", k标签15, k分组框5, 104, 48, 40, 24, "十六制"),
        Edit("编辑框_常量值", k编辑框_常量值, 48, 48, 56, 20, "", true),
        Label("标签10", k标签10, k分组框5, 8, 48, 40, 24, "常量值"),
        QueryButton(),
        Label("标签9", k标签9, k分组框5, 8, 16, 40, 24, "常量名"),
        Edit("编辑框_常量名", k编辑框_常量名, 48, 16, 104, 20, "WM_CREATE", false),
    };
    // Name, then 查询, then the answer in decimal and in hexadecimal: the order they are read in.
    f.tabOrder = {k编辑框_常量名, k按钮_Qalomir, k编辑框_常量值, k编辑框_常量值十六};
    return f;
}

}  // namespace

const FormDescription& Form() {
    static const FormDescription form = MakeForm();
    return form;
}

}  // namespace main_window

}  // namespace app
