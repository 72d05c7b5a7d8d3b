// The value column's texts: computed values in hexadecimal or decimal, the
// metadata's values as headers write values of their kind.
#include <gtest/gtest.h>

#include "tools/value_text.h"

namespace tools {
namespace {

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
    EXPECT_EQ(FormatValueText(IntValue::Of(0xFFFF, {16, true}), false), "65535");  // (WORD)-1, promoted to int
}

}  // namespace
}  // namespace tools
