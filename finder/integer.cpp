#include "finder/integer.h"

#include <cstdio>
#include <limits>

#include "jet/text_match.h"

namespace finder {
namespace {

constexpr std::uint64_t kInt32Max = 0x7FFFFFFFu;
constexpr std::uint64_t kUInt32Max = 0xFFFFFFFFu;
constexpr std::uint64_t kInt64Max = 0x7FFFFFFFFFFFFFFFu;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

template <class Char>
bool IsDecimalDigit(Char c) {
    return c >= '0' && c <= '9';
}

template <class Char>
bool IsSuffixLetter(Char c) {
    return c == 'u' || c == 'U' || c == 'l' || c == 'L';
}

// The parts of a C-like integer literal: [sign] [0x] digits [suffix].
struct Literal {
    bool sign = false, negative = false, prefixed = false;
    bool letters = false;  // a-f among the digits
    std::size_t digitsAt = 0, digitsEnd = 0, suffix = 0;
    std::size_t badAt = kNone;  // the first character that fits nowhere
};

template <class Char>
Literal Split(std::basic_string_view<Char> text) {
    Literal lit;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        lit.sign = true;
        lit.negative = text[i] == '-';
        ++i;
    }
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        lit.prefixed = true;
        i += 2;
    }
    lit.digitsAt = i;
    for (; i < text.size() && jet::HexDigitValue(text[i]) >= 0; ++i)
        if (!IsDecimalDigit(text[i])) lit.letters = true;
    lit.digitsEnd = i;
    for (; i < text.size() && IsSuffixLetter(text[i]) && lit.suffix < 3; ++i) ++lit.suffix;
    if (i < text.size()) lit.badAt = i;
    return lit;
}

// Magnitude of the digits in base 10 or 16; false beyond 64 bits.
template <class Char>
bool Magnitude(std::basic_string_view<Char> text, const Literal& lit, bool hex, std::uint64_t& out) {
    out = 0;
    for (std::size_t i = lit.digitsAt; i < lit.digitsEnd; ++i) {
        const auto digit = static_cast<std::uint64_t>(jet::HexDigitValue(text[i]));
        if (hex) {
            if (out >> 60) return false;
            out = out << 4 | digit;
        } else {
            if (out > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return false;
            out = out * 10 + digit;
        }
    }
    return true;
}

// A stored text read as the builder writes it: decimal, or hexadecimal after 0x.
template <class Char>
std::optional<Integer> StoredValue(std::basic_string_view<Char> text, Literal& lit) {
    lit = Split(text);
    if (lit.badAt != kNone || lit.digitsAt == lit.digitsEnd || (lit.letters && !lit.prefixed)) return std::nullopt;
    std::uint64_t magnitude = 0;
    if (!Magnitude(text, lit, lit.prefixed, magnitude)) return std::nullopt;
    if (lit.prefixed && !lit.negative) return FromHexPattern(magnitude);
    return FromDecimal(lit.negative, magnitude);
}

// The character at byte offset at of a UTF-8 text, and its 1-based position.
std::string CharacterAt(std::string_view text, std::size_t at, std::size_t& position) {
    position = 1;
    for (std::size_t i = 0; i < at; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++position;
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return std::string(text.substr(at, end - at));
}

bool Malformed(std::string_view text, const std::string& why, std::string* error) {
    if (error) *error = "malformed number '" + std::string(text) + "': " + why;
    return false;
}

bool NotADigit(std::string_view text, std::size_t at, const char* kind, std::string* error) {
    std::size_t position = 0;
    const std::string c = CharacterAt(text, at, position);
    return Malformed(text, "'" + c + "' at character " + std::to_string(position) + " is not " + kind, error);
}

}  // namespace

const char* WidthName(Width width) {
    switch (width) {
    case Width::Int32: return "int32";
    case Width::UInt32: return "uint32";
    case Width::Int64: return "int64";
    case Width::UInt64: return "uint64";
    }
    return "";
}

bool Integer::Negative() const {
    if (width == Width::Int32) return (Low32() >> 31) != 0;
    return width == Width::Int64 && (bits >> 63) != 0;
}

std::string Integer::Decimal() const {
    char buffer[32];
    if (width == Width::Int32 || width == Width::Int64)
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(bits));
    else
        std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(bits));
    return buffer;
}

std::string Integer::Hex() const {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(Pattern()));
    return buffer;
}

bool SameValue(const Integer& a, const Integer& b) {
    return a.Is32() && b.Is32() ? a.Low32() == b.Low32() : a.bits == b.bits;
}

std::optional<Integer> FromDecimal(bool negative, std::uint64_t magnitude) {
    if (negative && magnitude != 0) {
        const std::uint64_t bits = ~magnitude + 1;
        if (magnitude <= kInt32Max + 1) return Integer{bits, Width::Int32};
        if (magnitude <= kInt64Max + 1) return Integer{bits, Width::Int64};
        return std::nullopt;
    }
    if (magnitude <= kInt32Max) return Integer{magnitude, Width::Int32};
    if (magnitude <= kUInt32Max) return Integer{magnitude, Width::UInt32};
    if (magnitude <= kInt64Max) return Integer{magnitude, Width::Int64};
    return Integer{magnitude, Width::UInt64};
}

Integer FromHexPattern(std::uint64_t bits) {
    if (bits <= kUInt32Max) {
        const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
        return Integer{static_cast<std::uint64_t>(static_cast<std::int64_t>(low)), Width::Int32};
    }
    return Integer{bits, Width::Int64};
}

std::optional<StoredNumber> ReadStoredNumber(std::string_view text) {
    Literal lit;
    const std::optional<Integer> value = StoredValue(text, lit);
    if (!value) return std::nullopt;
    // A written minus makes the value a number, not a bit pattern.
    const bool pattern = lit.prefixed && !lit.negative;
    return StoredNumber{*value, pattern, std::string(text.substr(lit.digitsAt, lit.digitsEnd - lit.digitsAt))};
}

std::optional<Integer> ReadStoredValue(std::u16string_view text) {
    Literal lit;
    return StoredValue(text, lit);
}

bool StartsLikeNumber(std::string_view text) {
    return !text.empty() && (IsDecimalDigit(text[0]) || text[0] == '-' || text[0] == '+');
}

bool AllHexDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (jet::HexDigitValue(c) < 0) return false;
    return true;
}

bool ReadTypedNumber(std::string_view text, std::vector<Reading>& readings, std::string* error) {
    readings.clear();
    const Literal lit = Split(text);
    const bool cLiteral = lit.sign || lit.suffix > 0;  // read as C reads it: decimal unless 0x
    if (lit.badAt != kNone)
        return NotADigit(text, lit.badAt, lit.prefixed ? "a hexadecimal digit" : "a digit", error);
    if (lit.digitsAt == lit.digitsEnd) return Malformed(text, "no digits", error);
    if (lit.letters && cLiteral && !lit.prefixed) {
        std::size_t at = lit.digitsAt;
        while (IsDecimalDigit(text[at])) ++at;
        return NotADigit(text, at, "a decimal digit (hexadecimal needs 0x here)", error);
    }
    std::uint64_t magnitude = 0;
    const bool hexOnly = lit.prefixed || lit.letters;
    if ((hexOnly || !cLiteral) && Magnitude(text, lit, true, magnitude)) {
        if (!lit.negative)
            readings.push_back({true, FromHexPattern(magnitude)});
        else if (const std::optional<Integer> negated = FromDecimal(true, magnitude))
            readings.push_back({true, *negated});
    }
    if (!hexOnly && Magnitude(text, lit, false, magnitude)) {
        if (const std::optional<Integer> decimal = FromDecimal(lit.negative, magnitude)) {
            // Digits that read the same either way are one reading.
            if (!readings.empty() && readings[0].value.bits == decimal->bits) readings.clear();
            readings.insert(readings.begin(), Reading{false, *decimal});
        }
    }
    if (readings.empty()) return Malformed(text, "does not fit in 64 bits", error);
    return true;
}

}  // namespace finder
