#include "tools/string_literal.h"

#include "jet/text_match.h"
#include "jet/utf.h"

namespace tools {
namespace {

char SimpleEscape(char c) {
    switch (c) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '\\': case '"': case '\'': case '?': return c;
    default: return 0;
    }
}

// One escape after its backslash; clang writes octal with exactly three digits and
// ends a \x run before a hex digit with "" (which the caller skips).
bool Escape(std::string_view s, std::size_t& i, char32_t& unit) {
    const char c = s[i];
    if (c >= '0' && c <= '7') {
        unit = 0;
        for (int n = 0; n < 3; ++n, ++i) {
            if (i >= s.size() || s[i] < '0' || s[i] > '7') return false;
            unit = unit * 8 + char32_t(s[i] - '0');
        }
        return true;
    }
    if (c == 'x' || c == 'u' || c == 'U') {
        const std::size_t most = c == 'u' ? 4 : 8;
        unit = 0;
        std::size_t n = 0;
        for (++i; i < s.size() && n < most && jet::HexDigitValue(s[i]) >= 0; ++i, ++n)
            unit = unit * 16 + char32_t(jet::HexDigitValue(s[i]));
        return n > 0;
    }
    unit = static_cast<unsigned char>(SimpleEscape(c));
    ++i;
    return unit != 0;
}

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::optional<StringLiteralValue> DecodeStringLiteral(std::string_view s) {
    std::size_t i = 0;
    bool utf32 = false;
    StringLiteralValue v;
    if (s.substr(0, 2) == "u8") i = 2;
    else if (!s.empty() && (s[0] == 'L' || s[0] == 'u')) v.wide = true, i = 1;
    else if (!s.empty() && s[0] == 'U') v.wide = utf32 = true, i = 1;
    if (s.size() < i + 2 || s[i] != '"' || s.back() != '"') return std::nullopt;
    const std::string_view body = s.substr(i + 1, s.size() - i - 2);
    std::string narrow;
    std::u16string units;
    std::string points;
    for (std::size_t at = 0; at < body.size();) {
        char32_t unit = static_cast<unsigned char>(body[at]);
        if (body[at] == '"') {  // "" between a \x run and a hex digit
            if (at + 1 >= body.size() || body[at + 1] != '"') return std::nullopt;
            at += 2;
            continue;
        }
        if (body[at] == '\\') {
            if (++at >= body.size() || !Escape(body, at, unit)) return std::nullopt;
        } else {
            ++at;
        }
        if (!v.wide) {
            if (unit > 0xFF) return std::nullopt;
            narrow += static_cast<char>(unit);
        } else if (utf32) {
            if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF)) return std::nullopt;
            AppendCodePoint(points, unit);
        } else {
            if (unit > 0xFFFF) return std::nullopt;
            units += static_cast<char16_t>(unit);
        }
        ++v.units;
    }
    if (!v.wide) {
        if (jet::Utf16ToUtf8(jet::Utf8ToUtf16(narrow)) != narrow) return std::nullopt;
        v.utf8 = std::move(narrow);
    } else if (utf32) {
        v.utf8 = std::move(points);
    } else {
        v.utf8 = jet::Utf16ToUtf8(units);
        if (jet::Utf8ToUtf16(v.utf8) != units) return std::nullopt;
    }
    return v;
}

}  // namespace tools
