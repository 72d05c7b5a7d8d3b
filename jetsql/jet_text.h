#pragma once
// Text comparison as Jet's equality test sees it: ASCII letters match without
// regard to case, every other character must be the same code unit.
// (Jet's sort order also folds accented and full-width letters; the data this
// engine serves is ASCII names, so the ASCII rule is the one that matters.)
// JetTextCompare orders text as Jet's General sort order orders ASCII.
#include <cstddef>
#include <string>
#include <string_view>

#include "jet/text_match.h"

namespace jetsql {

// The rule itself is jet's (jet/text_match.h); keys here are folded to upper case.
inline std::u16string JetFold(std::u16string_view s) { return jet::UpperAsciiCase(s); }

inline bool JetTextEqual(std::u16string_view a, std::u16string_view b) { return jet::EqualIgnoringAsciiCase(a, b); }

inline bool JetTextStartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && JetTextEqual(text.substr(0, prefix.size()), prefix);
}

// <0, 0, >0 as a sorts before, with, or after b: ASCII in the General sort
// order of the file's indexes (punctuation before digits before letters,
// letters without regard to case, '-' and '\'' counted only to break ties),
// other characters after ASCII by code unit. Zero exactly when JetTextEqual.
int JetTextCompare(std::u16string_view a, std::u16string_view b);

}  // namespace jetsql
