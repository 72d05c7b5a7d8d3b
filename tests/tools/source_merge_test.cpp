// The metadata extract read, its values written as headers write them, and the
// three sources merged by the builder's rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "tools/source_merge.h"
#include "tools/value_text.h"

namespace tools {
namespace {

SdkConstants Parse(const std::string& text) {
    SdkConstants out;
    std::string error;
    EXPECT_TRUE(ParseSdkConstants(text, out, &error)) << error;
    return out;
}

std::string ParseError(const std::string& text) {
    SdkConstants out;
    std::string error;
    EXPECT_FALSE(ParseSdkConstants(text, out, &error)) << text;
    return error;
}

TEST(SdkConstants, RecordsTakeTheirNamespaceTypeAndKind) {
    SdkConstants s = Parse("# comment\n@Windows.Win32.Foundation\nE_FAIL\ti32\t-2147467259\tHRESULT\n"
                           "HWND_TOP\tptr\t0\tHWND\n\n@Windows.Win32.UI.WindowsAndMessaging\nWM_CREATE\tu32\t1\n"
                           "BIG\tu64\t18446744073709551615\nTINY\ti8\t-128");
    ASSERT_EQ(s.namespaces.size(), 2u);
    ASSERT_EQ(s.constants.size(), 5u);
    EXPECT_EQ(s.constants[0].name, "E_FAIL");
    EXPECT_EQ(s.constants[0].kind, SdkKind::Status);
    EXPECT_EQ(s.constants[0].value, IntValue::FromInt(-2147467259));
    EXPECT_EQ(s.constants[1].kind, SdkKind::Pointer);
    EXPECT_EQ(s.namespaces[s.constants[2].space], "Windows.Win32.UI.WindowsAndMessaging");
    EXPECT_EQ(s.constants[2].value, IntValue::Of(1, IntType::UInt()));
    EXPECT_EQ(s.constants[3].value, IntValue::Of(~0ull, IntType::ULongLong()));
    EXPECT_EQ(s.constants[4].value, IntValue::FromInt(-128));  // promoted to int
}

TEST(SdkConstants, MalformedLinesNameTheLineAndTheFault) {
    EXPECT_EQ(ParseError("A\tu32\t1\n"), "line 1: a constant before the first namespace");
    EXPECT_EQ(ParseError("@N\nA\tu33\t1\n"), "line 2: unknown type 'u33'");
    EXPECT_EQ(ParseError("@N\nA\tu8\t256\n"), "line 2: value '256' is not a u8");
    EXPECT_EQ(ParseError("@N\nA\ti8\t-129\n"), "line 2: value '-129' is not a i8");
    EXPECT_EQ(ParseError("@N\nA\tu32\t-1\n"), "line 2: value '-1' is not a u32");
    EXPECT_EQ(ParseError("@N\nA\ti64\t9223372036854775808\n"), "line 2: value '9223372036854775808' is not a i64");
    EXPECT_EQ(ParseError("@N\nA\ti32\t0x10\n"), "line 2: value '0x10' is not a i32");
    EXPECT_EQ(ParseError("@N\nA\ti32\t\n"), "line 2: value '' is not a i32");
    EXPECT_EQ(ParseError("@N\nA\ti32\n"), "line 2: expected NAME, TYPE, VALUE and an optional TYPEDEF");
    EXPECT_EQ(ParseError("@N\n\tu32\t1\n"), "line 2: expected NAME, TYPE, VALUE and an optional TYPEDEF");
}

TEST(SdkConstants, AMissingFileNamesItself) {
    SdkConstants s;
    std::string error;
    EXPECT_FALSE(ReadSdkConstants("/no/such/extract.tsv.gz", s, &error));
    EXPECT_EQ(error, "cannot open /no/such/extract.tsv.gz");
}

std::string Text(const std::string& record) {
    SdkConstants s = Parse("@N\nX\t" + record + "\n");
    return s.constants.empty() ? "(none)" : SdkValueText(s.constants[0].value, s.constants[0].kind);
}

// The forms the names both sources define show: headers write HRESULTs, NTSTATUS
// codes and values with the top bit set in hexadecimal, small negative numbers
// with their sign, and casts of them to handles as unsigned decimals.
TEST(SdkValueText, EachTypeIsWrittenAsHeadersWriteIt) {
    EXPECT_EQ(Text("i32\t1"), "1");
    EXPECT_EQ(Text("i32\t-1"), "-1");
    EXPECT_EQ(Text("i32\t-256"), "-256");
    EXPECT_EQ(Text("i32\t-257"), "0xFFFFFEFF");
    EXPECT_EQ(Text("i32\t-2147483648"), "0x80000000");
    EXPECT_EQ(Text("i32\t-2147467259\tHRESULT"), "0x80004005");
    EXPECT_EQ(Text("i32\t1\tHRESULT"), "0x1");
    EXPECT_EQ(Text("i32\t-1073741823\tNTSTATUS"), "0xC0000001");
    EXPECT_EQ(Text("u32\t2147483647"), "2147483647");
    EXPECT_EQ(Text("u32\t2147483648"), "0x80000000");
    EXPECT_EQ(Text("u32\t4294967295"), "0xFFFFFFFF");
    EXPECT_EQ(Text("ptr\t-1\tHWND"), "4294967295");
    EXPECT_EQ(Text("ptr\t-256\tHWND"), "4294967040");
    EXPECT_EQ(Text("ptr\t-2147483648\tHKEY"), "0x80000000");
    EXPECT_EQ(Text("ptr\t32512\tPWSTR"), "32512");
    EXPECT_EQ(Text("u16\t65535"), "65535");
    EXPECT_EQ(Text("i16\t-1"), "-1");
    EXPECT_EQ(Text("u8\t255"), "255");
    EXPECT_EQ(Text("i8\t-128"), "-128");
    EXPECT_EQ(Text("u64\t4294967296"), "4294967296");
    EXPECT_EQ(Text("u64\t9223372036854775808"), "0x8000000000000000");
    EXPECT_EQ(Text("u64\t18446744073709551615"), "0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(Text("i64\t-1"), "-1");
    EXPECT_EQ(Text("i64\t-9223372036854775808"), "0x8000000000000000");
}

// A header source from "unit:NAME=TEXT@file" items; the value is read from TEXT.
HeaderSource Headers(const std::string& name, const std::vector<std::string>& units, const std::vector<std::string>& items) {
    HeaderSource s;
    s.name = name;
    for (const std::string& u : units) {
        const std::size_t bang = u.find('!');
        s.units.push_back({u.substr(0, bang), bang == std::string::npos ? "" : u.substr(bang + 1)});
    }
    for (const std::string& item : items) {
        const std::size_t colon = item.find(':'), eq = item.find('='), at = item.find('@');
        const std::string unit = item.substr(0, colon), text = item.substr(eq + 1, at - eq - 1), file = item.substr(at + 1);
        std::uint32_t u = 0;
        while (s.units[u].header != unit) ++u;
        auto f = std::find(s.files.begin(), s.files.end(), file);
        if (f == s.files.end()) f = s.files.insert(f, file);
        const bool hex = text.size() > 1 && text[1] == 'x';
        const auto value = hex ? static_cast<std::int64_t>(std::stoull(text.substr(2), nullptr, 16)) : std::stoll(text);
        s.constants.push_back({item.substr(colon + 1, eq - colon - 1), IntValue::FromInt(value), text,
                               static_cast<std::uint32_t>(f - s.files.begin()), u});
    }
    return s;
}

struct Merged {
    std::vector<Constant> rows;
    MergeReport report;
    std::string Rows() const {
        std::string s;
        for (const Constant& c : rows) s += c.name + "=" + c.valueText + "@" + c.file + " ";
        return s;
    }
    std::size_t Decided(Decision d) const { return report.decisions[static_cast<std::size_t>(d)]; }
};

Merged Merge(const std::vector<HeaderSource>& sources, const std::string& sdkText = "") {
    Merged m;
    HeaderConstants h;
    h.sources = sources;
    SdkConstants sdk = Parse(sdkText);
    m.rows = MergeSources(h, sdkText.empty() ? nullptr : &sdk, m.report);
    return m;
}

const std::vector<std::string> kUnits = {"windows.h", "a.h", "b.h"};

TEST(SourceMerge, NamesOfOneSourceTakeTheirSortedPlaceAndSayWhereTheyAreFrom) {
    Merged m = Merge({Headers("mingw-w64", kUnits, {"windows.h:A=1@winuser.h", "a.h:D=0x4@a.h"}),
                      Headers("Wine", kUnits, {"windows.h:C=3@twain.h"})},
                     "@Windows.Win32.Graphics.Dwm\nB\tu32\t2\n");
    EXPECT_EQ(m.Rows(), "A=1@winuser.h B=2@Windows.Win32.Graphics.Dwm C=3@twain.h (Wine) D=0x4@a.h ");
    EXPECT_EQ(m.report.sources, (std::vector<std::string>{"mingw-w64", "Wine", "metadata"}));
    EXPECT_EQ(m.report.sourceNames, (std::vector<std::size_t>{2, 1, 1}));
    EXPECT_EQ(m.report.onlyHere, (std::vector<std::size_t>{2, 1, 1}));
    EXPECT_EQ(m.report.names, 4u);
    EXPECT_EQ(m.report.rows, 4u);
    EXPECT_TRUE(m.report.differences.empty());
}

TEST(SourceMerge, AgreeingSourcesGiveOneRowInTheMingwHeadersWords) {
    Merged m = Merge({Headers("mingw-w64", kUnits, {"windows.h:E=0x80004005@winerror.h", "windows.h:M=4294967295@x.h"}),
                      Headers("Wine", kUnits, {"windows.h:E=0x80004005@winerror.h", "windows.h:W=0x10@w.h"})},
                     "@N\nM\ti32\t-1\nE\ti32\t-2147467259\tHRESULT\nW\tu32\t16\n");
    EXPECT_EQ(m.Rows(), "E=0x80004005@winerror.h M=4294967295@x.h W=0x10@w.h (Wine) ");  // (DWORD)-1 and -1 agree
    EXPECT_EQ(m.Decided(Decision::Agreed), 3u);
    EXPECT_TRUE(m.report.differences.empty());
}

// STATUS_GRAPHICS_DRIVER_MISMATCH: Wine and the metadata agree, mingw-w64 does not.
TEST(SourceMerge, TheMajorityComesFirstEvenOverTheMingwHeader) {
    Merged m = Merge({Headers("mingw-w64", kUnits, {"windows.h:S=0x401E0117@ntstatus.h"}),
                      Headers("Wine", kUnits, {"windows.h:S=0xC01E0009@ntstatus.h"})},
                     "@Windows.Win32.Foundation\nS\ti32\t-1071775735\tNTSTATUS\n");
    EXPECT_EQ(m.Rows(), "S=0xC01E0009@ntstatus.h (Wine) S=0x401E0117@ntstatus.h ");
    EXPECT_EQ(m.Decided(Decision::MajorityOverMingw), 1u);
    ASSERT_EQ(m.report.differences.size(), 1u);
    EXPECT_EQ(m.report.differences[0],
              "S\tmajority over mingw-w64\t0xC01E0009\tmingw-w64: 0x401E0117 (ntstatus.h)\tWine: 0xC01E0009 (ntstatus.h (Wine))"
              "\tmetadata: 0xC01E0009 (Windows.Win32.Foundation)");
}

// CBR_9600: Wine keeps the 16-bit value; mingw-w64 and the metadata agree.
TEST(SourceMerge, AMajorityWithTheMingwHeaderKeepsItFirst) {
    Merged m = Merge({Headers("mingw-w64", kUnits, {"windows.h:CBR_9600=9600@winbase.h"}),
                      Headers("Wine", kUnits, {"windows.h:CBR_9600=0xFF16@winbase.h"})},
                     "@N\nCBR_9600\tu32\t9600\n");
    EXPECT_EQ(m.Rows(), "CBR_9600=9600@winbase.h CBR_9600=0xFF16@winbase.h (Wine) ");
    EXPECT_EQ(m.Decided(Decision::MajorityWithMingw), 1u);
    EXPECT_EQ(m.report.differences.size(), 1u);
}

// Without a majority a compiler's view of a header wins over the metadata: the
// mingw-w64 header's, else Wine's (mshtmdid.h's DISPID_A_WEBKIT_BOXPACK keeps the
// top bit the metadata's 71023 lacks).
TEST(SourceMerge, WithoutAMajorityTheMingwHeaderThenWinesComeFirst) {
    Merged m = Merge({Headers("mingw-w64", kUnits, {"windows.h:THREE=1@m.h", "windows.h:TWO=1@m.h"}),
                      Headers("Wine", kUnits, {"windows.h:THREE=2@w.h", "windows.h:WS=5@w.h"})},
                     "@N\nTHREE\ti32\t3\nTWO\ti32\t2\nWS\ti32\t6\n");
    EXPECT_EQ(m.Rows(), "THREE=1@m.h THREE=2@w.h (Wine) THREE=3@N TWO=1@m.h TWO=2@N WS=5@w.h (Wine) WS=6@N ");
    EXPECT_EQ(m.Decided(Decision::NoMajorityMingw), 2u);
    EXPECT_EQ(m.Decided(Decision::NoMajorityWine), 1u);
    EXPECT_EQ(m.Decided(Decision::NoMajoritySdk), 0u);
    EXPECT_EQ(m.report.differences.size(), 3u);
    EXPECT_EQ(m.report.differences[2], "WS\tno majority, Wine first\t5\tmingw-w64: -\tWine: 5 (w.h (Wine))\tmetadata: 6 (N)");
    // The first row agrees with each source's first value: THREE and TWO with
    // mingw-w64's, WS with Wine's; the metadata's with none.
    EXPECT_EQ(m.report.firstAgrees, (std::vector<std::size_t>{2, 1, 0}));
}

// Within a source: <windows.h>'s unit, then the defining header's own, then others;
// a unit that did not compile counts only for names nothing better gives.
TEST(SourceMerge, ASourcesValuesFollowTheRankOfTheirUnits) {
    Merged m = Merge({Headers("mingw-w64", {"windows.h", "a.h", "b.h!b.h:1: error", "c.h"},
                              {"a.h:X=2@c.h", "c.h:X=3@c.h", "windows.h:X=1@w.h", "a.h:X=2@a.h", "b.h:X=9@b.h",
                               "b.h:ONLY_BROKEN=7@b.h", "c.h:Y=4@b.h", "b.h:Y=5@b.h"})});
    EXPECT_EQ(m.Rows(), "ONLY_BROKEN=7@b.h X=1@w.h X=2@a.h X=3@c.h Y=4@b.h ");
    EXPECT_EQ(m.report.notCompilable, (std::vector<std::vector<std::string>>{{"b.h: b.h:1: error"}}));
}

// The metadata: one row per distinct value, each from its first namespace, and NAME
// with NAMEA's value where it stands for NAMEW.
TEST(SourceMerge, MetadataValuesAndUnicodeNames) {
    const std::string sdk = "@Windows.Win32.UI.Controls\nLVM_INSERTITEMA\tu32\t4103\nLVM_INSERTITEMW\tu32\t4173\nLVM_INSERTITEM\tu32\t4173\n"
                            "@First\nNone\ti32\t0\n@Second\nNone\ti32\t0\n@Third\nNone\ti32\t3\n"
                            "@Q\nP\tu32\t1\nPA\tu32\t1\nPW\tu32\t2\n";
    Merged m = Merge({Headers("mingw-w64", kUnits, {"windows.h:LVM_INSERTITEM=0x1007@commctrl.h"})}, sdk);
    EXPECT_EQ(m.Rows(),
              "LVM_INSERTITEM=0x1007@commctrl.h LVM_INSERTITEMA=4103@Windows.Win32.UI.Controls "
              "LVM_INSERTITEMW=4173@Windows.Win32.UI.Controls None=0@First None=3@Third P=1@Q PA=1@Q PW=2@Q ");
    EXPECT_EQ(m.report.awResolved, 1u);
    EXPECT_EQ(m.Decided(Decision::Agreed), 1u);
}

TEST(SourceMerge, NamesLongerThanTheColumnAreLeftOutAndCounted) {
    Merged m = Merge({Headers("mingw-w64", kUnits, {"windows.h:" + std::string(256, 'H') + "=1@h.h"})},
                     "@N\n" + std::string(256, 'L') + "\tu32\t1\n" + std::string(255, 'K') + "\tu32\t1\n");
    ASSERT_EQ(m.rows.size(), 1u);
    EXPECT_EQ(m.rows[0].name.size(), 255u);
    EXPECT_EQ(m.report.tooLong, 2u);
}

}  // namespace
}  // namespace tools
