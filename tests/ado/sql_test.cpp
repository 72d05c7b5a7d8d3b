#include "ado/sql.h"

#include <gtest/gtest.h>

using ado::ParseSelect;
using ado::Comparison;
using ado::Condition;
using ado::SelectStatement;
using ado::SqlFault;

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
    EXPECT_EQ(s.columns[0].column, u"常量值");
    EXPECT_EQ(s.columns[1].column, u"备注");
    EXPECT_EQ(s.table, u"api_const");
    ASSERT_TRUE(s.hasWhere);
    EXPECT_EQ(s.where.kind, Condition::Kind::Compare);
    EXPECT_EQ(s.where.compare.column, u"宏或常量名");
    EXPECT_EQ(s.where.compare.literal, u"WM_CREATE");
}

TEST(ParseSelect, StarBracketsKeywordCaseAndSemicolon) {
    SelectStatement s = Parse(u"  SeLeCt\t*\r\nFROM [api const]  WHERE [select]='a' aNd b = 'B' ;  ");
    EXPECT_TRUE(s.allColumns);
    EXPECT_TRUE(s.columns.empty());
    EXPECT_EQ(s.table, u"api const");
    ASSERT_EQ(s.where.kind, Condition::Kind::And);
    ASSERT_EQ(s.where.parts.size(), 2u);
    EXPECT_EQ(s.where.parts[0].compare.column, u"select");
    EXPECT_EQ(s.where.parts[1].compare.column, u"b");
    EXPECT_EQ(s.where.parts[1].compare.literal, u"B");
}

TEST(ParseSelect, LiteralsKeepTheirTextAndUndoubleQuotes) {
    EXPECT_EQ(Parse(u"select a from t where a='it''s'").where.compare.literal, u"it's");
    EXPECT_EQ(Parse(u"select a from t where a=''''").where.compare.literal, u"'");
    EXPECT_EQ(Parse(u"select a from t where a=''").where.compare.literal, u"");
    EXPECT_EQ(Parse(u"select a from t where a=' x  AND y=''z'' '").where.compare.literal, u" x  AND y='z' ");
    EXPECT_EQ(Parse(u"select a from t where a='中文;[]*'").where.compare.literal, u"中文;[]*");
}

TEST(ParseSelect, NoSpaceNeededAroundPunctuation) {
    SelectStatement s = Parse(u"select[a],b,c from[t]where[a]='1'and b='2'");
    EXPECT_EQ(s.columns.size(), 3u);
    EXPECT_EQ(s.table, u"t");
    EXPECT_EQ(s.where.parts.size(), 2u);
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
        u"select a from t where a=1",
        u"select a from t where a<'x'",
        u"select a from t where a>'x'",
        u"select a from t where a like",
        u"select a from t where (a='x'",
        u"select a from t where a='x')",
        u"select a from t where not",
        u"select a from t where a='x' or",
        u"select a from t where ()",
        u"select top from t",
        u"select top 1.5 a from t",
        u"select top -1 a from t",
        u"select count(a) from t",
        u"select count(*), a from t",
        u"select a as from t",
        u"select a from t order a",
        u"select a from t order by",
        u"select a from t order by a,",
        u"select a from t order by a desc desc",
        u"select a from t where a='1' order by a where b='2'",
        u"select a from t where 'x'=a",
        u"select a from t where a='unterminated",
        u"select a from t where a=''''''x",
        u"select [a from t",
        u"select [] from t",
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

TEST(ParseSelect, OrBindsLooserThanAndAndParenthesesGroup) {
    SelectStatement s = Parse(u"select * from t where a='1' or b='2' and not c<>'3' or (d like 'x%' or e=\"4\")");
    ASSERT_EQ(s.where.kind, Condition::Kind::Or);
    ASSERT_EQ(s.where.parts.size(), 3u);
    const Condition& middle = s.where.parts[1];
    ASSERT_EQ(middle.kind, Condition::Kind::And);
    EXPECT_EQ(middle.parts[1].kind, Condition::Kind::Not);
    EXPECT_EQ(middle.parts[1].parts[0].compare.op, Comparison::Op::NotEqual);
    const Condition& group = s.where.parts[2];
    ASSERT_EQ(group.kind, Condition::Kind::Or);
    EXPECT_EQ(group.parts[0].compare.op, Comparison::Op::Like);
    EXPECT_EQ(group.parts[0].compare.literal, u"x%");
    EXPECT_EQ(group.parts[1].compare.literal, u"4");  // double quotes hold text, as Jet reads them
}

TEST(ParseSelect, DoubleQuotedTextUndoublesItsOwnQuoteOnly) {
    EXPECT_EQ(Parse(u"select a from t where a=\"say \"\"hi\"\" it's\"").where.compare.literal, u"say \"hi\" it's");
    EXPECT_EQ(Parse(u"select a from t where a='\"'").where.compare.literal, u"\"");
}

TEST(ParseSelect, TopCountAliasesAndOrder) {
    SelectStatement s = Parse(u"SELECT TOP 10 a AS x, [b c] FROM t ORDER BY a DESC, [b c] asc, d");
    EXPECT_EQ(s.top, 10);
    ASSERT_EQ(s.columns.size(), 2u);
    EXPECT_EQ(s.columns[0].alias, u"x");
    EXPECT_EQ(s.columns[1].alias, u"");
    ASSERT_EQ(s.orderBy.size(), 3u);
    EXPECT_TRUE(s.orderBy[0].descending);
    EXPECT_FALSE(s.orderBy[1].descending);
    EXPECT_EQ(s.orderBy[1].column, u"b c");
    EXPECT_FALSE(s.orderBy[2].descending);
    SelectStatement c = Parse(u"select count ( * ) as n from t where a like 'W*';");
    EXPECT_TRUE(c.count);
    EXPECT_EQ(c.countAlias, u"n");
    EXPECT_EQ(Parse(u"select count(*) from t").countAlias, u"");
    EXPECT_EQ(Parse(u"select a from t").top, -1);
}

TEST(ParseSelect, WritesAreRefusedAsReadOnlyEverythingElseAsSyntax) {
    const char16_t* writes[] = {u"update t set a='1'", u"DELETE FROM t", u"insert into t values ('a')",
                                u"drop table t", u"create table t (a text)", u"alter table t add b text",
                                u"select a into u from t"};
    for (const char16_t* sql : writes) {
        SelectStatement s;
        ado::SqlError error;
        EXPECT_FALSE(ParseSelect(sql, &s, &error));
        EXPECT_EQ(error.fault, SqlFault::ReadOnly);
        EXPECT_NE(error.text.find("read-only"), std::string::npos) << error.text;
    }
    SelectStatement s;
    ado::SqlError error;
    EXPECT_FALSE(ParseSelect(u"selec a from t", &s, &error));
    EXPECT_EQ(error.fault, SqlFault::Syntax);
    EXPECT_EQ(Refusal(u"delete from t"), "The database is open read-only: DELETE statements are refused.");
}

TEST(ParseSelect, NestingIsBoundedNotFollowedDownTheStack) {
    std::u16string deep = u"select a from t where ";
    for (int i = 0; i < 10000; ++i) deep += u"(";
    EXPECT_EQ(Refusal(deep), "Syntax error: conditions nested too deeply.");
    std::u16string nots = u"select a from t where ";
    for (int i = 0; i < 10000; ++i) nots += u"not ";
    EXPECT_EQ(Refusal(nots + u"a='1'"), "Syntax error: conditions nested too deeply.");
    std::u16string fine = u"select a from t where ";
    for (int i = 0; i < 30; ++i) fine += u"(";
    fine += u"a='1'";
    for (int i = 0; i < 30; ++i) fine += u")";
    EXPECT_EQ(Parse(fine).where.compare.literal, u"1");
}
