#pragma once
// Text commands. Lengths and cuts count bytes; ToUpper and
// ReplaceText step over double-byte characters (a byte >= 0x80 and the next).
#include <cstddef>
#include <cstring>

#include "core/types.h"

namespace core {

int TextLength(const Text& text);
Text LeftText(const Text& text, int count);
Text RightText(const Text& text, int count);
Text ToUpper(const Text& text);
// start is 1-based (below 1 counts as 1); a negative limit means no limit.
Text ReplaceText(const Text& text, const Text& target, const Text& replacement = Text(),
                 int start = 1, int limit = -1, bool caseSensitive = false);
Text BlankText(int count);
Text RepeatText(int count, const Text& text);
// Byte-wise: negative, 0 or positive.
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

}  // namespace core
