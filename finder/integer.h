#pragma once
// A constant's value with the width its text implies, how a stored value text
// reads, and how the numbers a user types read.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace finder {

// The type a value is declared with when nothing else says (README "Types").
enum class Width { Int32, UInt32, Int64, UInt64 };

const char* WidthName(Width width);  // "int32", "uint32", "int64", "uint64"

struct Integer {
    std::uint64_t bits = 0;  // two's complement over 64 bits: Int32 -1 is all ones
    Width width = Width::Int32;

    bool Is32() const { return width == Width::Int32 || width == Width::UInt32; }
    bool Negative() const;
    std::uint32_t Low32() const { return static_cast<std::uint32_t>(bits); }
    // The bits that flags are made of: 32-bit widths zero-extended.
    std::uint64_t Pattern() const { return Is32() ? Low32() : bits; }
    // The exact value: "-2147467259", "4294967295".
    std::string Decimal() const;
    // "0x" and upper-case digits without leading zeros, over 32 bits for 32-bit widths.
    std::string Hex() const;
};

// One value whatever the notation: -1, 0xFFFFFFFF and 4294967295 are one
// 32-bit value; a 64-bit value equals what has its 64 bits.
bool SameValue(const Integer& a, const Integer& b);

// The narrowest of int32, uint32, int64, uint64 that holds the value; none beyond.
std::optional<Integer> FromDecimal(bool negative, std::uint64_t magnitude);
// A bit pattern: 32 bits when it fits in them, else 64; read signed, as the window reads it.
Integer FromHexPattern(std::uint64_t bits);

// A value text of api_const.
struct StoredNumber {
    Integer value;
    bool hex = false;    // written as 0x digits, without a sign: a bit pattern
    std::string digits;  // as written: no "0x", sign or suffix ("0001", "80004005", "5")
};
// Decimal ("-1", "4294967295") or 0x-hexadecimal, with an optional C suffix
// (L, U, UL, LL, ...); anything else is no number.
std::optional<StoredNumber> ReadStoredNumber(std::string_view text);
// The same for a text as the database holds it; nothing but the value is made.
std::optional<Integer> ReadStoredValue(std::u16string_view text);

// One way of reading a number the user typed.
struct Reading {
    bool hex = false;  // read as hexadecimal
    Integer value;
};

// Whether a query is meant as a number: it starts with a digit or a sign.
bool StartsLikeNumber(std::string_view text);
// Whether every character is a hexadecimal digit (a query such as C0000005).
bool AllHexDigits(std::string_view text);

// The readings of a typed number, in the order shown: decimal digits alone
// read as decimal and as hexadecimal (once when both are the same value), a
// 0x prefix or a letter a-f as hexadecimal, a sign or a C suffix as C reads
// it. False with the reason in *error (what and at which character) when the
// text is no number or none of its readings fits in 64 bits.
bool ReadTypedNumber(std::string_view text, std::vector<Reading>& readings, std::string* error);

}  // namespace finder
