// Measuring, cutting, upper-casing and rewriting texts, byte by byte.
#include <gtest/gtest.h>

#include "core/text_commands.h"
#include "tests/core/fatal_trap.h"

using namespace core;

TEST(TextLength, CountsBytesNotCharacters) {
    EXPECT_EQ(0, TextLength(""));
    EXPECT_EQ(3, TextLength("abc"));
    EXPECT_EQ(3, TextLength("\xB0\xA1x"));
}

TEST(LeftRightText, CountsBeyondTheLengthOrBelowOne) {
    EXPECT_EQ("ab", LeftText("ab", 5));
    EXPECT_EQ("", LeftText("ab", 0));
    EXPECT_EQ("", LeftText("ab", -3));
    EXPECT_EQ("1F", RightText("0x1F", 2));
    EXPECT_EQ("0x1F", RightText("0x1F", 99));
    EXPECT_EQ("", RightText("0x1F", 0));
    EXPECT_EQ("", RightText("", 3));
}

TEST(LeftRightText, CutThroughDoubleByteCharacters) {
    EXPECT_EQ("\xB0", LeftText("\xB0\xA1x", 1));
    EXPECT_EQ("\xA1x", RightText("\xB0\xA1x", 2));
}

TEST(LeftRightText, ComplementaryCountsRebuildTheText) {
    const Text text = "0x\xB0\xA1\xD5";
    for (int left = 0; left <= TextLength(text); ++left)
        EXPECT_EQ(text, LeftText(text, left) + RightText(text, TextLength(text) - left)) << left;
}

TEST(ToUpper, ChangesOnlyAsciiLettersOutsideDoubleByteCharacters) {
    EXPECT_EQ("0X", ToUpper("0x"));
    EXPECT_EQ("", ToUpper(""));
    EXPECT_EQ("ABC{}`@Z", ToUpper("abc{}`@z"));
    // 0x61 as a trail byte is not the letter a.
    EXPECT_EQ("\xB0\x61Z", ToUpper("\xB0\x61z"));
    // Full-width letters stay as they are.
    EXPECT_EQ("\xA3\xE1", ToUpper("\xA3\xE1"));
    // A lead byte at the very end stays.
    EXPECT_EQ("A\xB0", ToUpper("a\xB0"));
}

TEST(ReplaceText, RemovesLineBreaks) {
    EXPECT_EQ("1234", ReplaceText("12\r\n3\r\n4", "\r\n", "", 1, -1, true));
}

TEST(ReplaceText, CaseFlagAndLimit) {
    EXPECT_EQ("xAx", ReplaceText("aAa", "a", "x", 1, -1, true));
    EXPECT_EQ("xxx", ReplaceText("aAa", "a", "x", 1, -1, false));
    EXPECT_EQ("xAa", ReplaceText("aAa", "a", "x", 1, 1, true));
    EXPECT_EQ("xxa", ReplaceText("aaa", "a", "x", 1, 2));
    EXPECT_EQ("aaa", ReplaceText("aaa", "a", "x", 1, 0));
    // Without regard to case only letters fold: [ and { differ by 0x20 too.
    EXPECT_EQ("[", ReplaceText("[", "{", "x"));
    EXPECT_EQ("@", ReplaceText("@", "`", "x"));
    EXPECT_EQ("x", ReplaceText("0X", "0x", "x"));
}

TEST(ReplaceText, StartPosition) {
    EXPECT_EQ("axx", ReplaceText("aaa", "a", "x", 2));
    EXPECT_EQ("aax", ReplaceText("aaa", "a", "x", 3));
    EXPECT_EQ("aaa", ReplaceText("aaa", "a", "x", 4));
    EXPECT_EQ("xxx", ReplaceText("aaa", "a", "x", 0));
    EXPECT_EQ("xxx", ReplaceText("aaa", "a", "x", -7));
    // The bytes before the start are never searched, even for a match across it.
    EXPECT_EQ("abx", ReplaceText("abab", "ab", "x", 2));
}

TEST(ReplaceText, UnchangedCopies) {
    EXPECT_EQ("abc", ReplaceText("abc", ""));
    EXPECT_EQ("", ReplaceText("", "a", "x"));
    EXPECT_EQ("ab", ReplaceText("ab", "abc", "x"));
}

TEST(ReplaceText, MatchesNeitherOverlapNorRestartInsideAReplacement) {
    EXPECT_EQ("ba", ReplaceText("aaa", "aa", "b"));
    EXPECT_EQ("aaaa", ReplaceText("aa", "a", "aa"));
    EXPECT_EQ("c", ReplaceText("ab", "ab", "c"));
    EXPECT_EQ("b", ReplaceText("ab", "a"));  // no replacement removes
}

TEST(ReplaceText, NeverMatchesAtATrailByte) {
    EXPECT_EQ("\xB0\x61x", ReplaceText("\xB0\x61\x61", "a", "x"));
    EXPECT_EQ("x", ReplaceText("\xB0\xA1", "\xB0\xA1", "x", 1, -1, true));
    EXPECT_EQ("\xB0\xA1", ReplaceText("\xB0\xA1", "\xA1", "x"));
}

TEST(ReplaceText, KeepsALoneLeadByteAtTheEnd) {
    EXPECT_EQ("ac\xB0", ReplaceText("ab\xB0", "b", "c"));
    EXPECT_EQ("a\xB0", ReplaceText("a\xB0", "z", "c"));
    EXPECT_EQ("\xB0", ReplaceText("\xB0", "z"));
}

TEST(BlankAndRepeatText, Counts) {
    EXPECT_EQ(Text(255, ' '), BlankText(255));
    EXPECT_EQ("", BlankText(0));
    EXPECT_EQ("", BlankText(-1));
    EXPECT_EQ("000", RepeatText(3, "0"));
    EXPECT_EQ("", RepeatText(-2, "0"));
    EXPECT_EQ("", RepeatText(0, "ab"));
    EXPECT_EQ("", RepeatText(4, ""));
    EXPECT_EQ("ababab", RepeatText(3, "ab"));
}

TEST(ConcatTexts, JoinsWithoutSeparator) {
    EXPECT_EQ("ab", ConcatTexts(Text("a"), Text(), "b", ""));
    EXPECT_EQ("", ConcatTexts(Text(), Text()));
    const char* absent = nullptr;
    EXPECT_EQ("x", ConcatTexts("x", absent));
}

TEST(CompareTexts, UnsignedBytesAndPrefixes) {
    EXPECT_EQ(0, CompareTexts("", ""));
    EXPECT_EQ(0, CompareTexts("0x", "0x"));
    EXPECT_LT(CompareTexts("a", "b"), 0);
    EXPECT_GT(CompareTexts("b", "a"), 0);
    EXPECT_LT(CompareTexts("a", "ab"), 0);
    EXPECT_GT(CompareTexts("ab", "a"), 0);
    EXPECT_LT(CompareTexts("", "a"), 0);
    EXPECT_GT(CompareTexts("\x80", "a"), 0);
    EXPECT_NE(0, CompareTexts("0X", "0x"));
}

TEST(BlankAndRepeatText, ResultsBeyondATextsSizeAreFatal) {
    if (sizeof(std::size_t) > 4) GTEST_SKIP() << "only a 32-bit text has a size an int count can pass";
    FatalTrap trap;
    try {
        RepeatText(0x7FFFFFFF, "0123456789");
        ADD_FAILURE();
    } catch (const FatalRaised& fatal) {
        EXPECT_EQ("分配 21474836471 字节内存失败!", fatal.message);
    }
}
