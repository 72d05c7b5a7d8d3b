#include "jetsql/like.h"

#include <gtest/gtest.h>

using jetsql::LikePattern;

namespace {

bool Like(std::u16string_view text, std::u16string_view pattern) { return LikePattern(pattern).Matches(text); }

}  // namespace

TEST(LikePattern, Ansi89Wildcards) {
    EXPECT_TRUE(Like(u"WM_CREATE", u"WM_*"));
    EXPECT_FALSE(Like(u"WMXCREATE", u"WM_*"));  // _ is itself in this form
    EXPECT_TRUE(Like(u"WM_CREATE", u"wm_cr?ate"));
    EXPECT_FALSE(Like(u"WM_CRATE", u"wm_cr?ate"));
    EXPECT_TRUE(Like(u"VK_F12", u"VK_F#*"));
    EXPECT_FALSE(Like(u"VK_FX", u"VK_F#*"));
    EXPECT_TRUE(Like(u"100%", u"1*%"));  // % is itself in this form
    EXPECT_FALSE(Like(u"100", u"1*%"));
}

TEST(LikePattern, Ansi92Wildcards) {
    EXPECT_TRUE(Like(u"WM_CREATE", u"WM_%"));
    EXPECT_TRUE(Like(u"WMXCREATE", u"WM_%"));  // _ is any one character
    EXPECT_TRUE(Like(u"WM", u"WM%"));
    EXPECT_FALSE(Like(u"WM", u"WM_%"));
    EXPECT_TRUE(Like(u"a?b", u"a[?]b"));  // a bracketed ? does not make the pattern ANSI-89
    EXPECT_FALSE(Like(u"aXb", u"a[?]b"));
    EXPECT_TRUE(Like(u"#1", u"#_"));   // # is itself in this form
}

TEST(LikePattern, SetsRangesAndNegation) {
    EXPECT_TRUE(Like(u"WM_A", u"WM[_]A"));
    EXPECT_FALSE(Like(u"WMXA", u"WM[_]A"));
    EXPECT_TRUE(Like(u"b", u"[a-c]"));
    EXPECT_TRUE(Like(u"B", u"[a-c]"));  // letters fold in sets too
    EXPECT_FALSE(Like(u"d", u"[a-c]"));
    EXPECT_TRUE(Like(u"d", u"[!a-c]"));
    EXPECT_FALSE(Like(u"a", u"[^abc]"));
    EXPECT_TRUE(Like(u"*", u"[*]"));
    EXPECT_TRUE(Like(u"a*", u"a[*]"));
    EXPECT_FALSE(Like(u"ab", u"a[*]"));
    EXPECT_FALSE(LikePattern(u"WM[_").Valid());
    EXPECT_FALSE(Like(u"WM[_", u"WM[_"));
}

TEST(LikePattern, EdgesOfTextAndPattern) {
    EXPECT_TRUE(Like(u"", u""));
    EXPECT_FALSE(Like(u"a", u""));
    EXPECT_TRUE(Like(u"", u"%"));
    EXPECT_TRUE(Like(u"", u"***"));
    EXPECT_FALSE(Like(u"", u"_"));
    EXPECT_TRUE(Like(u"常量名", u"常量%"));
    EXPECT_TRUE(Like(u"常量名", u"?量?"));
    EXPECT_FALSE(Like(u"常量名", u"_量?"));  // ANSI-89 form: _ is itself
    EXPECT_TRUE(Like(u"abcabcabd", u"*abd"));  // the run gives back what a later element needs
    EXPECT_TRUE(Like(u"aXbXc", u"a%b%c"));
    EXPECT_FALSE(Like(u"aXbXd", u"a%b%c"));
    // A long text against many runs stays quick (no exponential backtracking).
    std::u16string text(20000, u'a');
    EXPECT_FALSE(Like(text, u"%a%a%a%a%a%a%a%a%b"));
}

TEST(LikePattern, FixedPrefixStopsAtTheFirstWildcardAndFolds) {
    EXPECT_EQ(LikePattern(u"wm_*").FixedPrefix(), u"WM_");
    EXPECT_EQ(LikePattern(u"wm_%").FixedPrefix(), u"WM");
    EXPECT_EQ(LikePattern(u"%wm").FixedPrefix(), u"");
    EXPECT_EQ(LikePattern(u"ab[c]d").FixedPrefix(), u"AB");
    EXPECT_EQ(LikePattern(u"常量").FixedPrefix(), u"常量");
}
