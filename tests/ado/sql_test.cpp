#include "ado/sql.h"

#include <gtest/gtest.h>

using ado::ParseSelect;
using ado::SelectStatement;

namespace {

SelectStatement Parse(std::u16string_view sql) {
    SelectStatement s;
    std::string error;
    EXPECT_TRUE(ParseSelect(sql, &s, &error)) << error;
    return s;
}

std::string Refusal(std::u16string_view sql) {
    SelectStatement s;
    std::string error;
    EXPECT_FALSE(ParseSelect(sql, &s, &error));
    return error;
}

}  // namespace

TEST(ParseSelect, TheProgramsQuery) {
    SelectStatement s = Parse(u"select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'");
    EXPECT_FALSE(s.allColumns);
    ASSERT_EQ(s.columns.size(), 2u);
    EXPECT_EQ(s.columns[0], u"常量值");
    EXPECT_EQ(s.columns[1], u"备注");
    EXPECT_EQ(s.table, u"api_const");
    ASSERT_EQ(s.where.size(), 1u);
    EXPECT_EQ(s.where[0].column, u"宏或常量名");
    EXPECT_EQ(s.where[0].literal, u"WM_CREATE");
}

TEST(ParseSelect, StarBracketsKeywordCaseAndSemicolon) {
    SelectStatement s = Parse(u"  SeLeCt\t*\r\nFROM [api const]  WHERE [select]='a' aNd b = 'B' ;  ");
    EXPECT_TRUE(s.allColumns);
    EXPECT_TRUE(s.columns.empty());
    EXPECT_EQ(s.table, u"api const");
    ASSERT_EQ(s.where.size(), 2u);
    EXPECT_EQ(s.where[0].column, u"select");
    EXPECT_EQ(s.where[1].column, u"b");
    EXPECT_EQ(s.where[1].literal, u"B");
}

TEST(ParseSelect, LiteralsKeepTheirTextAndUndoubleQuotes) {
    EXPECT_EQ(Parse(u"select a from t where a='it''s'").where[0].literal, u"it's");
    EXPECT_EQ(Parse(u"select a from t where a=''''").where[0].literal, u"'");
    EXPECT_EQ(Parse(u"select a from t where a=''").where[0].literal, u"");
    EXPECT_EQ(Parse(u"select a from t where a=' x  AND y=''z'' '").where[0].literal, u" x  AND y='z' ");
    EXPECT_EQ(Parse(u"select a from t where a='中文;[]*'").where[0].literal, u"中文;[]*");
}

TEST(ParseSelect, NoSpaceNeededAroundPunctuation) {
    SelectStatement s = Parse(u"select[a],b,c from[t]where[a]='1'and b='2'");
    EXPECT_EQ(s.columns.size(), 3u);
    EXPECT_EQ(s.table, u"t");
    EXPECT_EQ(s.where.size(), 2u);
}

TEST(ParseSelect, RefusesEverythingElse) {
    const char16_t* bad[] = {
        u"",
        u"   ",
        u"update t set a='1'",
        u"delete from t",
        u"insert into t values ('a')",
        u"select from t",
        u"select a from",
        u"select a, from t",
        u"select a b from t",
        u"select * , a from t",
        u"select a from t where",
        u"select a from t where a='x' and",
        u"select a from t where a='x' or b='y'",
        u"select a from t where a=1",
        u"select a from t where a=\"x\"",
        u"select a from t where a<>'x'",
        u"select a from t where 'x'=a",
        u"select a from t where a='unterminated",
        u"select a from t where a=''''''x",
        u"select [a from t",
        u"select [] from t",
        u"select a from t order by a",
        u"select a from t; select b from t",
        u"select a from t;;",
        u"select select from t",
        u"select a from where",
        u"select a from t where and='x'",
        u"select a.b from t",
        u"select a from t where a=='x'",
    };
    for (const char16_t* sql : bad) {
        std::string why = Refusal(sql);
        EXPECT_FALSE(why.empty()) << "no reason given";
    }
}

TEST(ParseSelect, FailureLeavesOutputUntouchedAndSaysWhere) {
    SelectStatement s;
    s.table = u"kept";
    std::string error;
    EXPECT_FALSE(ParseSelect(u"select a from t where a='x", &s, &error));
    EXPECT_EQ(s.table, u"kept");
    EXPECT_EQ(error, "Syntax error: unterminated text literal.");
    EXPECT_EQ(Refusal(u"select a frm t"), "Syntax error: FROM expected after the column list.");
}
