#include <gtest/gtest.h>

#include "tools/value_text.h"

namespace constdb {
namespace {

std::string Single(const std::string& text) {
    std::optional<std::string> s = SingleHexLiteralText(Tokenize(text));
    return s ? *s : "(none)";
}

TEST(ValueText, OneHexLiteralKeepsItsDigits) {
    EXPECT_EQ(Single("0x0001"), "0x0001");
    EXPECT_EQ(Single("((0x0001))"), "0x0001");
    EXPECT_EQ(Single("0X1fL"), "0x1f");  // prefix normalised, case of digits kept, suffix dropped
    EXPECT_EQ(Single("0x80000000UL"), "0x80000000");
    EXPECT_EQ(Single("0x10i64"), "0x10");
    EXPECT_EQ(Single("1"), "(none)");
    EXPECT_EQ(Single("010"), "(none)");
    EXPECT_EQ(Single("0x1 | 0x2"), "(none)");
    EXPECT_EQ(Single("-0x1"), "(none)");
    EXPECT_EQ(Single("(DWORD)0x1"), "(none)");
    EXPECT_EQ(Single(""), "(none)");
}

TEST(ValueText, HexResultsUseUpperCaseWithoutLeadingZeros) {
    EXPECT_EQ(FormatValueText(IntValue::FromInt(0xCF0000), true), "0xCF0000");
    EXPECT_EQ(FormatValueText(IntValue::FromInt(0), true), "0x0");
    EXPECT_EQ(FormatValueText(IntValue::FromInt(-1), true), "0xFFFFFFFF");  // 32-bit pattern
    EXPECT_EQ(FormatValueText(IntValue::Of(0x80004005u, IntType::Int()), true), "0x80004005");
    EXPECT_EQ(FormatValueText(IntValue::Of(~0ull, IntType::LongLong()), true), "0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(FormatValueText(IntValue::Of(0x100000000ull, IntType::ULongLong()), true), "0x100000000");
}

TEST(ValueText, OtherResultsAreDecimalWithTheirSign) {
    EXPECT_EQ(FormatValueText(IntValue::FromInt(-1), false), "-1");
    EXPECT_EQ(FormatValueText(IntValue::FromInt(INT32_MIN), false), "-2147483648");
    EXPECT_EQ(FormatValueText(IntValue::Of(~0ull, IntType::UInt()), false), "4294967295");
    EXPECT_EQ(FormatValueText(IntValue::Of(~0ull, IntType::ULongLong()), false), "18446744073709551615");
    EXPECT_EQ(FormatValueText(IntValue::Of(~0ull, IntType::LongLong()), false), "-1");
    EXPECT_EQ(FormatValueText(IntValue::FromInt(0), false), "0");
}

}  // namespace
}  // namespace constdb
