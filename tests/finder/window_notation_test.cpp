// What the window's two boxes show for a stored text, and the 易语言 text it copies.
#include <gtest/gtest.h>

#include "finder/window_notation.h"

using namespace finder;

namespace {

std::string Boxes(const std::string& stored) {
    const WindowBoxes b = WhatTheWindowShows(stored);
    return b.decimal + " | " + b.hex;
}

}  // namespace

TEST(FinderWindowNotation, HexadecimalTextsKeepTheirDigits) {
    EXPECT_EQ(Boxes("0x0001"), "1 | 0001");
    EXPECT_EQ(Boxes("0xCF0000"), "13565952 | CF0000");
    EXPECT_EQ(Boxes("0x80004005"), "-2147467259 | 80004005");
    EXPECT_EQ(Boxes("0X1FL"), "31 | 1F");
    // 64 bits: the decimal box keeps the low 32.
    EXPECT_EQ(Boxes("0xFFFFFFFFFFFFFFFF"), "-1 | FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Boxes("0x100000000"), "0 | 100000000");
    // No digit after 0x: StrToIntEx fails and leaves 0.
    EXPECT_EQ(Boxes("0x"), "0 | ");
}

TEST(FinderWindowNotation, DecimalTextsKeepTheirDigits) {
    EXPECT_EQ(Boxes("13565952"), "13565952 | CF0000");
    EXPECT_EQ(Boxes("4294967295"), "4294967295 | FFFFFFFF");
    EXPECT_EQ(Boxes("-1"), "-1 | FFFFFFFF");
    EXPECT_EQ(Boxes("5L"), "5 | 5");
    // 64 bits: the hexadecimal box keeps the low 32, and nothing from 2^63 on.
    EXPECT_EQ(Boxes("4294967296"), "4294967296 | 0");
    EXPECT_EQ(Boxes("4294967301"), "4294967301 | 5");
    EXPECT_EQ(Boxes("18446744073709551615"), "18446744073709551615 | 0");
    EXPECT_EQ(Boxes("sizeof(int)"), "sizeof(int) | 0");
    EXPECT_EQ(Boxes(""), " | 0");
}

TEST(FinderWindowNotation, TheCopiedDeclaration) {
    EXPECT_EQ(EDeclarationHeader() + EConstantLine("WM_CREATE", "1"), u8".版本 2\r\n\r\n.常量 WM_CREATE, \"1\"");
}
