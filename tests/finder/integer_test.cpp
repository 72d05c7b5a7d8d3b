// Numbers: stored value texts, the numbers users type, and when two are one value.
#include <gtest/gtest.h>

#include "finder/integer.h"

using namespace finder;

namespace {

std::string Describe(const std::vector<Reading>& readings) {
    std::string out;
    for (const Reading& r : readings)
        out += std::string(out.empty() ? "" : " ") + (r.hex ? "hex:" : "dec:") + r.value.Decimal() + "/" +
               WidthName(r.value.width);
    return out;
}

std::string Read(const std::string& text) {
    std::vector<Reading> readings;
    std::string error;
    if (!ReadTypedNumber(text, readings, &error)) return "error: " + error;
    return Describe(readings);
}

std::string Stored(const std::string& text) {
    const std::optional<StoredNumber> n = ReadStoredNumber(text);
    if (!n) return "none";
    return n->value.Decimal() + "/" + WidthName(n->value.width) + (n->hex ? " hex " + n->digits : "");
}

}  // namespace

TEST(FinderInteger, StoredTextsTakeTheNarrowestWidth) {
    EXPECT_EQ(Stored("0x0001"), "1/int32 hex 0001");
    EXPECT_EQ(Stored("0x80004005"), "-2147467259/int32 hex 80004005");  // as the window reads it
    EXPECT_EQ(Stored("0xFFFFFFFF"), "-1/int32 hex FFFFFFFF");
    EXPECT_EQ(Stored("0x00000000FFFFFFFF"), "-1/int32 hex 00000000FFFFFFFF");
    EXPECT_EQ(Stored("0x100000000"), "4294967296/int64 hex 100000000");
    EXPECT_EQ(Stored("0xffffffffffffffff"), "-1/int64 hex ffffffffffffffff");
    EXPECT_EQ(Stored("2147483647"), "2147483647/int32");
    EXPECT_EQ(Stored("2147483648"), "2147483648/uint32");
    EXPECT_EQ(Stored("4294967295"), "4294967295/uint32");
    EXPECT_EQ(Stored("4294967296"), "4294967296/int64");
    EXPECT_EQ(Stored("9223372036854775808"), "9223372036854775808/uint64");
    EXPECT_EQ(Stored("18446744073709551615"), "18446744073709551615/uint64");
    EXPECT_EQ(Stored("-2147483648"), "-2147483648/int32");
    EXPECT_EQ(Stored("-2147483649"), "-2147483649/int64");
    EXPECT_EQ(Stored("-9223372036854775808"), "-9223372036854775808/int64");
    EXPECT_EQ(Stored("-0x10"), "-16/int32");  // a written minus: a number, not a pattern
    EXPECT_EQ(Stored("5L"), "5/int32");
    EXPECT_EQ(Stored("0x10UL"), "16/int32 hex 10");
}

TEST(FinderInteger, StoredTextsThatAreNoNumber) {
    for (const char* text : {"", "0x", "-", "18446744073709551616", "-9223372036854775809", "0x10000000000000000",
                             "ABC", "1.5", "sizeof(int)", " 1", "1 ", "5LLLL"})
        EXPECT_EQ(Stored(text), "none") << text;
    EXPECT_FALSE(ReadStoredValue(u"0x1\u00C0"));
    EXPECT_EQ(ReadStoredValue(u"0xC0000005")->Decimal(), "-1073741819");
}

TEST(FinderInteger, SameValueAcrossNotations) {
    const Integer minusOne = *FromDecimal(true, 1), allOnes32 = *FromDecimal(false, 0xFFFFFFFFu);
    const Integer allOnes64 = FromHexPattern(0xFFFFFFFFFFFFFFFFu), unsigned64 = *FromDecimal(false, ~0ull);
    EXPECT_TRUE(SameValue(minusOne, allOnes32));
    EXPECT_TRUE(SameValue(minusOne, FromHexPattern(0xFFFFFFFFu)));
    EXPECT_TRUE(SameValue(minusOne, allOnes64));
    EXPECT_TRUE(SameValue(allOnes64, unsigned64));
    EXPECT_FALSE(SameValue(allOnes32, allOnes64));  // 4294967295 is not a 64-bit -1
    EXPECT_FALSE(SameValue(*FromDecimal(false, 5), FromHexPattern(0x100000005u)));
    EXPECT_EQ(minusOne.Hex(), "0xFFFFFFFF");
    EXPECT_EQ(allOnes64.Hex(), "0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(allOnes32.Pattern(), 0xFFFFFFFFu);
    EXPECT_EQ(minusOne.Pattern(), 0xFFFFFFFFu);
}

TEST(FinderInteger, TypedDigitsReadBothWays) {
    EXPECT_EQ(Read("80070005"), "dec:80070005/int32 hex:-2147024891/int32");
    EXPECT_EQ(Read("10"), "dec:10/int32 hex:16/int32");
    EXPECT_EQ(Read("5"), "dec:5/int32");  // the same value either way: one reading
    EXPECT_EQ(Read("0"), "dec:0/int32");
    EXPECT_EQ(Read("0x80070005"), "hex:-2147024891/int32");
    EXPECT_EQ(Read("0X1f"), "hex:31/int32");
    EXPECT_EQ(Read("C0000005"), "hex:-1073741819/int32");
    EXPECT_EQ(Read("-2147024891"), "dec:-2147024891/int32");
    EXPECT_EQ(Read("+7"), "dec:7/int32");
    EXPECT_EQ(Read("-0x10"), "hex:-16/int32");
    EXPECT_EQ(Read("10L"), "dec:10/int32");  // a C suffix: read as C reads it
    EXPECT_EQ(Read("0x10u"), "hex:16/int32");
    // Beyond 16 hexadecimal digits only the decimal reading is left, and the other way round.
    EXPECT_EQ(Read("18446744073709551615"), "dec:18446744073709551615/uint64");
    EXPECT_EQ(Read("99999999999999999999"), "error: malformed number '99999999999999999999': does not fit in 64 bits");
    EXPECT_EQ(Read("FFFFFFFFFFFFFFFF"), "hex:-1/int64");
    EXPECT_EQ(Read("-9223372036854775808"), "dec:-9223372036854775808/int64");
    EXPECT_EQ(Read("-9223372036854775809"), "error: malformed number '-9223372036854775809': does not fit in 64 bits");
}

TEST(FinderInteger, MalformedNumbersSayWhere) {
    EXPECT_EQ(Read("0x12G"), "error: malformed number '0x12G': 'G' at character 5 is not a hexadecimal digit");
    EXPECT_EQ(Read("12x"), "error: malformed number '12x': 'x' at character 3 is not a digit");
    EXPECT_EQ(Read("0x"), "error: malformed number '0x': no digits");
    EXPECT_EQ(Read("-"), "error: malformed number '-': no digits");
    EXPECT_EQ(Read("--5"), "error: malformed number '--5': '-' at character 2 is not a digit");
    EXPECT_EQ(Read("1.5"), "error: malformed number '1.5': '.' at character 2 is not a digit");
    EXPECT_EQ(Read("-C0"),
              "error: malformed number '-C0': 'C' at character 2 is not a decimal digit (hexadecimal needs 0x here)");
    EXPECT_EQ(Read(u8"1中"), u8"error: malformed number '1中': '中' at character 2 is not a digit");
}

TEST(FinderInteger, WhatLooksLikeANumber) {
    EXPECT_TRUE(StartsLikeNumber("5"));
    EXPECT_TRUE(StartsLikeNumber("-1"));
    EXPECT_FALSE(StartsLikeNumber("C0000005"));
    EXPECT_FALSE(StartsLikeNumber(""));
    EXPECT_TRUE(AllHexDigits("C0000005"));
    EXPECT_FALSE(AllHexDigits("WM_CREATE"));
    EXPECT_FALSE(AllHexDigits(""));
}
