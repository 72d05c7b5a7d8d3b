#pragma once
// The characters of a string literal as clang spells one it has evaluated (its
// cursor's spelling: the pieces concatenated, one prefix, C's escapes).
#include <optional>
#include <string>
#include <string_view>

namespace tools {

struct StringLiteralValue {
    bool wide = false;      // L"" or u"": a WCHAR string on Windows (U"" too, counted in code points)
    std::string utf8;       // the characters, in UTF-8
    std::size_t units = 0;  // code units before the terminating one, as sizeof counts them
};

// nullopt where the spelling is not such a literal, or where a narrow string's bytes
// are not UTF-8 or a wide one has an unpaired surrogate: no text stands for those.
std::optional<StringLiteralValue> DecodeStringLiteral(std::string_view spelling);

}  // namespace tools
