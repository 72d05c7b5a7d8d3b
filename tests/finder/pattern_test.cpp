// Names compared as Jet compares them, and patterns over them.
#include <gtest/gtest.h>

#include <string>

#include "finder/pattern.h"

using namespace finder;

TEST(FinderPattern, LettersFoldOnlyInAscii) {
    EXPECT_TRUE(EqualIgnoringCase(u"WM_CREATE", u"wm_create"));
    EXPECT_FALSE(EqualIgnoringCase(u"WM_CREATE", u"WM_CREATE "));
    EXPECT_FALSE(EqualIgnoringCase(u"\u00C9", u"\u00E9"));
    EXPECT_TRUE(StartsWithIgnoringCase(u"DWMWA_CLOAK", u"dwmwa_"));
    EXPECT_FALSE(StartsWithIgnoringCase(u"DW", u"DWMWA_"));
    EXPECT_TRUE(ContainsIgnoringCase(u"LVS_TYPEMASK", u"mask"));
}

TEST(FinderPattern, Wildcards) {
    EXPECT_TRUE(MatchesPattern(u"DWMWA_*", u"DWMWA_CLOAK"));
    EXPECT_TRUE(MatchesPattern(u"DWMWA_*", u"dwmwa_"));
    EXPECT_FALSE(MatchesPattern(u"DWMWA_*", u"DWMWA"));
    EXPECT_TRUE(MatchesPattern(u"*BACKDROP*", u"DWMWA_SYSTEMBACKDROP_TYPE"));
    EXPECT_TRUE(MatchesPattern(u"*backdrop", u"BACKDROP"));
    EXPECT_FALSE(MatchesPattern(u"*BACKDROP", u"BACKDROPS"));
    EXPECT_TRUE(MatchesPattern(u"WM_?", u"WM_X"));
    EXPECT_FALSE(MatchesPattern(u"WM_?", u"WM_"));
    EXPECT_FALSE(MatchesPattern(u"WM_?", u"WM_XY"));
    EXPECT_TRUE(MatchesPattern(u"*", u""));
    EXPECT_TRUE(MatchesPattern(u"**", u"A"));
    EXPECT_TRUE(MatchesPattern(u"A*B*C", u"AxxBxxBxxC"));
    EXPECT_FALSE(MatchesPattern(u"A*B*C", u"AxxCxxB"));
    EXPECT_TRUE(MatchesPattern(u"*A*A*", u"AA"));
    EXPECT_FALSE(MatchesPattern(u"*A*A*", u"A"));
    EXPECT_FALSE(MatchesPattern(u"AB*BA", u"ABA"));  // head and tail may not share a character
    EXPECT_TRUE(MatchesPattern(u"?*?", u"AB"));
    EXPECT_TRUE(MatchesPattern(u"*?B", u"AB"));
}

TEST(FinderPattern, LongestPatternsStayLinearInTheirRuns) {
    const std::u16string name(135, u'A');
    std::u16string pattern;
    for (int i = 0; i < 120; ++i) pattern += u"*A";
    pattern += u"*B";
    EXPECT_FALSE(MatchesPattern(pattern, name));
    EXPECT_TRUE(MatchesPattern(pattern.substr(0, pattern.size() - 2), name));
}

TEST(FinderPattern, TheFixedStart) {
    EXPECT_EQ(FixedPrefix(u"DWMWA_*"), u"DWMWA_");
    EXPECT_EQ(FixedPrefix(u"WM_?X"), u"WM_");
    EXPECT_EQ(FixedPrefix(u"*X"), u"");
    EXPECT_EQ(FixedPrefix(u"WM_CREATE"), u"WM_CREATE");
    EXPECT_TRUE(IsPattern(u"A?"));
    EXPECT_FALSE(IsPattern(u"A_B"));
}
