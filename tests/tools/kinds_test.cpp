// The constants that are not integers and the error texts: the committed
// extracts read back (the values the issue names, the counts per kind), their
// formats refused where malformed, with the line, and the texts' escapes at
// their edges.
#include <gtest/gtest.h>

#include <map>

#include "tools/error_texts.h"
#include "tools/kind_constants.h"

namespace tools {
namespace {

#if defined(QALOMIR_SDK_KINDS) && defined(QALOMIR_ERROR_TEXTS)
TEST(CommittedKinds, TheIssuesValuesAndTheMetadatasCounts) {
    KindConstants k;
    std::string error;
    ASSERT_TRUE(ReadSdkKinds(QALOMIR_SDK_KINDS, k, &error)) << error;
    EXPECT_NE(k.origin.find("31.0.4-preview"), std::string::npos) << k.origin;
    std::map<std::string, std::size_t> perKind;
    std::map<std::string, const KindConstant*> byName;
    for (const KindConstant& c : k.constants) {
        ++perKind[c.kind];
        byName.emplace(c.name, &c);
    }
    // The metadata's own counts: GUID constants, interfaces with an IID, class
    // ids, strings with a value, PROPERTYKEYs and DEVPROPKEYs.
    EXPECT_EQ(perKind["guid"], 5431u);
    EXPECT_EQ(perKind["iid"], 7514u);
    EXPECT_EQ(perKind["clsid"], 2482u);
    EXPECT_EQ(perKind["string"], 7056u);
    EXPECT_EQ(perKind["propkey"], 2170u);
    EXPECT_EQ(perKind["devpropkey"], 262u);
    const std::pair<const char*, const char*> expected[] = {
        {"IID_IUnknown", "00000000-0000-0000-C000-000000000046"},
        {"IID_IDispatch", "00020400-0000-0000-C000-000000000046"},
        {"CLSID_ShellLink", "00021401-0000-0000-C000-000000000046"},  // the metadata's ShellLink
        {"FOLDERID_Desktop", "B4BFCC3A-DB2C-424C-B029-7FE99A87C641"},
        {"PKEY_Title", "F29F85E0-4FF9-1068-AB91-08002B27B3D9,2"},
        {"WC_LISTVIEWA", "SysListView32"},
        {"SE_DEBUG_NAME", "SeDebugPrivilege"},
    };
    for (const auto& [name, value] : expected) {
        ASSERT_TRUE(byName.count(name)) << name;
        EXPECT_EQ(byName[name]->value, value) << name;
    }
    EXPECT_EQ(byName["IID_IUnknown"]->kind, "iid");
    EXPECT_EQ(byName["CLSID_ShellLink"]->kind, "clsid");
    EXPECT_EQ(k.spaces[byName["PKEY_Title"]->space], "Windows.Win32.Storage.EnhancedStorage");
    EXPECT_FALSE(byName.count("ShellLink"));
}

TEST(CommittedKinds, WinesMessageTablesHoldWin32ErrorsAndSomeHresults) {
    ErrorTexts t;
    std::string error;
    ASSERT_TRUE(ReadErrorTexts(QALOMIR_ERROR_TEXTS, t, &error)) << error;
    EXPECT_NE(t.origin.find("8.0"), std::string::npos) << t.origin;
    EXPECT_GT(t.texts.size(), 800u);
    ASSERT_NE(FindErrorText(t, 8), nullptr);
    EXPECT_EQ(FindErrorText(t, 8)->text, "Not enough memory.");  // the final line end is gone
    EXPECT_EQ(FindErrorText(t, 8)->dll, "kernelbase.dll");
    ASSERT_NE(FindErrorText(t, 5), nullptr);
    EXPECT_EQ(FindErrorText(t, 5)->text, "Access denied.");
    ASSERT_NE(FindErrorText(t, 0x80004005), nullptr);  // E_FAIL
    EXPECT_EQ(FindErrorText(t, 0x80004005)->text, "Call failed.");
    EXPECT_EQ(FindErrorText(t, 0xFFFFFFFF), nullptr);
}
#endif

TEST(KindsFormat, EachKindRoundTripsAndTheNamespaceFollows) {
    KindConstants k;
    std::string error;
    ASSERT_TRUE(ParseSdkKinds("# c\n!source\twin32json\t1\tabc\n@Windows.Win32.A\n"
                              "guid\tG\t00000000-0000-0000-C000-000000000046\n"
                              "@Windows.Win32.B\n"
                              "string\tS\ta\\\\b\\x01\\0\n"
                              "devpropkey\tK\tF29F85E0-4FF9-1068-AB91-08002B27B3D9\t4294967295\n",
                              k, &error))
        << error;
    EXPECT_EQ(k.origin, "win32json 1 abc");
    ASSERT_EQ(k.constants.size(), 3u);
    EXPECT_EQ(k.constants[0].space, 0u);
    EXPECT_EQ(k.constants[1].space, 1u);
    EXPECT_EQ(k.constants[1].value, "a\\\\b\\x01\\0");  // kept escaped, as the table holds it
    EXPECT_EQ(k.constants[2].value, "F29F85E0-4FF9-1068-AB91-08002B27B3D9,4294967295");
}

TEST(KindsFormat, TheHeadersFileHoldsOneSourceAfterAnother) {
    KindConstants m, w;
    m.origin = "mingw-w64\tmingw-w64-common 10\tclang";
    m.spaces = {"commctrl.h", "propkey.h"};
    m.constants = {{"stringW", "WC_BUTTONW", "Button", 0}, {"propkey", "PKEY_Title", "F29F85E0-4FF9-1068-AB91-08002B27B3D9,2", 1}};
    w.origin = "Wine\tlibwine-dev 8\tclang";
    w.spaces = {"guiddef.h"};
    w.constants = {{"guid", "GUID_NULL", "00000000-0000-0000-0000-000000000000", 0}};
    const std::string text = FormatKindSources({m, w}, "two\nlines");
    EXPECT_EQ(text.rfind("# two\n# lines\n!source\tmingw-w64\tmingw-w64-common 10\tclang\n@commctrl.h\nstringW\tWC_BUTTONW\tButton\n"
                         "@propkey.h\npropkey\tPKEY_Title\tF29F85E0-4FF9-1068-AB91-08002B27B3D9\t2\n!source\tWine",
                         0),
              0u)
        << text;
    std::vector<KindConstants> back;
    std::string error;
    ASSERT_TRUE(ParseKindSources(text, back, &error)) << error;
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].origin, "mingw-w64 mingw-w64-common 10 clang");
    EXPECT_EQ(back[0].spaces, m.spaces);
    ASSERT_EQ(back[0].constants.size(), 2u);
    EXPECT_EQ(back[0].constants[1].value, m.constants[1].value);
    EXPECT_EQ(back[0].constants[1].space, 1u);
    ASSERT_EQ(back[1].constants.size(), 1u);
    EXPECT_EQ(back[1].spaces[back[1].constants[0].space], "guiddef.h");
    // The metadata's file is one source: a second is refused.
    KindConstants one;
    EXPECT_FALSE(ParseSdkKinds(text, one, &error));
    EXPECT_EQ(error, "more than one !source");
}

TEST(KindsFormat, MalformedLinesAreRefusedWithTheirNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"guid\tG\t00000000-0000-0000-C000-000000000046\n", "line 1: a constant before the first namespace"},
        {"@N\nnumber\tG\t1\n", "line 2: unknown kind 'number'"},
        {"@N\nguid\tG\t00000000-0000-0000-c000-000000000046\n", "line 2: '00000000-0000-0000-c000-000000000046' is not a GUID"},
        {"@N\nguid\tG\t{00000000-0000-0000-C000-000000000046}\n", "line 2: '{00000000"},
        {"@N\niid\tG\t00000000-0000-0000-C000-00000000004\n", "line 2: '00000000-0000-0000-C000-00000000004' is not"},
        {"@N\npropkey\tP\t00000000-0000-0000-C000-000000000046\n", "line 2: a property key needs a GUID and a PID"},
        {"@N\npropkey\tP\t00000000-0000-0000-C000-000000000046\t4294967296\n", "line 2: '4294967296' is not a property number"},
        {"@N\nstring\tS\ta\\q\n", "line 2: malformed escape"},
        {"@N\nstring\tS\ta\\x4\n", "line 2: malformed escape"},
        {"@N\nstring\t\tx\n", "line 2: expected KIND, NAME and VALUE"},
        {"@N\nstring\tS\tx\ty\n", "line 2: too many fields"},
    };
    for (const auto& [text, why] : cases) {
        KindConstants k;
        std::string error;
        EXPECT_FALSE(ParseSdkKinds(text, k, &error)) << text;
        EXPECT_EQ(error.rfind(why, 0), 0u) << text << " gave " << error;
    }
}

TEST(KindsFormat, EscapesCoverEveryControlCharacterAndOnlyThem) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::string escaped = EscapeString(all);
    for (char c : escaped) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
    EXPECT_EQ(UnescapeString(escaped), all);
    EXPECT_EQ(EscapeString("SysListView32"), "SysListView32");
    EXPECT_EQ(EscapeString(std::string("a\0b\x7f", 4)), "a\\0b\\x7F");
    EXPECT_EQ(UnescapeString("\\"), std::nullopt);
    EXPECT_EQ(UnescapeString("\\xG0"), std::nullopt);
    EXPECT_EQ(UnescapeString("\\x4a"), "J");
}

TEST(ErrorTextsFormat, TextsAscendAndKeepTheirLineEnds) {
    ErrorTexts t;
    std::string error;
    ASSERT_TRUE(ParseErrorTexts("!source\tWine\tx\n00000005\ta.dll\tA\\nB\\\\\n00000005\tb.dll\tC\n80070005\ta.dll\tD\n", t, &error))
        << error;
    ASSERT_EQ(t.texts.size(), 3u);
    EXPECT_EQ(t.texts[0].text, "A\nB\\");
    EXPECT_EQ(FindErrorText(t, 5)->dll, "a.dll");
    EXPECT_EQ(FindErrorText(t, 0x80070005)->text, "D");
    EXPECT_EQ(FindErrorText(t, 6), nullptr);
    const std::pair<const char*, const char*> bad[] = {
        {"0005\ta.dll\tA\n", "line 1: '0005' is not"},
        {"0000000g\ta.dll\tA\n", "line 1: '0000000g' is not"},
        {"00000005\ta.dll\n", "line 1: expected CODE, DLL and TEXT"},
        {"00000005\ta.dll\tA\\x\n", "line 1: malformed escape"},
        {"00000006\ta.dll\tA\n00000005\ta.dll\tB\n", "line 2: out of order"},
        {"00000005\ta.dll\tA\n00000005\ta.dll\tB\n", "line 2: out of order"},
    };
    for (const auto& [text, why] : bad) {
        EXPECT_FALSE(ParseErrorTexts(text, t, &error)) << text;
        EXPECT_EQ(error.rfind(why, 0), 0u) << text << " gave " << error;
    }
}

}  // namespace
}  // namespace tools
