// ToText for every basic type.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/value_text.h"

using namespace core;

TEST(ToTextIntegers, SignedAndUnsignedDecimal) {
    EXPECT_EQ("-1", ToText(-1));
    EXPECT_EQ("0", ToText(0));
    EXPECT_EQ("-2147483648", ToText(BasicValue::Int(std::numeric_limits<int>::min())));
    EXPECT_EQ("-32768", ToText(BasicValue::Short(-32768)));
    EXPECT_EQ("255", ToText(BasicValue::Byte(255)));
    EXPECT_EQ("-9223372036854775808",
              ToText(BasicValue::Long(std::numeric_limits<std::int64_t>::min())));
    EXPECT_EQ("9223372036854775807",
              ToText(BasicValue::Long(std::numeric_limits<std::int64_t>::max())));
}

TEST(ToTextDouble, ThirteenSignificantDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0"},
        {0.1, "0.1"},
        {2.0 / 3.0, "0.6666666666667"},
        {-2.5, "-2.5"},
        {100.0, "100"},
        {1e12, "1000000000000"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {123456.789, "123456.789"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, ToText(BasicValue::Double(c.value))) << c.value;
}

TEST(ToTextDouble, ExponentFormHasThreeDigitsOnEveryRuntime) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1e15, "1e+015"},
        {1e13, "1e+013"},
        {1e-5, "1e-005"},
        {-1.5e-7, "-1.5e-007"},
        {123456789012345.0, "1.234567890123e+014"},
        {9999999999999.5, "1e+013"},  // rounding moves it into exponent form
        {1.5e300, "1.5e+300"},
        {1e-300, "1e-300"},
        {std::numeric_limits<double>::denorm_min(), "4.940656458412e-324"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, ToText(BasicValue::Double(c.value))) << c.value;
}

TEST(ToTextFloat, SixSignificantDigits) {
    EXPECT_EQ("0.1", ToText(BasicValue::Float(0.1f)));
    EXPECT_EQ("3.5", ToText(BasicValue::Float(3.5f)));
    EXPECT_EQ("123456", ToText(BasicValue::Float(123456.0f)));
    EXPECT_EQ("1e+006", ToText(BasicValue::Float(1e6f)));
    EXPECT_EQ("1.23457e+006", ToText(BasicValue::Float(1234567.0f)));
}

TEST(ToTextBool, ChineseTrueAndFalse) {
    EXPECT_EQ("真", ToText(BasicValue::Bool(true)));
    EXPECT_EQ("假", ToText(BasicValue::Bool(false)));
    EXPECT_EQ("真", ToText(true));
}

TEST(ToTextShorthands, DoubleIsNotCutToInt) { EXPECT_EQ("3.5", ToText(3.5)); }

TEST(ToTextDate, DropsZeroTailParts) {
    EXPECT_EQ("1899年12月30日", ToText(BasicValue::Date(0)));
    EXPECT_EQ("2023年3月15日", ToText(BasicValue::Date(45000)));
    EXPECT_EQ("1899年12月31日12时", ToText(BasicValue::Date(1.5)));
    EXPECT_EQ("2000年1月1日12时30分", ToText(BasicValue::Date(36526 + 0.5 + 30.0 / 1440)));
    EXPECT_EQ("1899年12月30日0时0分1秒", ToText(BasicValue::Date(1.0 / 86400)));
    EXPECT_EQ("1899年12月30日0时1分", ToText(BasicValue::Date(60.0 / 86400)));
}

TEST(ToTextDate, BeforeTheEpochTheFractionIsTheTimeOfDay) {
    EXPECT_EQ("1899年12月29日6时", ToText(BasicValue::Date(-1.25)));
}

TEST(ToTextDate, RoundsToTheSecondAndClamps) {
    EXPECT_EQ("1899年12月31日", ToText(BasicValue::Date(1 - 1e-9)));
    EXPECT_EQ("100年1月1日", ToText(BasicValue::Date(-1e9)));
    EXPECT_EQ("9999年12月31日", ToText(BasicValue::Date(1e9)));
    EXPECT_EQ("1899年12月30日", ToText(BasicValue::Date(std::nan(""))));
}

TEST(ToTextOther, TextBytesAndTypesWithoutText) {
    EXPECT_EQ("abc", ToText(BasicValue::OfText("abc")));
    EXPECT_EQ("ab", ToText(BasicValue::OfBytes(Bytes{'a', 'b', 0, 'c'})));
    EXPECT_EQ("abc", ToText(BasicValue::OfBytes(Bytes{'a', 'b', 'c'})));
    EXPECT_EQ("", ToText(BasicValue::OfBytes(Bytes{})));
    EXPECT_EQ("", ToText(BasicValue()));
    EXPECT_EQ("", ToText(BasicValue::SubPointer(0x401000)));
}
