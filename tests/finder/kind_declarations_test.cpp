// GUID, string and property-key declarations at their edges: each language's
// escapes, the width of an A/W pair, 易语言's choice of the A one and its
// 字节集 where its text cannot hold a string. compile-kind-declarations
// compiles real ones.
#include "finder/kind_declarations.h"

#include <gtest/gtest.h>

namespace finder {
namespace {

KindConstant Row(const std::string& name, const std::string& value, const std::string& kind = "string") {
    return {name, value, kind, "Windows.Win32.Test"};
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(KindDeclarations, StoredEscapesComeBackAsBytes) {
    EXPECT_EQ(UnescapeStored(R"(a\\b\tc\0d\x1Ee)"), std::string("a\\b\tc\0d\x1E" "e", 9));
    EXPECT_EQ(UnescapeStored(R"(\x1000)"), std::string("\x10" "00"));  // two digits, never more
    EXPECT_EQ(UnescapeStored(R"(end\)"), "end\\");                   // malformed: kept
    EXPECT_EQ(UnescapeStored(R"(\xZ1)"), "\\xZ1");
}

TEST(KindDeclarations, GuidInEveryLanguageCarriesItsFields) {
    const std::vector<KindConstant> rows{Row("FOLDERID_Desktop", "B4BFCC3A-DB2C-424C-B029-7FE99A87C641", "guid")};
    EXPECT_EQ(DeclareKinds(Language::C, rows, false),
              "DEFINE_GUID(FOLDERID_Desktop, 0xB4BFCC3A, 0xDB2C, 0x424C, 0xB0, 0x29, 0x7F, 0xE9, 0x9A, 0x87, 0xC6, 0x41);"
              "  // {B4BFCC3A-DB2C-424C-B029-7FE99A87C641}\n");
    EXPECT_TRUE(Has(DeclareKinds(Language::CSharp, rows, false), "new Guid(\"B4BFCC3A-DB2C-424C-B029-7FE99A87C641\")"));
    EXPECT_TRUE(Has(DeclareKinds(Language::Delphi, rows, false), "FOLDERID_Desktop: TGUID = '{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}';"));
    EXPECT_TRUE(Has(DeclareKinds(Language::Rust, rows, false), "GUID::from_u128(0xb4bfcc3a_db2c_424c_b029_7fe99a87c641)"));
    const std::string vb6 = DeclareKinds(Language::VB6, rows, false);
    EXPECT_TRUE(Has(vb6, "g.Data1 = &HB4BFCC3A&: g.Data2 = &HDB2C: g.Data3 = &H424C")) << vb6;
    EXPECT_TRUE(Has(vb6, "g.Data4(7) = &H41\nEnd Sub")) << vb6;
    // 易语言: the 16 bytes in memory order (Data1..3 little-endian), the text in the remark.
    EXPECT_EQ(DeclareKinds(Language::E, rows, false),
              u8".版本 2\r\n\r\n.常量 FOLDERID_Desktop, \"{ 58, 204, 191, 180, 44, 219, 76, 66, 176, 41, 127, 233, 154, 135, "
              u8"198, 65 }\", , {B4BFCC3A-DB2C-424C-B029-7FE99A87C641}\r\n");
    EXPECT_EQ(DeclareKinds(Language::E, rows, true).rfind(u8".常量 ", 0), 0u) << "no second .版本 after the integers";
}

TEST(KindDeclarations, PropertyKeyIsGuidAndNumber) {
    const std::vector<KindConstant> rows{Row("PKEY_Title", "F29F85E0-4FF9-1068-AB91-08002B27B3D9,2", "propkey"),
                                         Row("DEVPKEY_X", "A45C254E-DF1C-4EFD-8020-67D146A850E0,4294967295", "devpropkey")};
    const std::string c = DeclareKinds(Language::C, rows, false);
    EXPECT_TRUE(Has(c, "DEFINE_PROPERTYKEY(PKEY_Title, 0xF29F85E0, 0x4FF9, 0x1068, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9, 2);"));
    EXPECT_TRUE(Has(c, "DEFINE_DEVPROPKEY(DEVPKEY_X, ") && Has(c, ", 4294967295);"));
    const std::string e = DeclareKinds(Language::E, rows, false);
    EXPECT_TRUE(Has(e, "179, 217, 2, 0, 0, 0 }")) << e;          // the pid's four bytes after the GUID's 16
    EXPECT_TRUE(Has(e, "80, 224, 255, 255, 255, 255 }")) << e;
    const std::string python = DeclareKinds(Language::Python, rows, false);
    EXPECT_TRUE(Has(python, "class PROPERTYKEY(ctypes.Structure)") && Has(python, "class DEVPROPKEY(ctypes.Structure)"));
    // A value that is no property key is not declared as one.
    EXPECT_EQ(DeclareKinds(Language::C, {Row("PKEY_Bad", "F29F85E0-4FF9-1068-AB91-08002B27B3D9", "propkey")}, false), "");
}

TEST(KindDeclarations, PairsGiveWidthsAndEasyLanguageTheAOne) {
    const std::vector<KindConstant> pair{Row("WC_BUTTON", "Button"), Row("WC_BUTTONA", "Button"), Row("WC_BUTTONW", "Button")};
    EXPECT_EQ(DeclareKinds(Language::C, pair, false),
              "#define WC_BUTTON TEXT(\"Button\")\n#define WC_BUTTONA \"Button\"\n#define WC_BUTTONW L\"Button\"\n");
    EXPECT_EQ(DeclareKinds(Language::E, pair, false), u8".版本 2\r\n\r\n.常量 WC_BUTTONA, \"“Button”\"\r\n");
    // One of a pair asked alone: the database says what the other is.
    const auto known = [](const std::string& n) { return n == "WC_BUTTONA"; };
    EXPECT_EQ(DeclareKinds(Language::C, {Row("WC_BUTTONW", "Button")}, false, known), "#define WC_BUTTONW L\"Button\"\n");
    EXPECT_EQ(DeclareKinds(Language::C, {Row("WC_BUTTONW", "Button")}, false), "#define WC_BUTTONW \"Button\"\n");
    // A W asked alone in 易语言 is declared, as UTF-16LE bytes with the terminating zero.
    EXPECT_TRUE(Has(DeclareKinds(Language::E, {Row("WC_BUTTONW", "Button")}, false, known), "{ 66, 0, 117, 0, 116, 0, 116, 0, 111, 0, 110, 0, 0, 0 }"));
    // A header's kind says the width, whatever the name.
    EXPECT_EQ(DeclareKinds(Language::C, {Row("DD_NAME", R"(\\Device)", "stringW")}, false), "#define DD_NAME L\"\\\\Device\"\n");
    // A header's string without a pair is TEXT's width; the metadata's says none.
    EXPECT_EQ(DeclareKinds(Language::C, {{"SE_DEBUG_NAME", "SeDebugPrivilege", "string", "winnt.h"}}, false),
              "#define SE_DEBUG_NAME TEXT(\"SeDebugPrivilege\")\n");
    EXPECT_EQ(DeclareKinds(Language::C, {{"SE_DEBUG_NAME", "SeDebugPrivilege", "string", "vsstyle.h (Wine)"}}, false),
              "#define SE_DEBUG_NAME TEXT(\"SeDebugPrivilege\")\n");
    EXPECT_EQ(DeclareKinds(Language::C, {Row("SE_DEBUG_NAME", "SeDebugPrivilege")}, false), "#define SE_DEBUG_NAME \"SeDebugPrivilege\"\n");
    EXPECT_EQ(DeclareKinds(Language::C, {{"X", "x", "string", "hdr.hpp"}}, false), "#define X \"x\"\n");
    // A name's first row only.
    EXPECT_EQ(DeclareKinds(Language::C, {Row("S", "one"), Row("S", "two")}, false), "#define S \"one\"\n");
}

TEST(KindDeclarations, EscapesInEachLanguage) {
    // A quote, a backslash, a tab, a zero before a digit, a control character,
    // U+0300 and U+1F600 (a surrogate pair in UTF-16).
    const std::string stored = "a\"b\\\\c\\t\\01\\x1F\xCC\x80\xF0\x9F\x98\x80";
    const std::vector<KindConstant> narrow{Row("S", stored)};
    const std::vector<KindConstant> wide{Row("S", stored, "stringW")};
    EXPECT_EQ(DeclareKinds(Language::C, narrow, false), "#define S \"a\\\"b\\\\c\\t\\0001\\037\\314\\200\\360\\237\\230\\200\"\n");
    EXPECT_EQ(DeclareKinds(Language::C, wide, false), "#define S L\"a\\\"b\\\\c\\t\\0001\\037\\u0300\\U0001F600\"\n");
    EXPECT_EQ(DeclareKinds(Language::CSharp, wide, false), "public const string S = \"a\\\"b\\\\c\\t\\01\\u001F\\u0300\\U0001F600\";\n");
    EXPECT_TRUE(Has(DeclareKinds(Language::Rust, wide, false), "&[u16] = &[0x0061, 0x0022, 0x0062, 0x005C, 0x0063, 0x0009, 0x0000, 0x0031, 0x001F, 0x0300, 0xD83D, 0xDE00, 0];"));
    EXPECT_EQ(DeclareKinds(Language::Rust, narrow, false),
              "pub const S: &[u8] = b\"a\\\"b\\\\c\\x09\\x001\\x1F\\xCC\\x80\\xF0\\x9F\\x98\\x80\\x00\";\n");
    EXPECT_EQ(DeclareKinds(Language::Python, wide, false), "S = \"a\\\"b\\\\c\\t\\x001\\x1F\\u0300\\U0001F600\"\n");
    EXPECT_EQ(DeclareKinds(Language::Delphi, wide, false), "const\n  S: PWideChar = 'a\"b\\c'#9#0'1'#31#$0300#$D83D#$DE00;\n");
    EXPECT_EQ(DeclareKinds(Language::VB, wide, false),
              "Public Const S As String = \"a\"\"b\\c\" & ChrW(9) & ChrW(0) & \"1\" & ChrW(31) & ChrW(768) & ChrW(55357) & ChrW(56832)\n");
    // VB6's Const holds the intrinsic constants and nothing else.
    EXPECT_EQ(DeclareKinds(Language::VB6, {Row("S", "it's\\t\\0\\r\\n")}, false),
              "Public Const S As String = \"it's\" & vbTab & vbNullChar & vbCr & vbLf\n");
    EXPECT_TRUE(Has(DeclareKinds(Language::VB6, narrow, false), "' S = \"" + stored + "\": VB6's Const cannot hold"));
    // 易语言's text holds neither quotes nor control characters: bytes instead.
    EXPECT_EQ(DeclareKinds(Language::E, {Row("Q", "a\"b")}, false),
              u8".版本 2\r\n\r\n.常量 Q, \"{ 97, 34, 98 }\", , \"a\"b\" (ANSI 字节, 无结束零)\r\n");
}

TEST(KindDeclarations, ReservedNamesAreEscaped) {
    const std::vector<KindConstant> rows{Row("string", "x")};
    EXPECT_EQ(DeclareKinds(Language::CSharp, rows, false), "public const string @string = \"x\";  // ANSI: marshal as LPStr\n");
    EXPECT_EQ(DeclareKinds(Language::VB, {Row("Error", "x")}, false), "Public Const [Error] As String = \"x\"\n");
    EXPECT_EQ(DeclareKinds(Language::Rust, {Row("type", "x")}, false), "pub const r#type: &[u8] = b\"x\\x00\";\n");
}

}  // namespace
}  // namespace finder
