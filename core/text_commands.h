#pragma once
// Text and number commands. Lengths and cuts count bytes; ToUpper and
// ReplaceText step over double-byte characters (a byte >= 0x80 and the next).
#include <cstddef>
#include <cstring>

#include "core/basic_value.h"
#include "core/types.h"

int TextLength(const Text& text);
Text LeftText(const Text& text, int count);
Text RightText(const Text& text, int count);
Text ToUpper(const Text& text);
// start is 1-based (below 1 counts as 1); a negative limit means no limit.
Text ReplaceText(const Text& text, const Text& target, const Text& replacement = Text(),
                 int start = 1, int limit = -1, bool caseSensitive = false);
Text BlankText(int count);
Text RepeatText(int count, const Text& text);

Text ToText(const BasicValue& value);
// Shorthands for the common types, so that a double or a bool never passes as an int.
Text ToText(int value);
Text ToText(double value);
Text ToText(bool value);
double ToNumber(const BasicValue& value);
double ToNumber(const Text& text);

// typeNumber: 1 byte, 2 short, 3 int, 4 long, 5 float, 6 double, 7 bool, 8 date,
// 9 subroutine pointer, 10 text; anything else is fatal. position is 1-based,
// moved past what was read, and -1 once beyond the last byte.
BasicValue ReadFromBytes(const Bytes& bytes, int typeNumber, int* position = nullptr);

int CompareTexts(const Text& a, const Text& b);

namespace text_detail {
inline std::size_t SizeOf(const Text& text) { return text.size(); }
inline std::size_t SizeOf(const char* text) { return text ? std::strlen(text) : 0; }
inline void Append(Text& to, const Text& text) { to += text; }
inline void Append(Text& to, const char* text) {
    if (text) to += text;
}
}  // namespace text_detail

// The texts joined in order, sized once.
template <class... T>
Text ConcatTexts(const T&... texts) {
    std::size_t total = 0;
    ((total += text_detail::SizeOf(texts)), ...);
    Text result;
    result.reserve(total);
    (text_detail::Append(result, texts), ...);
    return result;
}
