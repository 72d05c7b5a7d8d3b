#pragma once
// Text comparison as Jet's equality test sees it: ASCII letters match without
// regard to case, every other character must be the same code unit.
// (Jet's sort order also folds accented and full-width letters; the data this
// component serves is ASCII names, so the ASCII rule is the one that matters.)
// JetTextCompare orders text as Jet's General sort order orders ASCII.
#include <cstddef>
#include <string>
#include <string_view>

namespace ado {

inline char16_t JetFoldChar(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

inline std::u16string JetFold(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out) c = JetFoldChar(c);
    return out;
}

inline bool JetTextEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (JetFoldChar(a[i]) != JetFoldChar(b[i])) return false;
    return true;
}

inline bool JetTextStartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && JetTextEqual(text.substr(0, prefix.size()), prefix);
}

// <0, 0, >0 as a sorts before, with, or after b: ASCII in the General sort
// order of the file's indexes (punctuation before digits before letters,
// letters without regard to case, '-' and '\'' counted only to break ties),
// other characters after ASCII by code unit. Zero exactly when JetTextEqual.
int JetTextCompare(std::u16string_view a, std::u16string_view b);

}  // namespace ado
