// The query: look the typed name up, show its value in both notations, offer the
// declaration for the clipboard and report the outcome in the red label.
#include "app/query.h"

#include <cstdint>

#include "app/database_instance.h"
#include "app/main_window.h"
#include "app/notation.h"
#include "bridge/control_properties.h"
#include "core/dialogs.h"
#include "core/text_commands.h"
#include "core/value_number.h"
#include "core/value_text.h"

namespace app {

using namespace core;
using namespace bridge;
using namespace db;

using namespace main_window;

namespace {

Text ReadContent(std::uint32_t control) { return ReadTextProperty(kWindowId, control, PropContent); }

void WriteContent(std::uint32_t control, const Text& text) { WriteTextProperty(kWindowId, control, PropContent, text); }

void SetAlwaysOnTop(bool on) { WriteNumberProperty(kWindowId, kWindowControl, PropAlwaysOnTop, on ? 1 : 0); }

// A quote in the name would end the literal early and let the rest act as SQL.
Text QueryFor(const Text& name) {
    return ConcatTexts("select 常量值,备注 from api_const where 宏或常量名='", ReplaceText(name, "'", "''", 1, -1, true),
                       "'");
}

// The first row, in the record set's order, whose value is not empty.
Text FindValueText(const Text& name) {
    数据库类& db = TheDatabase();
    Text value;
    if (!db.OpenRecordSet(QueryFor(name))) return value;
    const int count = db.RecordCount();
    for (int i = 1; i <= count; ++i) {
        value = db.ReadText("常量值");
        if (!value.empty()) break;
        db.MoveNext();
    }
    db.CloseRecordSet();
    return value;
}

struct Normalised {
    Text digits;
    int radix;
};

Normalised Normalise(Text value) {
    value = ReplaceText(value, "\r\n", "", 1, -1, true);
    int radix = 10;
    if (CompareTexts(ToUpper(LeftText(value, 2)), "0X") == 0) {
        value = RightText(value, TextLength(value) - 2);
        radix = 16;
    }
    if (CompareTexts(ToUpper(RightText(value, 1)), "L") == 0) value = LeftText(value, TextLength(value) - 1);
    return {value, radix};
}

void ShowValue(const Normalised& value) {
    if (value.radix == 16) {
        WriteContent(k编辑框_常量值十六, value.digits);
        WriteContent(k编辑框_常量值, ToText(HexTextToInt(value.digits)));
    } else {
        WriteContent(k编辑框_常量值, value.digits);
        WriteContent(k编辑框_常量值十六, IntToHexText(TruncateToInt32(ToNumber(value.digits))));
    }
}

void OfferDeclaration() {
    const Text title = "提示:";
    if (ShowMessage(Text("是否复制易语言格式常量"), 4, &title) != BR_Yes) return;
    SetClipboardText(BuildDeclarationText(ReadContent(k编辑框_常量名), ReadContent(k编辑框_常量值)));
}

}  // namespace

void OnQueryClicked(const EventArgs&) {
    if (ReadContent(k编辑框_常量名).empty()) return;
    const Text value = FindValueText(ReadContent(k编辑框_常量名));
    if (value.empty()) {
        WriteContent(k标签1, "错误：找不到记录！");
        return;
    }
    ShowValue(Normalise(value));
    SetAlwaysOnTop(false);
    OfferDeclaration();
    SetAlwaysOnTop(true);
    WriteContent(k标签1, "成功查询到记录！");
}

}  // namespace app
