#pragma once
// Text comparison the way Jet compares: ASCII letters without regard to case,
// every other character as the same code unit. The one home of that rule for
// the whole project; everything that folds case calls it. The same for reading
// an ASCII hexadecimal digit.
#include <string>
#include <string_view>

namespace jet {

enum class TextMatch {
    Exact,            // code unit by code unit
    IgnoreAsciiCase,  // A-Z equal a-z; everything else exact
};

constexpr char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }
constexpr char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

// 0-15 for 0-9, a-f and A-F; -1 for anything else.
constexpr int HexDigitValue(char32_t c) {
    return c >= U'0' && c <= U'9'   ? static_cast<int>(c - U'0')
           : c >= U'a' && c <= U'f' ? static_cast<int>(c - U'a') + 10
           : c >= U'A' && c <= U'F' ? static_cast<int>(c - U'A') + 10
                                    : -1;
}

// Lower-cases A-Z.
std::u16string FoldAsciiCase(std::u16string_view text);
// Upper-cases a-z (how Jet's messages name a keyword).
std::u16string UpperAsciiCase(std::u16string_view text);

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
bool TextEqual(std::u16string_view a, std::u16string_view b, TextMatch match);

}  // namespace jet
