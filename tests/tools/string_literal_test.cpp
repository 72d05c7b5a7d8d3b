// clang's spelling of an evaluated string literal read back: each escape it
// writes, the widths, and what has no text.
#include <gtest/gtest.h>

#include "tools/string_literal.h"

namespace tools {
namespace {

std::string Narrow(const char* spelling) {
    const std::optional<StringLiteralValue> v = DecodeStringLiteral(spelling);
    EXPECT_TRUE(v && !v->wide) << spelling;
    return v ? v->utf8 : "";
}

TEST(StringLiteral, EveryEscapeClangWrites) {
    EXPECT_EQ(Narrow(R"("Button")"), "Button");
    EXPECT_EQ(Narrow(R"("")"), "");
    EXPECT_EQ(Narrow(R"("a\\b\"c\'d\?")"), "a\\b\"c'd?");
    EXPECT_EQ(Narrow(R"("\a\b\f\n\r\t\v")"), "\a\b\f\n\r\t\v");
    // Octal is always three digits, so a digit after it is a character of its own.
    EXPECT_EQ(Narrow(R"("\0011\177")"), std::string("\001" "1\177"));
    EXPECT_EQ(Narrow(R"("\303\251")"), "\xC3\xA9");  // é's UTF-8 bytes
    EXPECT_EQ(Narrow(R"(u8"x")"), "x");
    const std::optional<StringLiteralValue> zero = DecodeStringLiteral(R"("a\000b\000")");
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->utf8, std::string("a\0b\0", 4));
    EXPECT_EQ(zero->units, 4u);
}

TEST(StringLiteral, WideUnitsAndTheSplitAfterAHexEscape) {
    const std::optional<StringLiteralValue> v = DecodeStringLiteral(R"(L"ab\351\x4E2D""1F")");
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->wide);
    EXPECT_EQ(v->utf8, "ab\xC3\xA9\xE4\xB8\xAD" "1F");  // a, b, é, 中, 1, F
    EXPECT_EQ(v->units, 6u);
    const std::optional<StringLiteralValue> pair = DecodeStringLiteral(R"(L"\xD83D\xDE00")");
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->utf8, "\xF0\x9F\x98\x80");
    EXPECT_EQ(pair->units, 2u);  // as sizeof counts WCHARs
    const std::optional<StringLiteralValue> u32 = DecodeStringLiteral(R"(U"\U0001F600")");
    ASSERT_TRUE(u32);
    EXPECT_EQ(u32->utf8, "\xF0\x9F\x98\x80");
}

TEST(StringLiteral, WhatHasNoTextIsRefused) {
    for (const char* bad : {"", "x", "\"", "L\"", "'a'", "\"a\\\"", "\"a\\q\"", "\"a\"b\"", "\"\\x\"",
                            R"("\377")",             // a byte that is no UTF-8
                            R"(L"\xD83D")",          // an unpaired surrogate
                            R"("\x100")",            // too wide for char
                            R"(L"\x10000")"})        // too wide for WCHAR
        EXPECT_EQ(DecodeStringLiteral(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace tools
