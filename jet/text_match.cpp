#include "jet/text_match.h"

namespace jet {

namespace {
char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }
}  // namespace

std::u16string FoldAsciiCase(std::u16string text) {
    for (auto& c : text) c = Fold(c);
    return text;
}

bool TextEqual(const std::u16string& a, const std::u16string& b, TextMatch match) {
    if (a.size() != b.size()) return false;
    if (match == TextMatch::Exact) return a == b;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

}  // namespace jet
