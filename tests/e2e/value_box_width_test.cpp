// The answer boxes of the shipped program hold an 8-digit value whole, as they do on
// Chinese Windows, where the stock GUI font is SimSun at 12 pixels (6-pixel digits).
// Measured through the real window with the box's own font.
#include <gtest/gtest.h>


#include "app/main_window.h"
#include "tests/e2e/real_app.h"
#include "win/unique.h"

using namespace app::main_window;

namespace {

int TextWidth(HFONT font, const std::string& text) {
    const win::Unique<HDC, &DeleteDC> dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ previous = SelectObject(dc.get(), font);
    SIZE size{};
    const bool measured =
        previous && GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc.get(), previous);
    return measured ? size.cx : -1;
}

// Left edge of character index in the box, as the box itself lays its text out.
int CharacterLeft(HWND box, int index) {
    return static_cast<short>(LOWORD(SendMessageA(box, EM_POSFROMCHAR, index, 0)));
}

struct Fit {
    int textWidth = -1;  // GetTextExtentPoint32 of the box's text in the box's font
    int firstLeft = -1;  // where the box draws its first character
    int right = -1;      // client width less the edit control's right margin
    bool Whole() const { return textWidth > 0 && firstLeft >= 0 && firstLeft + textWidth <= right; }
};

// The box's font is the one WM_GETFONT names. Wine does not answer that message
// across processes; there it is the stock GUI font, which the program gives every
// control and which stock handles make usable from this process. Either way the
// box's own layout of the text must agree with the measured widths.
Fit MeasureBox(HWND box) {
    Fit fit;
    const std::string text = testsupport::WindowText(box);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fit.textWidth = TextWidth(font, text);
    fit.firstLeft = CharacterLeft(box, 0);
    const int last = static_cast<int>(text.size()) - 1;
    EXPECT_EQ(CharacterLeft(box, last) - fit.firstLeft, TextWidth(font, text.substr(0, last)))
        << "the box lays out \"" << text << "\" in another font";

    RECT client{};
    GetClientRect(box, &client);
    fit.right = client.right - HIWORD(SendMessageA(box, EM_GETMARGINS, 0, 0));
    return fit;
}

class ValueBoxWidth : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyBuiltDatabase(app_.DatabasePath())) << "dist/API常量.mdb comes from the host tree's build";
        ASSERT_TRUE(app_.Start());
        ASSERT_EQ(app_.startupBoxes, 0) << app_.startupBoxText;
    }
    void TearDown() override { EXPECT_EQ(app_.Close(), 0u); }

    // Looks name up (declining the clipboard) and measures the box with the given id.
    Fit LookUpAndMeasure(const std::string& name, unsigned id, const std::string& expected) {
        EXPECT_EQ(app_.Query(name, IDNO), "成功查询到记录！") << name;
        HWND box = app_.Control(id);
        EXPECT_NE(box, nullptr);
        EXPECT_EQ(testsupport::WindowText(box), expected) << name;
        return box ? MeasureBox(box) : Fit{};
    }

    RealApp app_;
};

TEST_F(ValueBoxWidth, EightHexadecimalDigitsFit) {
    const Fit fit = LookUpAndMeasure("E_FAIL", k编辑框_常量值十六, "80004005");
    ASSERT_GT(fit.textWidth, 0) << "the box's font could not be measured";
    EXPECT_EQ(fit.textWidth, 48) << "8 digits of 6 pixels, as SimSun draws them";
    EXPECT_TRUE(fit.Whole()) << fit.firstLeft << " + " << fit.textWidth << " > " << fit.right;
}

TEST_F(ValueBoxWidth, EightDecimalDigitsFit) {
    const Fit decimal = LookUpAndMeasure("WS_OVERLAPPEDWINDOW", k编辑框_常量值, "13565952");
    EXPECT_TRUE(decimal.Whole()) << decimal.firstLeft << " + " << decimal.textWidth << " > " << decimal.right;
    const Fit hex = LookUpAndMeasure("WS_OVERLAPPEDWINDOW", k编辑框_常量值十六, "CF0000");
    EXPECT_TRUE(hex.Whole()) << hex.firstLeft << " + " << hex.textWidth << " > " << hex.right;
}

// Eleven characters do not fit on Windows either: the box shows the start of the
// number and scrolls to the rest, and what it holds stays whole.
TEST_F(ValueBoxWidth, LongerDecimalsShowTheirStart) {
    const Fit fit = LookUpAndMeasure("E_FAIL", k编辑框_常量值, "-2147467259");
    EXPECT_FALSE(fit.Whole());
    EXPECT_GE(fit.firstLeft, 0);
}

}  // namespace
