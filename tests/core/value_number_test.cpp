// ToNumber: values of every type, and the decimal reading of texts.
#include <gtest/gtest.h>

#include <cmath>

#include "core/value_number.h"

using namespace core;

TEST(ToNumberText, ReadsTheLeadingDecimalNumber) {
    EXPECT_EQ(-125.0, ToNumber("  -12.5e1xyz"));
    EXPECT_EQ(100.0, ToNumber("1d2"));
    EXPECT_EQ(1000.0, ToNumber("1D3"));
    EXPECT_EQ(0.02, ToNumber("2E-2"));
    EXPECT_EQ(3.0, ToNumber("+3"));
    EXPECT_EQ(0.5, ToNumber(".5"));
    EXPECT_EQ(5.0, ToNumber("5."));
    EXPECT_EQ(7.0, ToNumber(" \t\n\v\f\r7"));
    EXPECT_EQ(1.0, ToNumber("1,000"));
}

TEST(ToNumberText, AnIncompleteExponentIsNotRead) {
    EXPECT_EQ(1.0, ToNumber("1e"));
    EXPECT_EQ(1.0, ToNumber("1e+"));
    EXPECT_EQ(1.0, ToNumber("1dx"));
}

TEST(ToNumberText, NoDigitGivesZero) {
    EXPECT_EQ(0.0, ToNumber(""));
    EXPECT_EQ(0.0, ToNumber("."));
    EXPECT_EQ(0.0, ToNumber("-"));
    EXPECT_EQ(0.0, ToNumber("e5"));
    EXPECT_EQ(0.0, ToNumber("abc"));
}

TEST(ToNumberText, NoHexInfinityOrNan) {
    EXPECT_EQ(0.0, ToNumber("0x1A"));
    EXPECT_EQ(0.0, ToNumber("inf"));
    EXPECT_EQ(0.0, ToNumber("-INFINITY"));
    EXPECT_EQ(0.0, ToNumber("nan"));
}

TEST(ToNumberText, ExtremeExponents) {
    EXPECT_TRUE(std::isinf(ToNumber("1e400")));
    EXPECT_EQ(0.0, ToNumber("1e-400"));
    EXPECT_EQ(0.0, ToNumber("1e-99999999999999999999"));
    EXPECT_EQ(12.0, ToNumber("12e0000000000000000000"));
}

TEST(ToNumberText, FoldsFullWidthCharacters) {
    EXPECT_EQ(123.0, ToNumber("\xA3\xB1\xA3\xB2\xA3\xB3"));          // full-width 123
    EXPECT_EQ(0.0, ToNumber("\xA3\xB0\xA3\xF8\xA3\xB1\xA3\xB0"));    // full-width 0x10
    EXPECT_EQ(-4.5, ToNumber("\xA1\xA1\xA3\xAD\xA3\xB4\xA3\xAE\xA3\xB5"));  // space, -4.5
    EXPECT_EQ(2e3, ToNumber("2\xA3\xE5\xA3\xB3"));                   // full-width e3
    // Any other pair stays, and stops the reading.
    EXPECT_EQ(0.0, ToNumber("\xB0\xA1" "5"));
    EXPECT_EQ(12.0, ToNumber("12\xB0\xA1" "5"));
    // A lead byte without a trail byte ends the text.
    EXPECT_EQ(12.0, ToNumber("12\xB0"));
}

TEST(ToNumberValue, EveryType) {
    EXPECT_EQ(200.0, ToNumber(BasicValue::Byte(200)));
    EXPECT_EQ(-5.0, ToNumber(BasicValue::Short(-5)));
    EXPECT_EQ(-7.0, ToNumber(BasicValue::Int(-7)));
    EXPECT_EQ(9007199254740992.0, ToNumber(BasicValue::Long(9007199254740993LL)));
    EXPECT_EQ(0.5, ToNumber(BasicValue::Float(0.5f)));
    EXPECT_EQ(2.25, ToNumber(BasicValue::Double(2.25)));
    EXPECT_EQ(1.0, ToNumber(BasicValue::Bool(true)));
    EXPECT_EQ(0.0, ToNumber(BasicValue::Bool(false)));
    EXPECT_EQ(4294967295.0, ToNumber(BasicValue::SubPointer(0xFFFFFFFFu)));
    EXPECT_EQ(8.0, ToNumber(BasicValue::OfText("8")));
    EXPECT_EQ(0.0, ToNumber(BasicValue::Date(3.5)));
    EXPECT_EQ(0.0, ToNumber(BasicValue::OfBytes(Bytes{'5'})));
    EXPECT_EQ(0.0, ToNumber(BasicValue()));
}

TEST(TruncateToInt32, TowardZeroThenTheLow32Bits) {
    EXPECT_EQ(2, TruncateToInt32(2.9));
    EXPECT_EQ(-2, TruncateToInt32(-2.9));
    EXPECT_EQ(-1, TruncateToInt32(-1.0));
    EXPECT_EQ(-1294967296, TruncateToInt32(3000000000.0));
    EXPECT_EQ(0, TruncateToInt32(4294967296.0));
    EXPECT_EQ(1, TruncateToInt32(4294967297.0));
    EXPECT_EQ(-2147483647 - 1, TruncateToInt32(-2147483648.0));
}

TEST(TruncateToInt32, MagnitudesOf2To63OrMoreAndNanGiveZero) {
    EXPECT_EQ(-1024, TruncateToInt32(9223372036854774784.0));  // 2^63 - 1024, the last below 2^63
    EXPECT_EQ(1024, TruncateToInt32(-9223372036854774784.0));
    EXPECT_EQ(0, TruncateToInt32(9223372036854775808.0));
    EXPECT_EQ(0, TruncateToInt32(-9223372036854775808.0));
    EXPECT_EQ(0, TruncateToInt32(HUGE_VAL));
    EXPECT_EQ(0, TruncateToInt32(-HUGE_VAL));
    EXPECT_EQ(0, TruncateToInt32(std::nan("")));
}
