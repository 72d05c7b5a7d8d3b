// The metadata extract read, its values written as headers write them, and merged
// into header rows by the builder's rules.
#include <gtest/gtest.h>

#include "tools/sdk_merge.h"
#include "tools/value_text.h"

namespace constdb {
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

Constant HeaderRow(const std::string& name, const std::string& text, std::int64_t value, IntType type = IntType::Int()) {
    return {name, text, "h.h", IntValue::Of(static_cast<std::uint64_t>(value), type), false};
}

struct Merged {
    std::vector<Constant> rows;
    MergeReport report;
    std::string Rows() const {
        std::string s;
        for (const Constant& c : rows) s += c.name + "=" + c.valueText + "@" + c.file + " ";
        return s;
    }
};

Merged Merge(std::vector<Constant> header, const std::string& sdkText) {
    Merged m;
    m.rows = MergeSdkConstants(std::move(header), Parse(sdkText), m.report);
    return m;
}

TEST(SdkMerge, MetadataOnlyNamesTakeTheirSortedPlaceAndNameTheirNamespace) {
    Merged m = Merge({HeaderRow("A", "1", 1), HeaderRow("C", "0x3", 3)}, "@Windows.Win32.Graphics.Dwm\nB\tu32\t2\nD\ti32\t-4\n");
    EXPECT_EQ(m.Rows(), "A=1@h.h B=2@Windows.Win32.Graphics.Dwm C=0x3@h.h D=-4@Windows.Win32.Graphics.Dwm ");
    EXPECT_EQ(m.report.headerNames, 2u);
    EXPECT_EQ(m.report.sdkNames, 2u);
    EXPECT_EQ(m.report.sdkOnlyNames, 2u);
    EXPECT_EQ(m.report.sdkOnlyRows, 2u);
    EXPECT_EQ(m.report.differing, 0u);
    EXPECT_TRUE(m.report.differences.empty());
}

TEST(SdkMerge, AgreeingValuesAddNothingWhateverTheirSignedness) {
    Merged m = Merge({HeaderRow("E", "0x80004005", 0x80004005, IntType::Int()), HeaderRow("M", "4294967295", 0xFFFFFFFF, IntType::UInt())},
                     "@N\nM\ti32\t-1\nE\ti32\t-2147467259\tHRESULT\n");
    EXPECT_EQ(m.Rows(), "E=0x80004005@h.h M=4294967295@h.h ");
    EXPECT_EQ(m.report.differing, 0u);
}

TEST(SdkMerge, ADifferingValueFollowsTheHeadersRowsAndIsListed) {
    Merged m = Merge({HeaderRow("V", "11", 11), HeaderRow("V", "0xC", 12), HeaderRow("W", "1", 1)},
                     "@Windows.Win32.System.Diagnostics.Debug\nV\tu32\t13\nV\tu32\t12\nW\tu32\t1\n");
    EXPECT_EQ(m.Rows(), "V=11@h.h V=0xC@h.h V=13@Windows.Win32.System.Diagnostics.Debug W=1@h.h ");
    EXPECT_EQ(m.report.differing, 2u);
    EXPECT_EQ(m.report.differingRows, 1u);
    ASSERT_EQ(m.report.differences.size(), 2u);
    EXPECT_EQ(m.report.differences[0], "V\t11\t13\tWindows.Win32.System.Diagnostics.Debug\th.h");
    EXPECT_EQ(m.report.differences[1], "V\t11\t12\tWindows.Win32.System.Diagnostics.Debug\th.h\t(a later header row agrees)");
}

TEST(SdkMerge, UnicodeNamesResolveToTheAnsiValue) {
    const std::string sdk = "@Windows.Win32.UI.Controls\nLVM_INSERTITEMA\tu32\t4103\nLVM_INSERTITEMW\tu32\t4173\nLVM_INSERTITEM\tu32\t4173\n"
                            "ONLY_SDKA\tu32\t1\nONLY_SDKW\tu32\t2\nONLY_SDK\tu32\t2\n";
    Merged m = Merge({HeaderRow("LVM_INSERTITEM", "0x1007", 0x1007)}, sdk);
    EXPECT_EQ(m.Rows(),
              "LVM_INSERTITEM=0x1007@h.h LVM_INSERTITEMA=4103@Windows.Win32.UI.Controls LVM_INSERTITEMW=4173@Windows.Win32.UI.Controls "
              "ONLY_SDK=1@Windows.Win32.UI.Controls ONLY_SDKA=1@Windows.Win32.UI.Controls ONLY_SDKW=2@Windows.Win32.UI.Controls ");
    EXPECT_EQ(m.report.awResolved, 2u);
    EXPECT_EQ(m.report.differing, 0u);
}

TEST(SdkMerge, OnlyATrueUnicodeTripleIsResolved) {
    // NAME equal to NAMEA already, or no NAMEW: NAME keeps its own value.
    Merged m = Merge({}, "@N\nP\tu32\t1\nPA\tu32\t1\nPW\tu32\t2\nQ\tu32\t5\nQA\tu32\t4\n");
    EXPECT_EQ(m.Rows(), "P=1@N PA=1@N PW=2@N Q=5@N QA=4@N ");
    EXPECT_EQ(m.report.awResolved, 0u);
}

TEST(SdkMerge, ANameInSeveralNamespacesGetsOneRowPerValueFirstNamespaceFirst) {
    Merged m = Merge({}, "@First\nNone\ti32\t0\n@Second\nNone\ti32\t0\n@Third\nNone\ti32\t3\n");
    EXPECT_EQ(m.Rows(), "None=0@First None=3@Third ");
    EXPECT_EQ(m.report.sdkOnlyNames, 1u);
    EXPECT_EQ(m.report.sdkOnlyRows, 2u);
}

TEST(SdkMerge, NamesLongerThanTheColumnAreLeftOutAndCounted) {
    Merged m = Merge({}, "@N\n" + std::string(256, 'L') + "\tu32\t1\n" + std::string(255, 'K') + "\tu32\t1\n");
    ASSERT_EQ(m.rows.size(), 1u);
    EXPECT_EQ(m.rows[0].name.size(), 255u);
    EXPECT_EQ(m.report.tooLong, 1u);
}

}  // namespace
}  // namespace constdb
