// The file the headers' structure layouts are kept in: written and read back,
// and malformed lines refused with their number.
#include <gtest/gtest.h>

#include "tools/header_layouts.h"

namespace constdb {
namespace {

HeaderLayouts Sample() {
    HeaderLayouts h;
    h.source = "mingw-w64";
    h.package = "mingw-w64-common 10.0.0-3";
    h.compiler = "clang";
    h.defines = {"__MINGW_USE_VC2005_COMPAT=1"};
    LayoutTarget t{"i686", "i686-w64-mingw32", 3, {{"broken.h", "broken.h:2: unknown type name 'X'"}}, {}};
    LayoutRecord input{"INPUT", false, 28, 4, "winuser.h", "tagINPUT", {}, {}};
    input.fields = {{"type", 0, 4, "DWORD", false, 0, 0}, {"Anonymous", 4, 24, "_Anonymous_e__Union", false, 0, 0}};
    LayoutRecord u{"INPUT._Anonymous_e__Union", true, 24, 4, "winuser.h", "", {}, {}};
    u.fields = {{"mi", 0, 24, "MOUSEINPUT", false, 0, 0}};
    LayoutRecord bits{"BITS", false, 8, 4, "b.h", "", {"BITS2", "ALSO"}, {}};
    bits.fields = {{"low", 0, 4, "DWORD", true, 0, 3}, {"high", 0, 4, "DWORD", true, 3, 29}, {"tail", 4, 0, "BYTE[]", false, 0, 0}};
    t.records = {bits, input, u};
    h.targets.push_back(t);
    h.targets.push_back({"x86_64", "x86_64-w64-mingw32", 3, {}, {}});
    return h;
}

std::string Format(const HeaderLayouts& h) { return FormatHeaderLayouts(h, "made up\nfor the test"); }

TEST(HeaderLayouts, WhatIsWrittenIsReadBack) {
    const HeaderLayouts h = Sample();
    const std::string text = Format(h);
    HeaderLayouts back;
    std::string error;
    ASSERT_TRUE(ParseHeaderLayouts(text, back, &error)) << error;
    EXPECT_EQ(Format(back), text);
    ASSERT_EQ(back.targets.size(), 2u);
    const LayoutTarget* i686 = FindTarget(back, "i686");
    ASSERT_NE(i686, nullptr);
    EXPECT_EQ(FindTarget(back, "arm64"), nullptr);
    EXPECT_EQ(i686->units, 3u);
    ASSERT_EQ(i686->failed.size(), 1u);
    EXPECT_EQ(i686->failed[0].error, "broken.h:2: unknown type name 'X'");
    const LayoutRecord* bits = FindLayout(*i686, "BITS");
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits->aliases, (std::vector<std::string>{"BITS2", "ALSO"}));
    EXPECT_EQ(bits->tag, "");
    ASSERT_EQ(bits->fields.size(), 3u);
    EXPECT_TRUE(bits->fields[1].bitField);
    EXPECT_EQ(bits->fields[1].bit, 3u);
    EXPECT_EQ(bits->fields[1].width, 29u);
    EXPECT_FALSE(bits->fields[2].bitField);
    EXPECT_EQ(bits->fields[2].size, 0u);  // a flexible array member
    const LayoutRecord* nested = FindLayout(*i686, "INPUT._Anonymous_e__Union");
    ASSERT_NE(nested, nullptr);
    EXPECT_TRUE(nested->isUnion);
    EXPECT_EQ(FindLayout(*i686, "INPUT")->tag, "tagINPUT");
    EXPECT_EQ(FindLayout(*i686, "INPU"), nullptr);
    EXPECT_TRUE(FindTarget(back, "x86_64")->records.empty());
}

TEST(HeaderLayouts, MalformedLinesNameTheLineAndTheFault) {
    const std::string head = "# c\n!source\tmingw-w64\tpkg\tclang\n!arch\ti686\ti686-w64-mingw32\n";
    const std::string record = "R\tR\tstruct\t8\t4\ta.h\t\t\n";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"R\tX\tstruct\t4\t4\ta.h\t\t\n", "line 1: a record before !source"},
        {"!source\tm\tp\n", "line 1: expected !source, NAME, PACKAGE and COMPILER"},
        {"!source\tm\tp\tc\n!source\tm\tp\tc\n", "line 2: a second !source"},
        {"!source\tm\tp\tc\nR\tX\tstruct\t4\t4\ta.h\t\t\n", "line 2: a record before the first !arch"},
        {"!source\tm\tp\tc\n!define\tNOVALUE\n", "line 2: expected !define and NAME=VALUE"},
        {head + "!define\tA=1\n", "line 4: !define after the first !arch"},
        {head + "!arch\ti686\tx\n", "line 4: a second !arch i686"},
        {head + "!units\t-1\n", "line 4: expected !units and a count"},
        {head + "!failed\t\terror\n", "line 4: expected !failed, HEADER and ERROR"},
        {head + "Q\tx\n", "line 4: unknown record 'Q'"},
        {head + "R\tX\tstruct\t4\t4\ta.h\t\n", "line 4: expected R, NAME, KIND, SIZE, ALIGN, HEADER, TAG and ALIASES"},
        {head + "R\tX\tenum\t4\t4\ta.h\t\t\n", "line 4: kind 'enum' is not struct or union"},
        {head + "R\tX\tstruct\t+4\t4\ta.h\t\t\n", "line 4: size '+4' is not a number"},
        {head + "R\tX\tstruct\t04\t4\ta.h\t\t\n", "line 4: size '04' is not a number"},
        {head + "R\tX\tstruct\t99999999999999999999\t4\ta.h\t\t\n", "line 4: size '99999999999999999999' is not a number"},
        {head + "R\tX\tstruct\t12\t3\ta.h\t\t\n", "line 4: alignment '3' is not a power of two"},
        {head + "R\tX\tstruct\t12\t0\ta.h\t\t\n", "line 4: alignment '0' is not a power of two"},
        {head + "R\tX\tstruct\t6\t4\ta.h\t\t\n", "line 4: size 6 is not a multiple of the alignment"},
        {head + "f\tx\t0\t4\tint\t\n", "line 4: a field before the first record"},
        {head + record + "f\tx\t0\t4\tint\n", "line 5: expected f, NAME, OFFSET, SIZE, TYPE and BITS"},
        {head + record + "f\tx\t0\t4\t\t\n", "line 5: expected f, NAME, OFFSET, SIZE, TYPE and BITS"},
        {head + record + "f\tx\t0x0\t4\tint\t\n", "line 5: offset '0x0' is not a number"},
        {head + record + "f\tx\t0\t\tint\t\n", "line 5: size '' is not a number"},
        {head + record + "f\tx\t6\t4\tint\t\n", "line 5: field x ends after its record"},
        {head + record + "f\tx\t9\t0\tBYTE[]\t\n", "line 5: field x ends after its record"},
        {head + record + "f\tx\t0\t4\tint\t3\n", "line 5: bits '3' are not BIT:WIDTH"},
        {head + record + "f\tx\t0\t4\tint\t8:1\n", "line 5: bits '8:1' are not BIT:WIDTH"},
        {head + record + "f\tx\t0\t4\tint\t0:0\n", "line 5: bits '0:0' are not BIT:WIDTH"},
        {head + record + "f\tx\t0\t4\tint\t0:33\n", "line 5: bits '0:33' are not BIT:WIDTH"},
        {head + record + "f\tx\t7\t4\tint\t7:2\n", "line 5: field x ends after its record"},
    };
    for (const auto& c : cases) {
        HeaderLayouts out;
        std::string error;
        EXPECT_FALSE(ParseHeaderLayouts(c.text, out, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    // At the edges, and accepted: a field that ends where its record does, the last
    // bit of the last byte, a record of size 0 (an empty GNU C structure), no lines.
    HeaderLayouts out;
    std::string error;
    EXPECT_TRUE(ParseHeaderLayouts(head + record + "f\tx\t4\t4\tint\t\nf\ty\t7\t1\tBYTE\t7:1\nf\tz\t8\t0\tBYTE[]\t\n", out, &error)) << error;
    EXPECT_TRUE(ParseHeaderLayouts(head + "R\tE\tstruct\t0\t1\ta.h\tE\t\n", out, &error)) << error;
    EXPECT_TRUE(ParseHeaderLayouts("", out, &error)) << error;
    EXPECT_TRUE(out.targets.empty());
}

TEST(HeaderLayouts, AMissingFileNamesItself) {
    HeaderLayouts out;
    std::string error;
    EXPECT_FALSE(ReadHeaderLayouts("/no/such/layouts.tsv.gz", out, &error));
    EXPECT_NE(error.find("/no/such/layouts.tsv.gz"), std::string::npos) << error;
}

}  // namespace
}  // namespace constdb
