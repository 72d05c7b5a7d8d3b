// Text storage: UTF conversion, Jet 4 Unicode compression and Jet's comparison.
#include <gtest/gtest.h>

#include "jet/text_codec.h"
#include "jet/text_match.h"
#include "jet/utf.h"

using namespace jet;

namespace {
std::u16string Decode(const ByteVec& b) { return DecodeText(ByteView(b.data(), b.size())); }
}  // namespace

TEST(JetUtf, ConvertsBothWays) {
    EXPECT_TRUE(Utf8ToUtf16(u8"宏或常量名") == u"宏或常量名");
    EXPECT_EQ(u8"宏或常量名", Utf16ToUtf8(u"宏或常量名"));
    EXPECT_TRUE(Utf8ToUtf16("\xF0\x9F\x98\x80") == u"\U0001F600");
    EXPECT_EQ("\xF0\x9F\x98\x80", Utf16ToUtf8(u"\U0001F600"));
    EXPECT_TRUE(Utf8ToUtf16("") == u"");
    EXPECT_TRUE(Utf8ToUtf16(std::string("a\0b", 3)) == std::u16string(u"a\0b", 3));
}

TEST(JetUtf, MalformedInputBecomesReplacementCharacters) {
    EXPECT_TRUE(Utf8ToUtf16("a\xFF" "b") == u"a\uFFFDb");
    EXPECT_TRUE(Utf8ToUtf16("\xC0\xAF") == u"\uFFFD");        // overlong
    EXPECT_TRUE(Utf8ToUtf16("\xED\xA0\x80") == u"\uFFFD");    // encoded surrogate
    EXPECT_TRUE(Utf8ToUtf16("\xE5\xAE") == u"\uFFFD");        // cut short
    EXPECT_EQ("\xEF\xBF\xBD" "x", Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"));
    EXPECT_EQ("\xEF\xBF\xBD", Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))));
}

TEST(JetTextCodec, CompressesOneByteCharacters) {
    EXPECT_EQ((ByteVec{0xFF, 0xFE, 'W', 'M', '_', '1'}), EncodeText(u"WM_1", true));
    EXPECT_EQ((ByteVec{'W', 0, 'M', 0}), EncodeText(u"WM", false));
    EXPECT_EQ(ByteVec{}, EncodeText(u"", true));
    // One character gains nothing (3 bytes against 2).
    EXPECT_EQ((ByteVec{'a', 0}), EncodeText(u"a", true));
    // Two characters break even, and the plain form is kept.
    EXPECT_EQ((ByteVec{'a', 0, 'b', 0}), EncodeText(u"ab", true));
    EXPECT_EQ((ByteVec{0xFF, 0xFE, 'a', 'b', 'c'}), EncodeText(u"abc", true));
}

TEST(JetTextCodec, SwitchesModesForWideCharacters) {
    // 中 is U+4E2D.
    EXPECT_EQ((ByteVec{0xFF, 0xFE, 'a', 'b', 'c', 0, 0x2D, 0x4E, 0, 'd', 'e', 'f'}), EncodeText(u"abc中def", true));
    // Wide only: the plain form is shorter.
    EXPECT_EQ((ByteVec{0x2D, 0x4E}), EncodeText(u"中", true));
    // A short one-byte run between wide characters stays wide.
    EXPECT_EQ((ByteVec{0x2D, 0x4E, 'a', 0, 0x2D, 0x4E}), EncodeText(u"中a中", true));
}

TEST(JetTextCodec, ByteOrderMarkFirstIsStoredCompressed) {
    const std::u16string bom = std::u16string(1, char16_t(0xFEFF));
    EXPECT_EQ((ByteVec{0xFF, 0xFE, 0, 0xFF, 0xFE}), EncodeText(bom, true));
    EXPECT_TRUE(Decode(EncodeText(bom, true)) == bom);
    EXPECT_TRUE(Decode(EncodeText(bom + u"x", true)) == bom + u"x");
}

TEST(JetTextCodec, NeverCompressesCharactersWithAZeroLowByte) {
    // 一 is U+4E00: a zero byte would read as a mode switch.
    EXPECT_EQ((ByteVec{'a', 0, 'b', 0, 'c', 0, 0x00, 0x4E}), EncodeText(u"abc一", true));
    EXPECT_EQ((ByteVec{0, 0, 'a', 0, 'b', 0, 'c', 0}), EncodeText(std::u16string(1, u'\0') + u"abc", true));
}

TEST(JetTextCodec, DecodesBothFormsAndToleratesOddBytes) {
    EXPECT_TRUE(Decode({0xFF, 0xFE, 'a', 0, 0x2D, 0x4E, 0, 'b'}) == u"a中b");
    EXPECT_TRUE(Decode({'a', 0, 'b'}) == u"a");  // odd byte dropped
    EXPECT_TRUE(Decode({0xFF, 0xFE, 0, 0x2D}) == u"");  // wide character cut short
    EXPECT_TRUE(Decode({0xFF, 0xFE}) == u"");
    EXPECT_TRUE(Decode({}) == u"");
}

TEST(JetTextMatch, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(TextEqual(u"WM_Create", u"wm_cREATE", TextMatch::IgnoreAsciiCase));
    EXPECT_FALSE(TextEqual(u"WM_Create", u"wm_create", TextMatch::Exact));
    EXPECT_FALSE(TextEqual(u"\u00C9", u"\u00E9", TextMatch::IgnoreAsciiCase));
    EXPECT_FALSE(TextEqual(u"[", u"{", TextMatch::IgnoreAsciiCase));  // 0x5B and 0x7B differ by 0x20 too
    EXPECT_FALSE(TextEqual(u"ab", u"abc", TextMatch::IgnoreAsciiCase));
    EXPECT_TRUE(FoldAsciiCase(u"AZ@[az中") == u"az@[az中");
}
