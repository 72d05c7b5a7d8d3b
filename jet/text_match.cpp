#include "jet/text_match.h"

namespace jet {

std::u16string FoldAsciiCase(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) c = LowerAscii(c);
    return out;
}

std::u16string UpperAsciiCase(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) c = UpperAscii(c);
    return out;
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool TextEqual(std::u16string_view a, std::u16string_view b, TextMatch match) {
    return match == TextMatch::Exact ? a == b : EqualIgnoringAsciiCase(a, b);
}

}  // namespace jet
