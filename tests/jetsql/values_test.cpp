// Jet's date literals, numbers, text order and value texts.
#include "jetsql/values.h"

#include <gtest/gtest.h>

#include <ctime>

#include "jetsql/jet_text.h"
#include "jet/utf.h"

namespace {

double Date(std::u16string_view text) {
    double d = -99999;
    EXPECT_TRUE(jetsql::ParseJetDate(text, &d)) << jet::Utf16ToUtf8(text);
    return d;
}

std::string Text(const jet::Value& v, jet::ColumnType type) { return jet::Utf16ToUtf8(jetsql::TextOf(v, type)); }

}  // namespace

TEST(ParseJetDate, EveryFormJetReads) {
    EXPECT_EQ(Date(u"1/2/2020"), 43832);
    EXPECT_EQ(Date(u"2020-01-02"), 43832);
    EXPECT_EQ(Date(u"2020/1/2"), 43832);
    EXPECT_EQ(Date(u" 01/02/2020 "), 43832);
    EXPECT_EQ(Date(u"1-2-2020"), 43832);
    EXPECT_EQ(Date(u"2-Jan-2020"), 43832);
    EXPECT_EQ(Date(u"2 january 2020"), 43832);
    EXPECT_EQ(Date(u"January 2, 2020"), 43832);
    EXPECT_EQ(Date(u"jan 2 2020"), 43832);
    EXPECT_EQ(Date(u"2020 Jan 2"), 43832);
    // Month first, unless the first part cannot be a month.
    EXPECT_EQ(Date(u"1/13/2020"), 43843);
    EXPECT_EQ(Date(u"13/1/2020"), 43843);
    // Two-digit years: 30-99 in the 1900s, 00-29 in the 2000s.
    EXPECT_EQ(Date(u"1/2/20"), 43832);
    EXPECT_EQ(Date(u"1/2/30"), 10960);
    EXPECT_EQ(Date(u"1/2/99"), 36162);
    EXPECT_EQ(Date(u"12/30/1899"), 0);
    EXPECT_EQ(Date(u"2/29/2000"), 36585);
}

TEST(ParseJetDate, TimesAloneAndAfterADate) {
    EXPECT_EQ(Date(u"12:00"), 0.5);
    EXPECT_EQ(Date(u"6:00 PM"), 0.75);
    EXPECT_EQ(Date(u"12:00 AM"), 0);
    EXPECT_EQ(Date(u"12:00:00 pm"), 0.5);
    EXPECT_EQ(Date(u"1/2/2020 6:00:30 AM"), 43832 + 0.25 + 30.0 / 86400);
    EXPECT_EQ(Date(u"2020-01-02 18:00"), 43832.75);
    // Before day 0 the time still counts forward from midnight: OLE's form.
    EXPECT_EQ(Date(u"12/29/1899 6:00"), -1.25);
}

TEST(ParseJetDate, AMonthAndDayAloneAreThisYears) {
    const std::time_t now = std::time(nullptr);
    const int year = std::localtime(&now)->tm_year + 1900;
    double expected = 0;
    const std::string digits = std::to_string(year);
    ASSERT_TRUE(jetsql::ParseJetDate(u"3/4/" + std::u16string(digits.begin(), digits.end()), &expected));
    EXPECT_EQ(Date(u"3/4"), expected);
    EXPECT_EQ(Date(u"Mar 4"), expected);
}

TEST(ParseJetDate, RefusesImpossibleAndMalformedDates) {
    const char16_t* bad[] = {u"",         u" ",           u"2/30/2020",  u"13/13/2020",      u"1/2/2020 25:00",
                             u"1/2/2020 10:60", u"abc",   u"1//2",  u"1/2/2020/",       u"1/2/3/4",         u"Foo 2, 2020",
                             u"13:00 PM", u"0:00 AM",     u"1/2/99999",  u"1/2/2020 10",     u"2/29/1900",
                             u"1/2/2020 10:00 XM",       u"/1/2/2020", u"#",  u"1/2/2020 10:00:00:00", u"Jan Feb 2"};
    for (const char16_t* text : bad) {
        double d = 0;
        EXPECT_FALSE(jetsql::ParseJetDate(text, &d)) << jet::Utf16ToUtf8(text);
    }
}

TEST(ParseJetNumber, IntegersDoublesAndCurrency) {
    jetsql::TypedValue v;
    ASSERT_TRUE(jetsql::ParseJetNumber(u"$1.50", true, &v));
    EXPECT_EQ(v.type, jet::ColumnType::Currency);
    EXPECT_EQ(v.value.real, 1.5);
    ASSERT_TRUE(jetsql::ParseJetNumber(u"-$2", true, &v));
    EXPECT_EQ(v.value.real, -2);
    EXPECT_FALSE(jetsql::ParseJetNumber(u"$1", false, &v));
    ASSERT_TRUE(jetsql::ParseJetNumber(u"2147483648", false, &v));
    EXPECT_EQ(v.type, jet::ColumnType::Double);
    ASSERT_TRUE(jetsql::ParseJetNumber(u"-12", false, &v));
    EXPECT_EQ(v.type, jet::ColumnType::LongInteger);
    EXPECT_EQ(v.value.integer, -12);
    for (const char16_t* bad : {u"", u"-", u"1e", u"e5", u"1.2.3", u"1e5e5", u"12a", u"$", u"1 2", u"1e999"})
        EXPECT_FALSE(jetsql::ParseJetNumber(bad, true, &v)) << jet::Utf16ToUtf8(bad);
}

TEST(TextOf, NumbersInTheirShortestFormDatesInTheUsForm) {
    using T = jet::ColumnType;
    EXPECT_EQ(Text(jet::Value::FromDouble(0.1), T::Double), "0.1");
    EXPECT_EQ(Text(jet::Value::FromDouble(1e20), T::Double), "1E+20");
    EXPECT_EQ(Text(jet::Value::FromDouble(1e-5), T::Double), "1E-05");
    EXPECT_EQ(Text(jet::Value::FromDouble(123456789012345678.0), T::Double), "1.23456789012346E+17");
    EXPECT_EQ(Text(jet::Value::FromDouble(double(0.1f)), T::Single), "0.1");
    EXPECT_EQ(Text(jet::Value::FromDouble(-0.0), T::Double), "0");
    EXPECT_EQ(Text(jet::Value::FromDouble(1.25), T::Currency), "1.25");
    EXPECT_EQ(Text(jet::Value::FromDouble(2), T::Currency), "2");
    EXPECT_EQ(Text(jet::Value::FromInteger(12500), T::Currency), "1.25");  // units of 1/10000, as tables in memory hold them
    EXPECT_EQ(Text(jet::Value::FromInteger(-5), T::LongInteger), "-5");
    EXPECT_EQ(Text(jet::Value::FromInteger(1), T::Boolean), "True");
    EXPECT_EQ(Text(jet::Value::FromInteger(0), T::Boolean), "False");
    EXPECT_EQ(Text(jet::Value::FromDouble(43832), T::DateTime), "1/2/2020");
    EXPECT_EQ(Text(jet::Value::FromDouble(0.5), T::DateTime), "12:00:00 PM");
    EXPECT_EQ(Text(jet::Value::FromDouble(43832.75), T::DateTime), "1/2/2020 6:00:00 PM");
    EXPECT_EQ(Text(jet::Value::FromDouble(43832 + 1.0 / 86400), T::DateTime), "1/2/2020 12:00:01 AM");
    EXPECT_EQ(Text(jet::Value::FromDouble(-1.25), T::DateTime), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(Text(jet::Value::FromDouble(0), T::DateTime), "12/30/1899");
    EXPECT_EQ(Text(jet::Value::FromDouble(43832.9999999), T::DateTime), "1/3/2020");
    jet::Value bytes;
    bytes.kind = jet::Value::Kind::Binary;
    bytes.binary = {0x41, 0x42};
    EXPECT_EQ(Text(bytes, T::Binary), "AB");
    EXPECT_EQ(Text(jet::Value::Null(), T::Text), "");
}

TEST(JetTextCompare, AsciiInTheGeneralSortOrder) {
    auto order = [](std::u16string_view a, std::u16string_view b) {
        const int c = jetsql::JetTextCompare(a, b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    };
    EXPECT_EQ(order(u"WM_A", u"WMA"), -1);  // '_' before letters
    EXPECT_EQ(order(u"a", u"A"), 0);
    EXPECT_EQ(order(u"9", u"a"), -1);
    EXPECT_EQ(order(u" ", u"!"), -1);
    EXPECT_EQ(order(u"!", u"0"), -1);
    EXPECT_EQ(order(u"ab", u"a-b"), -1);  // '-' only breaks ties
    EXPECT_EQ(order(u"a-b", u"ac"), -1);
    EXPECT_EQ(order(u"its", u"it's"), -1);
    EXPECT_EQ(order(u"a-b", u"ab-"), -1);  // the earlier tie-breaker sorts first
    EXPECT_EQ(order(u"abc", u"ab"), 1);
    EXPECT_EQ(order(u"", u"a"), -1);
    EXPECT_EQ(order(u"Z", u"中"), -1);
    EXPECT_EQ(order(u"中", u"文"), -1);
    EXPECT_NE(order(std::u16string(u"a\0b", 3), u"ab"), 0);  // equal only when JetTextEqual
}

TEST(JetOrder, NullFirstYesBeforeNoNumbersAcrossTypes) {
    using T = jet::ColumnType;
    EXPECT_LT(jetsql::JetOrder(jet::Value::Null(), jet::Value::FromInteger(-5), T::LongInteger), 0);
    EXPECT_EQ(jetsql::JetOrder(jet::Value::Null(), jet::Value::Null(), T::Text), 0);
    EXPECT_LT(jetsql::JetOrder(jet::Value::FromInteger(1), jet::Value::FromInteger(0), T::Boolean), 0);
    EXPECT_EQ(jetsql::JetCompare(jet::Value::FromInteger(2), T::LongInteger, jet::Value::FromDouble(2.0), T::Double), 0);
    EXPECT_LT(jetsql::JetCompare(jet::Value::FromInteger(1), T::Boolean, jet::Value::FromInteger(0), T::LongInteger), 0);
    EXPECT_GT(jetsql::JetCompare(jet::Value::FromInteger(INT64_MAX), T::LongInteger,
                              jet::Value::FromInteger(INT64_MAX - 1), T::LongInteger),
              0);
}
