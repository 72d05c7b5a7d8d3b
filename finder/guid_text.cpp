#include "finder/guid_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "jet/text_match.h"

namespace finder {
namespace {

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsSpace(s[b])) ++b;
    while (e > b && IsSpace(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

bool StartsWithNoCase(std::string_view s, std::string_view p) {
    if (s.size() < p.size()) return false;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != p[i]) return false;
    return true;
}

// The first character that is not a hexadecimal digit, as an error.
bool NotHex(std::string_view s, const char* what, std::string* error) {
    for (std::size_t i = 0; i < s.size(); ++i)
        if (jet::HexDigitValue(s[i]) < 0)
            return Fail(error, std::string("malformed GUID: '") + s[i] + "' in " + what + " is not a hexadecimal digit");
    return true;
}

std::uint64_t Number(std::string_view digits) {
    std::uint64_t n = 0;
    for (char c : digits) n = n * 16 + static_cast<std::uint64_t>(jet::HexDigitValue(c));
    return n;
}

// 8-4-4-4-12 (the registry's form), braces already taken off.
bool ParseDashed(std::string_view s, Guid& g, std::string* error) {
    static const std::size_t lengths[] = {8, 4, 4, 4, 12};
    std::vector<std::string_view> groups;
    for (std::size_t at = 0;;) {
        const std::size_t dash = s.find('-', at);
        groups.push_back(s.substr(at, dash == std::string_view::npos ? dash : dash - at));
        if (dash == std::string_view::npos) break;
        at = dash + 1;
    }
    if (groups.size() != 5) return Fail(error, "malformed GUID: " + std::to_string(groups.size()) + " groups of digits, not 5 (8-4-4-4-12)");
    for (std::size_t i = 0; i < 5; ++i) {
        if (!NotHex(groups[i], "the GUID", error)) return false;
        if (groups[i].size() != lengths[i])
            return Fail(error, "malformed GUID: group " + std::to_string(i + 1) + " has " + std::to_string(groups[i].size()) +
                                   " digits, not " + std::to_string(lengths[i]) + " (8-4-4-4-12)");
    }
    g.data1 = static_cast<std::uint32_t>(Number(groups[0]));
    g.data2 = static_cast<std::uint16_t>(Number(groups[1]));
    g.data3 = static_cast<std::uint16_t>(Number(groups[2]));
    const std::string tail = std::string(groups[3]) + std::string(groups[4]);
    for (std::size_t i = 0; i < 8; ++i) g.data4[i] = static_cast<std::uint8_t>(Number(std::string_view(tail).substr(2 * i, 2)));
    return true;
}

// {0x00000000,0x0000,0x0000,{0xC0,...}}: eleven numbers, the last eight in braces.
bool ParseInitializer(std::string_view s, Guid& g, std::string* error) {
    std::string flat;
    int depth = 0, maxDepth = 0;
    for (char c : s) {
        if (c == '{') maxDepth = std::max(maxDepth, ++depth);
        else if (c == '}') {
            if (--depth < 0) return Fail(error, "malformed GUID: unbalanced braces ('}' without '{')");
        }
        if (!IsSpace(c)) flat += c;
    }
    if (depth != 0) return Fail(error, "malformed GUID: unbalanced braces (" + std::to_string(depth) + " '{' not closed)");
    if (maxDepth != 2) return Fail(error, "malformed GUID: an initializer has its last eight bytes in braces of their own");
    std::vector<std::string> numbers;
    std::string current;
    for (char c : flat) {
        if (c == '{' || c == '}' || c == ',') {
            if (!current.empty()) numbers.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (numbers.size() != 11) return Fail(error, "malformed GUID: an initializer has 11 numbers, not " + std::to_string(numbers.size()));
    static const std::size_t widths[] = {8, 4, 4, 2, 2, 2, 2, 2, 2, 2, 2};
    std::uint64_t v[11];
    for (std::size_t i = 0; i < 11; ++i) {
        std::string n = numbers[i];
        if (n.size() > 2 && n[0] == '0' && (n[1] == 'x' || n[1] == 'X')) n = n.substr(2);
        else return Fail(error, "malformed GUID: '" + numbers[i] + "' in the initializer is not a 0x number");
        while (!n.empty() && (n.back() == 'u' || n.back() == 'U' || n.back() == 'l' || n.back() == 'L')) n.pop_back();
        if (n.empty() || !NotHex(n, "the initializer", error)) return n.empty() ? Fail(error, "malformed GUID: an empty number") : false;
        while (n.size() > 1 && n[0] == '0' && n.size() > widths[i]) n.erase(0, 1);
        if (n.size() > widths[i])
            return Fail(error, "malformed GUID: '" + numbers[i] + "' is wider than its " + std::to_string(widths[i] * 4) + " bits");
        v[i] = Number(n);
    }
    g.data1 = static_cast<std::uint32_t>(v[0]);
    g.data2 = static_cast<std::uint16_t>(v[1]);
    g.data3 = static_cast<std::uint16_t>(v[2]);
    for (std::size_t i = 0; i < 8; ++i) g.data4[i] = static_cast<std::uint8_t>(v[3 + i]);
    return true;
}

// Bytes in memory order: pairs of digits, with spaces, commas or dashes between bytes, or none.
bool ParseBytes(std::string_view s, Guid& g, std::string* error) {
    std::string digits;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (IsSpace(c) || c == ',' || c == '-') {
            if (digits.size() % 2) return Fail(error, "malformed GUID: a byte of one digit before character " + std::to_string(i + 1));
            continue;
        }
        if (jet::HexDigitValue(c) < 0) return Fail(error, std::string("malformed GUID: '") + c + "' in the bytes is not a hexadecimal digit");
        digits += c;
    }
    if (digits.size() != 32)
        return Fail(error, "malformed GUID: " + std::to_string(digits.size()) + " hexadecimal digits, not 32 (16 bytes)");
    std::array<std::uint8_t, 16> b{};
    for (std::size_t i = 0; i < 16; ++i) b[i] = static_cast<std::uint8_t>(Number(std::string_view(digits).substr(2 * i, 2)));
    g = Guid::FromBytes(b);
    return true;
}

bool DashedShape(std::string_view s) {
    return s.size() == 36 && s[8] == '-' && s[13] == '-' && s[18] == '-' && s[23] == '-';
}

}  // namespace

std::array<std::uint8_t, 16> Guid::Bytes() const {
    std::array<std::uint8_t, 16> b{};
    for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(data1 >> (8 * i));
    b[4] = static_cast<std::uint8_t>(data2);
    b[5] = static_cast<std::uint8_t>(data2 >> 8);
    b[6] = static_cast<std::uint8_t>(data3);
    b[7] = static_cast<std::uint8_t>(data3 >> 8);
    for (int i = 0; i < 8; ++i) b[8 + i] = data4[i];
    return b;
}

Guid Guid::FromBytes(const std::array<std::uint8_t, 16>& b) {
    Guid g;
    g.data1 = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    g.data2 = static_cast<std::uint16_t>(b[4] | b[5] << 8);
    g.data3 = static_cast<std::uint16_t>(b[6] | b[7] << 8);
    for (int i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
    return g;
}

std::string Guid::Text() const {
    char s[40];
    std::snprintf(s, sizeof s, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", data1, data2, data3, data4[0], data4[1],
                  data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
    return s;
}

bool LooksLikeGuid(std::string_view query) {
    const std::string s = Trim(query);
    if (s.empty()) return false;
    if (s[0] == '{' || s.back() == '}' || StartsWithNoCase(s, "hex:")) return true;
    std::size_t digits = 0, separators = 0;
    for (char c : s) {
        if (jet::HexDigitValue(c) >= 0) ++digits;
        else if (c == '-' || c == ',' || IsSpace(c)) ++separators;
        else return false;
    }
    // A number has no separators; 32 digits (16 bytes) or the dashed shape are a GUID.
    return digits == 32 || (separators > 0 && digits >= 20) || DashedShape(s);
}

bool ParseGuid(std::string_view query, Guid& out, std::string* error) {
    std::string s = Trim(query);
    if (StartsWithNoCase(s, "hex:")) return ParseBytes(std::string_view(s).substr(4), out, error);
    const bool open = !s.empty() && s[0] == '{', close = !s.empty() && s.back() == '}';
    const bool initializer = s.find("0x") != std::string::npos || s.find("0X") != std::string::npos ||
                             (s.find(',') != std::string::npos && s.find('{', 1) != std::string::npos);
    if (initializer && open) return ParseInitializer(s, out, error);
    if (open != close) return Fail(error, std::string("malformed GUID: unbalanced braces (") + (open ? "'{' not closed" : "'}' without '{'") + ")");
    if (open) s = Trim(std::string_view(s).substr(1, s.size() - 2));
    if (s.find('{') != std::string::npos || s.find('}') != std::string::npos) return Fail(error, "malformed GUID: unbalanced braces");
    const std::size_t dashes = static_cast<std::size_t>(std::count(s.begin(), s.end(), '-'));
    const bool spaced = s.find(' ') != std::string::npos || s.find(',') != std::string::npos;
    if (!spaced && dashes > 0 && dashes != 15) return ParseDashed(s, out, error);  // 15: bytes with dashes
    if (open && !spaced && dashes == 0 && s.size() != 32) return ParseDashed(s, out, error);
    return ParseBytes(s, out, error);
}

bool SplitPropertyKey(std::string_view value, std::string& guid, std::uint32_t& pid) {
    const std::size_t comma = value.find(',');
    if (comma != 36) return false;
    guid.assign(value.substr(0, 36));
    std::uint64_t n = 0;
    const std::string_view digits = value.substr(37);
    if (digits.empty() || digits.size() > 10) return false;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (n > 0xFFFFFFFFu) return false;
    pid = static_cast<std::uint32_t>(n);
    return true;
}

bool GuidFromText(std::string_view text, Guid& out) {
    return text.size() == 36 && DashedShape(text) && ParseDashed(text, out, nullptr);
}

}  // namespace finder
