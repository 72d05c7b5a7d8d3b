// The file the headers' structure layouts are kept in: written and read back,
// malformed lines refused with their number, and the committed extract's figures
// for structures whose layout is known from the Windows SDK.
#include <gtest/gtest.h>

#include <numeric>

#include "tools/header_layouts.h"

namespace tools {
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

#if defined(QALOMIR_HEADER_LAYOUTS)

// The committed extract, against figures the SDK's documentation and the metadata give.
class LayoutExtract : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        extract_ = new HeaderLayouts;
        read_ = ReadHeaderLayouts(QALOMIR_HEADER_LAYOUTS, *extract_, &error_);
    }
    static void TearDownTestSuite() { delete extract_; }
    void SetUp() override {
        ASSERT_TRUE(read_) << error_;
        i686_ = FindTarget(*extract_, "i686");
        x64_ = FindTarget(*extract_, "x86_64");
        ASSERT_NE(i686_, nullptr);
        ASSERT_NE(x64_, nullptr);
    }

    // "SIZE/ALIGN" of a record, "-" when there is none.
    static std::string Layout(const LayoutTarget* t, const std::string& name) {
        const LayoutRecord* r = FindLayout(*t, name);
        return r ? std::to_string(r->size) + "/" + std::to_string(r->align) : "-";
    }
    // "OFFSET+SIZE" of each field, with its name.
    static std::vector<std::string> Fields(const LayoutTarget* t, const std::string& name) {
        std::vector<std::string> out;
        if (const LayoutRecord* r = FindLayout(*t, name))
            for (const LayoutField& f : r->fields) out.push_back(f.name + "@" + std::to_string(f.offset) + "+" + std::to_string(f.size));
        return out;
    }

    static HeaderLayouts* extract_;
    static bool read_;
    static std::string error_;
    const LayoutTarget* i686_ = nullptr;
    const LayoutTarget* x64_ = nullptr;
};
HeaderLayouts* LayoutExtract::extract_ = nullptr;
bool LayoutExtract::read_ = false;
std::string LayoutExtract::error_;

using Strings = std::vector<std::string>;

TEST_F(LayoutExtract, EveryHeaderOfBothTargetsWasLaidOutWithTheSdkTimeT) {
    EXPECT_EQ(extract_->source, "mingw-w64");
    EXPECT_EQ(extract_->defines, Strings{"__MINGW_USE_VC2005_COMPAT=1"});
    EXPECT_EQ(i686_->target, "i686-w64-mingw32");
    EXPECT_EQ(x64_->target, "x86_64-w64-mingw32");
    for (const LayoutTarget* t : {i686_, x64_}) {
        EXPECT_GT(t->units, 1400u) << t->arch;
        EXPECT_LT(t->failed.size(), t->units / 4) << t->arch;
        EXPECT_GT(t->records.size(), 10000u) << t->arch;
        EXPECT_TRUE(std::is_sorted(t->records.begin(), t->records.end(),
                                   [](const LayoutRecord& a, const LayoutRecord& b) { return a.name < b.name; }));
    }
}

TEST_F(LayoutExtract, SmallStructuresAreTheSameOnBothTargets) {
    for (const LayoutTarget* t : {i686_, x64_}) {
        EXPECT_EQ(Layout(t, "RECT"), "16/4") << t->arch;
        EXPECT_EQ(Fields(t, "RECT"), (Strings{"left@0+4", "top@4+4", "right@8+4", "bottom@12+4"})) << t->arch;
        EXPECT_EQ(FindLayout(*t, "RECT")->tag, "tagRECT");
        EXPECT_EQ(FindLayout(*t, "RECT")->header, "windef.h");
        EXPECT_EQ(Layout(t, "POINT"), "8/4") << t->arch;
        EXPECT_EQ(Fields(t, "POINT"), (Strings{"x@0+4", "y@4+4"})) << t->arch;
        EXPECT_EQ(FindLayout(*t, "POINT")->tag, "tagPOINT");
    }
}

// Its members add up to 318; the structure is padded to its 4-byte alignment.
TEST_F(LayoutExtract, Win32FindDataAIsPaddedToItsAlignment) {
    for (const LayoutTarget* t : {i686_, x64_}) {
        const LayoutRecord* r = FindLayout(*t, "WIN32_FIND_DATAA");
        ASSERT_NE(r, nullptr) << t->arch;
        EXPECT_EQ(Layout(t, "WIN32_FIND_DATAA"), "320/4") << t->arch;
        const std::uint64_t members =
            std::accumulate(r->fields.begin(), r->fields.end(), std::uint64_t(0), [](std::uint64_t s, const LayoutField& f) { return s + f.size; });
        EXPECT_EQ(members, 318u);
        EXPECT_EQ(Fields(t, "WIN32_FIND_DATAA").back(), "cAlternateFileName@304+14");
    }
}

// As the DLL writes it: with mingw-w64's 32-bit time_t it would be 640 bytes.
TEST_F(LayoutExtract, IpAdapterInfoHasTheSdks64BitTimeT) {
    EXPECT_EQ(Layout(i686_, "IP_ADAPTER_INFO"), "648/8");
    EXPECT_EQ(Fields(i686_, "IP_ADAPTER_INFO").back(), "LeaseExpires@640+8");
    EXPECT_EQ(Layout(x64_, "IP_ADAPTER_INFO"), "704/8");
    EXPECT_EQ(Fields(x64_, "IP_ADAPTER_INFO").back(), "LeaseExpires@696+8");
}

TEST_F(LayoutExtract, InputHasItsUnionAsARecordOfItsOwn) {
    EXPECT_EQ(Layout(i686_, "INPUT"), "28/4");
    EXPECT_EQ(Fields(i686_, "INPUT"), (Strings{"type@0+4", "Anonymous@4+24"}));
    EXPECT_EQ(Layout(x64_, "INPUT"), "40/8");
    EXPECT_EQ(Fields(x64_, "INPUT"), (Strings{"type@0+4", "Anonymous@8+32"}));
    EXPECT_EQ(FindLayout(*i686_, "INPUT")->fields[1].type, "_Anonymous_e__Union");
    EXPECT_EQ(Layout(i686_, "INPUT._Anonymous_e__Union"), "24/4");
    EXPECT_EQ(Fields(i686_, "INPUT._Anonymous_e__Union"), (Strings{"mi@0+24", "ki@0+16", "hi@0+8"}));
    EXPECT_EQ(Fields(x64_, "INPUT._Anonymous_e__Union"), (Strings{"mi@0+32", "ki@0+24", "hi@0+8"}));
    EXPECT_TRUE(FindLayout(*x64_, "INPUT._Anonymous_e__Union")->isUnion);
}

// The metadata's names for members without a name and types without a tag.
TEST_F(LayoutExtract, NestedRecordsAreNamedAsTheMetadataNamesThem) {
    EXPECT_EQ(Fields(i686_, "OVERLAPPED"), (Strings{"Internal@0+4", "InternalHigh@4+4", "Anonymous@8+8", "hEvent@16+4"}));
    EXPECT_EQ(Fields(i686_, "OVERLAPPED._Anonymous_e__Union"), (Strings{"Anonymous@0+8", "Pointer@0+4"}));
    EXPECT_EQ(Fields(i686_, "OVERLAPPED._Anonymous_e__Union._Anonymous_e__Struct"), (Strings{"Offset@0+4", "OffsetHigh@4+4"}));
    // Several anonymous members are numbered; structures and unions count together.
    EXPECT_EQ(FindLayout(*i686_, "DEVMODEA")->fields[6].name, "Anonymous1");
    EXPECT_EQ(Layout(i686_, "DEVMODEA._Anonymous1_e__Union._Anonymous2_e__Struct"), "16/4");
    EXPECT_EQ(Layout(i686_, "DEVMODEA._Anonymous2_e__Union"), "4/4");
    // A named member of a type without a tag.
    EXPECT_EQ(Fields(i686_, "LARGE_INTEGER"), (Strings{"Anonymous@0+8", "u@0+8", "QuadPart@0+8"}));
    EXPECT_EQ(FindLayout(*i686_, "LARGE_INTEGER")->fields[1].type, "_u_e__Struct");
    EXPECT_EQ(Layout(i686_, "LARGE_INTEGER._u_e__Struct"), "8/4");
    EXPECT_EQ(Layout(x64_, "PROPVARIANT._Anonymous_e__Union._Anonymous_e__Struct._Anonymous_e__Union"), "16/8");
}

TEST_F(LayoutExtract, OpenFileNameWAndShellExecuteInfoW) {
    // commdlg.h and shellapi.h pack to 1 byte on i686 only (pshpack1.h where _WIN64 is not defined).
    EXPECT_EQ(Layout(i686_, "OPENFILENAMEW"), "88/1");  // 76, OPENFILENAME_SIZE_VERSION_400W, without the last three
    EXPECT_EQ(Fields(i686_, "OPENFILENAMEW").back(), "FlagsEx@84+4");
    EXPECT_EQ(Layout(x64_, "OPENFILENAMEW"), "152/8");
    EXPECT_EQ(FindLayout(*i686_, "OPENFILENAMEW")->tag, "tagOFNW");
    EXPECT_EQ(Fields(x64_, "OPENFILENAMEW").back(), "FlagsEx@148+4");
    EXPECT_EQ(Layout(i686_, "SHELLEXECUTEINFOW"), "60/1");
    EXPECT_EQ(Layout(x64_, "SHELLEXECUTEINFOW"), "112/8");
    EXPECT_EQ(Fields(x64_, "SHELLEXECUTEINFOW").back(), "hProcess@104+8");
}

// Structures declared after #include <pshpack1.h>: no padding, alignment 1.
TEST_F(LayoutExtract, PackedStructuresHaveNoPadding) {
    for (const LayoutTarget* t : {i686_, x64_}) {
        EXPECT_EQ(Layout(t, "WAVEFORMATEX"), "18/1") << t->arch;  // naturally aligned it would be 20/4
        EXPECT_EQ(Fields(t, "WAVEFORMATEX").back(), "cbSize@16+2") << t->arch;
    }
    EXPECT_EQ(Layout(i686_, "DWM_BLURBEHIND"), "16/1");
    EXPECT_EQ(Layout(x64_, "DWM_BLURBEHIND"), "20/1");  // naturally aligned it would be 24/8
    EXPECT_EQ(Fields(x64_, "DWM_BLURBEHIND"), (Strings{"dwFlags@0+4", "fEnable@4+4", "hRgnBlur@8+8", "fTransitionOnMaximized@16+4"}));
}

#endif

}  // namespace
}  // namespace tools
