// The file the headers' evaluated constants are kept in: written, read back, and
// malformed lines refused with their number.
#include <gtest/gtest.h>

#include "tools/header_constants.h"

namespace tools {
namespace {

HeaderConstants Sample() {
    HeaderConstants h;
    HeaderSource s;
    s.name = "mingw-w64";
    s.package = "mingw-w64-common 10.0.0-3";
    s.compiler = "clang";
    s.units = {{"windows.h", ""}, {"sys/stat.h", ""}, {"broken.h", "broken.h:3: unknown type name 'X'"}};
    s.files = {"winuser.h", "sys/stat.h", "broken.h"};
    s.constants = {{"WM_CREATE", IntValue::FromInt(1), "0x0001", 0, 0},
                   {"BIG", IntValue::Of(~0ull, IntType::ULongLong()), "0xFFFFFFFFFFFFFFFF", 0, 0},
                   {"S_IFMT", IntValue::Of(0xF000, IntType::UInt()), "0xF000", 1, 1},
                   {"FROM_WINUSER", IntValue::FromInt(-5), "-5", 0, 1},
                   {"ONLY_BROKEN", IntValue::FromInt(2), "2", 2, 2}};
    h.sources.push_back(s);
    HeaderSource w;
    w.name = "Wine";
    w.package = "libwine-dev 8.0";
    w.compiler = "clang";
    w.defines = {"_WIN32_WINNT=0xA00"};
    w.units = {{"windows.h", ""}};
    w.files = {"winuser.rh"};
    w.constants = {{"WM_CREATE", IntValue::FromInt(1), "0x0001", 0, 0}};
    h.sources.push_back(w);
    return h;
}

std::string Lines(const HeaderConstants& h) {
    std::string s;
    for (const HeaderSource& src : h.sources) {
        s += "[" + src.name + "|" + src.package + "|" + src.compiler + "]";
        for (const std::string& d : src.defines) s += " -D" + d;
        for (const HeaderConstant& c : src.constants)
            s += " " + src.units[c.unit].header + ":" + c.name + "=" + c.text + "@" + src.files[c.file] +
                 (c.value.IsUnsigned() ? "u" : "") + std::to_string(c.value.Type().bits);
        for (const HeaderUnit& u : src.units)
            if (!u.error.empty()) s += " !" + u.header + "{" + u.error + "}";
    }
    return s;
}

TEST(HeaderConstants, WhatIsWrittenIsReadBack) {
    const std::string text = FormatHeaderConstants(Sample(), "two lines\nof comment");
    EXPECT_EQ(text.substr(0, 28), "# two lines\n# of comment\n!so");
    // A constant of the unit's own header leaves the file column empty.
    EXPECT_NE(text.find("@sys/stat.h\nS_IFMT\tu32\t61440\t0xF000\t\nFROM_WINUSER\ti32\t-5\t-5\twinuser.h\n"), std::string::npos) << text;
    EXPECT_NE(text.find("@broken.h\tbroken.h:3: unknown type name 'X'\n"), std::string::npos);
    HeaderConstants back;
    std::string error;
    ASSERT_TRUE(ParseHeaderConstants(text, back, &error)) << error;
    EXPECT_EQ(Lines(back), Lines(Sample()));
    EXPECT_EQ(back.sources[0].constants[1].value, IntValue::Of(~0ull, IntType::ULongLong()));
}

std::string ParseError(const std::string& text) {
    HeaderConstants out;
    std::string error;
    EXPECT_FALSE(ParseHeaderConstants(text, out, &error)) << text;
    return error;
}

TEST(HeaderConstants, MalformedLinesNameTheLineAndTheFault) {
    const std::string head = "!source\tm\tp\tc\n@windows.h\n";
    EXPECT_EQ(ParseError("@windows.h\n"), "line 1: a record before the first !source");
    EXPECT_EQ(ParseError("!source\tm\tp\n"), "line 1: expected !source, NAME, PACKAGE and COMPILER");
    EXPECT_EQ(ParseError("!source\tm\tp\tc\nA\ti32\t1\t1\t\n"), "line 2: a constant before the first @unit");
    EXPECT_EQ(ParseError("!source\tm\tp\tc\n!define\n"), "line 2: expected !define and NAME=VALUE");
    EXPECT_EQ(ParseError("!source\tm\tp\tc\n@\n"), "line 2: expected @HEADER and an optional error");
    EXPECT_EQ(ParseError(head + "A\ti32\t1\t1\n"), "line 3: expected NAME, TYPE, VALUE, TEXT and FILE");
    EXPECT_EQ(ParseError(head + "A\ti32\t1\t\tf.h\n"), "line 3: expected NAME, TYPE, VALUE, TEXT and FILE");
    EXPECT_EQ(ParseError(head + "A\tptr\t1\t1\tf.h\n"), "line 3: unknown type 'ptr'");
    EXPECT_EQ(ParseError(head + "A\tu32\t-1\t1\tf.h\n"), "line 3: value '-1' is not a u32");
    EXPECT_EQ(ParseError(head + "A\ti32\t2147483648\t1\tf.h\n"), "line 3: value '2147483648' is not a i32");
}

TEST(HeaderConstants, AMissingFileNamesItself) {
    HeaderConstants h;
    std::string error;
    EXPECT_FALSE(ReadHeaderConstants("/no/such/constants.tsv.gz", h, &error));
    EXPECT_EQ(error, "cannot open /no/such/constants.tsv.gz");
}

TEST(HeaderConstants, UnitsRankWindowsHThenTheOwnHeaderThenOthersThenFailures) {
    const HeaderUnit base{"windows.h", ""}, own{"a.h", ""}, failed{"a.h", "a.h:1: error"};
    EXPECT_EQ(UnitRank(base, 0, "winuser.h"), 0);
    EXPECT_EQ(UnitRank(own, 1, "a.h"), 1);
    EXPECT_EQ(UnitRank(own, 1, "b.h"), 2);
    EXPECT_EQ(UnitRank(failed, 1, "a.h"), 3);
}

}  // namespace
}  // namespace tools
