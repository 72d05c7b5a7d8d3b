#include "jetsql/sql.h"
#include "sql_text.h"

#include <gtest/gtest.h>

using jetsql::Condition;
using jetsql::Operand;
using jetsql::ParseSelect;
using jetsql::SelectStatement;
using jetsql::SqlFault;

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

jetsql::SqlError Error(std::u16string_view sql) {
    SelectStatement s;
    jetsql::SqlError error;
    EXPECT_FALSE(ParseSelect(sql, &s, &error));
    return error;
}

// The text of the literal the WHERE's one comparison ends with.
std::u16string LiteralText(std::u16string_view sql) { return Parse(sql).where.operands.at(1).literal.value.text; }

const jetsql::TypedValue& Literal(const SelectStatement& s) { return s.where.operands.at(1).literal; }

}  // namespace

TEST(ParseSelect, TheProgramsQuery) {
    SelectStatement s = Parse(u"select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'");
    EXPECT_FALSE(s.allColumns);
    ASSERT_EQ(s.columns.size(), 2u);
    EXPECT_EQ(s.columns[0].value.column.column, u"常量值");
    EXPECT_EQ(s.columns[1].value.column.column, u"备注");
    ASSERT_EQ(s.tables.size(), 1u);
    EXPECT_EQ(s.tables[0].name, u"api_const");
    ASSERT_TRUE(s.hasWhere);
    EXPECT_EQ(s.where.kind, Condition::Kind::Compare);
    EXPECT_EQ(s.where.op, Condition::Op::Equal);
    EXPECT_EQ(s.where.operands[0].column.column, u"宏或常量名");
    EXPECT_EQ(Literal(s).type, jet::ColumnType::Text);
    EXPECT_EQ(Literal(s).value.text, u"WM_CREATE");
    EXPECT_EQ(s.parameterCount, 0u);
}

TEST(ParseSelect, StarBracketsKeywordCaseAndSemicolon) {
    SelectStatement s = Parse(u"  SeLeCt\t*\r\nFROM [api const]  WHERE [select]='a' aNd b = 'B' ;  ");
    EXPECT_TRUE(s.allColumns);
    EXPECT_TRUE(s.columns.empty());
    EXPECT_EQ(s.tables[0].name, u"api const");
    ASSERT_EQ(s.where.kind, Condition::Kind::And);
    ASSERT_EQ(s.where.parts.size(), 2u);
    EXPECT_EQ(s.where.parts[0].operands[0].column.column, u"select");
    EXPECT_EQ(s.where.parts[1].operands[0].column.column, u"b");
    EXPECT_EQ(s.where.parts[1].operands[1].literal.value.text, u"B");
}

TEST(ParseSelect, LiteralsKeepTheirTextAndUndoubleQuotes) {
    EXPECT_EQ(LiteralText(u"select a from t where a='it''s'"), u"it's");
    EXPECT_EQ(LiteralText(u"select a from t where a=''''"), u"'");
    EXPECT_EQ(LiteralText(u"select a from t where a=''"), u"");
    EXPECT_EQ(LiteralText(u"select a from t where a=' x  AND y=''z'' '"), u" x  AND y='z' ");
    EXPECT_EQ(LiteralText(u"select a from t where a='中文;[]*#?'"), u"中文;[]*#?");
    EXPECT_EQ(LiteralText(u"select a from t where a=\"say \"\"hi\"\" it's\""), u"say \"hi\" it's");
    EXPECT_EQ(LiteralText(u"select a from t where a='\"'"), u"\"");
}

TEST(ParseSelect, NumbersDatesAndConstantsAreTyped) {
    struct Case {
        const char16_t* literal;
        jet::ColumnType type;
        jet::Value value;
    } cases[] = {
        {u"42", jet::ColumnType::LongInteger, jet::Value::FromInteger(42)},
        {u"-7", jet::ColumnType::LongInteger, jet::Value::FromInteger(-7)},
        {u"+7", jet::ColumnType::LongInteger, jet::Value::FromInteger(7)},
        {u"2147483647", jet::ColumnType::LongInteger, jet::Value::FromInteger(2147483647)},
        {u"2147483648", jet::ColumnType::Double, jet::Value::FromDouble(2147483648.0)},
        {u"-2147483648", jet::ColumnType::LongInteger, jet::Value::FromInteger(-2147483648LL)},
        {u"1.5", jet::ColumnType::Double, jet::Value::FromDouble(1.5)},
        {u".25", jet::ColumnType::Double, jet::Value::FromDouble(0.25)},
        {u"1e3", jet::ColumnType::Double, jet::Value::FromDouble(1000)},
        {u"2.5E-1", jet::ColumnType::Double, jet::Value::FromDouble(0.25)},
        {u"#1/2/2020#", jet::ColumnType::DateTime, jet::Value::FromDouble(43832)},
        {u"#2020-01-02 12:00#", jet::ColumnType::DateTime, jet::Value::FromDouble(43832.5)},
        {u"TRUE", jet::ColumnType::Boolean, jet::Value::FromInteger(1)},
        {u"false", jet::ColumnType::Boolean, jet::Value::FromInteger(0)},
        {u"Null", jet::ColumnType::Text, jet::Value::Null()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::u16string(c.literal).size());
        SelectStatement s = Parse(u"select a from t where a = " + std::u16string(c.literal));
        EXPECT_EQ(Literal(s).type, c.type);
        EXPECT_EQ(Literal(s).value, c.value);
    }
}

TEST(ParseSelect, EveryPredicateForm) {
    SelectStatement s = Parse(
        u"select * from t where a < 1 and a <= 2 and a > 3 and a >= 4 and a <> 5 and 6 = a and b between 1 and #1/1/2000# "
        u"and c not between 'a' and 'b' and d in (1, 'x', null) and e not in (2) and f is null and g is not null "
        u"and h like 'x*' and i not like 'y' and flag and not flag");
    ASSERT_EQ(s.where.kind, Condition::Kind::And);
    const auto& p = s.where.parts;
    ASSERT_EQ(p.size(), 16u);
    EXPECT_EQ(p[0].op, Condition::Op::Less);
    EXPECT_EQ(p[1].op, Condition::Op::LessEqual);
    EXPECT_EQ(p[2].op, Condition::Op::Greater);
    EXPECT_EQ(p[3].op, Condition::Op::GreaterEqual);
    EXPECT_EQ(p[4].op, Condition::Op::NotEqual);
    EXPECT_EQ(p[5].operands[0].kind, Operand::Kind::Literal);  // the literal may come first
    EXPECT_EQ(p[6].kind, Condition::Kind::Between);
    EXPECT_FALSE(p[6].negated);
    EXPECT_EQ(p[6].operands.size(), 3u);
    EXPECT_EQ(p[6].operands[2].literal.type, jet::ColumnType::DateTime);
    EXPECT_TRUE(p[7].negated);
    EXPECT_EQ(p[8].kind, Condition::Kind::In);
    EXPECT_EQ(p[8].operands.size(), 4u);
    EXPECT_TRUE(p[8].operands[3].literal.value.IsNull());
    EXPECT_TRUE(p[9].negated);
    EXPECT_EQ(p[10].kind, Condition::Kind::IsNull);
    EXPECT_FALSE(p[10].negated);
    EXPECT_TRUE(p[11].negated);
    EXPECT_EQ(p[12].kind, Condition::Kind::Like);
    EXPECT_TRUE(p[13].negated);
    EXPECT_EQ(p[14].kind, Condition::Kind::Truth);
    EXPECT_EQ(p[15].kind, Condition::Kind::Not);
}

TEST(ParseSelect, ParametersAreNumberedInTheOrderTheyStand) {
    SelectStatement s = Parse(u"select * from t where a = ? and b between ? and ? or c in (?, 1) and d like ?");
    EXPECT_EQ(s.parameterCount, 5u);
    const Condition& first = s.where.parts[0].parts[0];
    EXPECT_EQ(first.operands[1].kind, Operand::Kind::Parameter);
    EXPECT_EQ(first.operands[1].parameter, 0u);
    EXPECT_EQ(s.where.parts[0].parts[1].operands[2].parameter, 2u);
    EXPECT_EQ(s.where.parts[1].parts[1].operands[1].parameter, 4u);
}

TEST(ParseSelect, JoinsQualifiedNamesAndAliases) {
    SelectStatement s = Parse(
        u"select h.name, c.*, [c].[value] as v from (header as h inner join constant c on h.id = c.header) "
        u"inner join kind on kind.id = c.kind, extra where h.id > 1");
    ASSERT_EQ(s.tables.size(), 4u);
    EXPECT_EQ(s.tables[0].name, u"header");
    EXPECT_EQ(s.tables[0].alias, u"h");
    EXPECT_EQ(s.tables[1].alias, u"c");
    EXPECT_EQ(s.tables[2].alias, u"");
    EXPECT_EQ(s.tables[3].name, u"extra");
    ASSERT_EQ(s.joinConditions.size(), 2u);
    EXPECT_EQ(s.joinConditions[0].operands[0].column.table, u"h");
    EXPECT_EQ(s.joinConditions[0].operands[1].column.column, u"header");
    ASSERT_EQ(s.columns.size(), 3u);
    EXPECT_EQ(s.columns[0].value.column.table, u"h");
    EXPECT_EQ(s.columns[1].kind, jetsql::SelectItem::Kind::AllOf);
    EXPECT_EQ(s.columns[1].table, u"c");
    EXPECT_EQ(s.columns[2].value.column.table, u"c");
    EXPECT_EQ(s.columns[2].alias, u"v");
}

TEST(ParseSelect, AggregatesGroupingHavingDistinctAndTop) {
    SelectStatement s = Parse(
        u"select distinct top 25 percent kind, count(*), count(name) as n, min(v), max(v), sum(v), avg(v) from t "
        u"group by kind, t.sub having count(*) > 1 and sum(v) < 10 order by count(*) desc, kind");
    EXPECT_TRUE(s.distinct);
    EXPECT_EQ(s.top, -1);
    EXPECT_EQ(s.topPercent, 25);
    ASSERT_EQ(s.columns.size(), 7u);
    EXPECT_EQ(s.columns[1].value.kind, Operand::Kind::Aggregate);
    EXPECT_TRUE(s.columns[1].value.star);
    EXPECT_EQ(s.columns[2].value.aggregate, jetsql::Aggregate::Count);
    EXPECT_EQ(s.columns[2].value.column.column, u"name");
    EXPECT_EQ(s.columns[2].alias, u"n");
    EXPECT_EQ(s.columns[6].value.aggregate, jetsql::Aggregate::Avg);
    ASSERT_EQ(s.groupBy.size(), 2u);
    EXPECT_EQ(s.groupBy[1].table, u"t");
    EXPECT_TRUE(s.hasHaving);
    EXPECT_EQ(s.having.parts[1].operands[0].aggregate, jetsql::Aggregate::Sum);
    ASSERT_EQ(s.orderBy.size(), 2u);
    EXPECT_TRUE(s.orderBy[0].key.star);
    EXPECT_TRUE(s.orderBy[0].descending);
    EXPECT_EQ(Parse(u"select top 3 a from t").top, 3);
    EXPECT_EQ(Parse(u"select top 100 percent a from t").topPercent, 100);
    EXPECT_EQ(Parse(u"select top 0.5 percent a from t").topPercent, 0.5);
    EXPECT_EQ(Parse(u"select all a from t").top, -1);
    EXPECT_EQ(Parse(u"select count ( * ) as n from t where a like 'W*';").columns[0].alias, u"n");
}

TEST(ParseSelect, NoSpaceNeededAroundPunctuation) {
    SelectStatement s = Parse(u"select[a],b,c from[t]where[a]='1'and b<=2and(c>=#1/1/2001#)");
    EXPECT_EQ(s.columns.size(), 3u);
    EXPECT_EQ(s.tables[0].name, u"t");
    EXPECT_EQ(s.where.parts.size(), 3u);
}

TEST(ParseSelect, RefusesMalformedStatementsAsSyntax) {
    const char16_t* bad[] = {
        u"",
        u"   ",
        u"select from t",
        u"select a from",
        u"select a, from t",
        u"select a b from t",
        u"select * , a from t",
        u"select a from t where",
        u"select a from t where a='x' and",
        u"select a from t where a like",
        u"select a from t where (a='x'",
        u"select a from t where a='x')",
        u"select a from t where not",
        u"select a from t where a='x' or",
        u"select a from t where ()",
        u"select top from t",
        u"select top 1.5 a from t",
        u"select top -1 a from t",
        u"select top 0 percent a from t",
        u"select top 101 percent a from t",
        u"select a as from t",
        u"select a from t order a",
        u"select a from t order by",
        u"select a from t order by a,",
        u"select a from t order by a desc desc",
        u"select a from t where a='1' order by a where b='2'",
        u"select a from t where a='unterminated",
        u"select a from t where a=''''''x",
        u"select [a from t",
        u"select [] from t",
        u"select a from t; select b from t",
        u"select a from t;;",
        u"select select from t",
        u"select a from where",
        u"select a from t where and='x'",
        u"select a from t where a=='x'",
        u"select a from t where a = #13/13/2020#",
        u"select a from t where a = #1/2/2020",
        u"select a from t where a between 1",
        u"select a from t where a between 1 or 2",
        u"select a from t where a in 1",
        u"select a from t where a in (1,",
        u"select a from t where a is 1",
        u"select a from t where a not = 1",
        u"select a from t join u on t.a = u.a",
        u"select a from t inner join u",
        u"select a from t inner join u on",
        u"select a from (t inner join u on t.a = u.a",
        u"select a from t group a",
        u"select a from t group by count(*)",
        u"select count( from t",
        u"select count(*",
        u"select min(*) from t",
        u"select a. from t",
        u"select a from t where a = 1..2",
        u"select a from t where a = $5",
    };
    for (const char16_t* sql : bad) {
        SCOPED_TRACE(std::u16string(sql).size());
        const jetsql::SqlError error = Error(sql);
        EXPECT_EQ(error.fault, SqlFault::Syntax) << error.text;
        EXPECT_EQ(error.text.rfind("Syntax error: ", 0), 0u) << error.text;
    }
}

TEST(ParseSelect, JetSqlBeyondTheEngineIsRefusedByName) {
    struct Case {
        const char16_t* sql;
        const char* names;
    } cases[] = {
        {u"select a from t left join u on t.a = u.a", "LEFT JOIN"},
        {u"select a from t right outer join u on t.a = u.a", "RIGHT JOIN"},
        {u"select a from t where a in (select b from u)", "Subqueries"},
        {u"select a from (select a from t)", "Subqueries"},
        {u"select a from t where exists (select b from u)", "EXISTS"},
        {u"select a + 1 from t", "Arithmetic in the column list"},
        {u"select a from t where a + 1 = 2", "Arithmetic in conditions"},
        {u"select a from t where a = 1 - b", "Arithmetic in conditions"},
        {u"select ucase(a) from t", "The function ucase"},
        {u"select a from t where len(a) = 1", "The function len"},
        {u"select first(a) from t", "The function first"},
        {u"select count(distinct a) from t", "DISTINCT inside an aggregate"},
        {u"select sum(a * 2) from t", "Arithmetic inside an aggregate"},
        {u"select 1 from t", "Constants in the column list"},
        {u"select a from t union select a from u", "UNION"},
        {u"select distinctrow a from t", "DISTINCTROW"},
        {u"transform count(*) select a from t group by a pivot b", "TRANSFORM statements"},
        {u"parameters x long; select a from t", "PARAMETERS statements"},
        {u"select a from t order by 1", "ORDER BY a column position"},
        {u"select a from [c:\\other.mdb].t", "Tables of another database"},
        {u"select a from t in 'c:\\other.mdb'", "Tables of another database"},
    };
    for (const Case& c : cases) {
        const jetsql::SqlError error = Error(c.sql);
        EXPECT_EQ(error.fault, SqlFault::Unsupported) << error.text;
        EXPECT_EQ(error.text.rfind(c.names, 0), 0u) << error.text;
        EXPECT_NE(error.text.find("not supported"), std::string::npos) << error.text;
    }
}

TEST(ParseSelect, FailureLeavesOutputUntouchedAndSaysWhere) {
    SelectStatement s;
    s.top = 77;
    std::string error;
    EXPECT_FALSE(ParseSelect(u"select a from t where a='x", &s, &error));
    EXPECT_EQ(s.top, 77);
    EXPECT_EQ(error, "Syntax error: unterminated text literal.");
    EXPECT_EQ(Refusal(u"select a frm t"), "Syntax error: FROM expected after the column list.");
    EXPECT_EQ(Refusal(u"select a from t where a = #31/31/2020#"), "Syntax error: malformed date #31/31/2020#.");
    EXPECT_EQ(Refusal(u"select a from t where a ~ 1"), "Syntax error: unexpected character '~'.");
}

TEST(ParseSelect, OrBindsLooserThanAndAndParenthesesGroup) {
    SelectStatement s = Parse(u"select * from t where a='1' or b='2' and not c<>'3' or (d like 'x%' or e=\"4\")");
    ASSERT_EQ(s.where.kind, Condition::Kind::Or);
    ASSERT_EQ(s.where.parts.size(), 3u);
    const Condition& middle = s.where.parts[1];
    ASSERT_EQ(middle.kind, Condition::Kind::And);
    EXPECT_EQ(middle.parts[1].kind, Condition::Kind::Not);
    EXPECT_EQ(middle.parts[1].parts[0].op, Condition::Op::NotEqual);
    const Condition& group = s.where.parts[2];
    ASSERT_EQ(group.kind, Condition::Kind::Or);
    EXPECT_EQ(group.parts[0].kind, Condition::Kind::Like);
    EXPECT_EQ(group.parts[0].operands[1].literal.value.text, u"x%");
    EXPECT_EQ(group.parts[1].operands[1].literal.value.text, u"4");  // double quotes hold text, as Jet reads them
}

TEST(ParseSelect, TopAliasesAndOrder) {
    SelectStatement s = Parse(u"SELECT TOP 10 a AS x, [b c] FROM t ORDER BY a DESC, [b c] asc, t.d");
    EXPECT_EQ(s.top, 10);
    ASSERT_EQ(s.columns.size(), 2u);
    EXPECT_EQ(s.columns[0].alias, u"x");
    EXPECT_EQ(s.columns[1].alias, u"");
    ASSERT_EQ(s.orderBy.size(), 3u);
    EXPECT_TRUE(s.orderBy[0].descending);
    EXPECT_FALSE(s.orderBy[1].descending);
    EXPECT_EQ(s.orderBy[1].key.column.column, u"b c");
    EXPECT_EQ(s.orderBy[2].key.column.table, u"t");
    EXPECT_EQ(Parse(u"select a from t").top, -1);
}

TEST(ParseSelect, WritesAreRefusedAsReadOnlyEverythingElseAsSyntax) {
    const char16_t* writes[] = {u"update t set a='1'", u"DELETE FROM t", u"insert into t values ('a')",
                                u"drop table t", u"create table t (a text)", u"alter table t add b text",
                                u"select a into u from t", u"grant select on t to x"};
    for (const char16_t* sql : writes) {
        const jetsql::SqlError error = Error(sql);
        EXPECT_EQ(error.fault, SqlFault::ReadOnly);
        EXPECT_NE(error.text.find("read-only"), std::string::npos) << error.text;
    }
    EXPECT_EQ(Error(u"selec a from t").fault, SqlFault::Syntax);
    EXPECT_EQ(Refusal(u"delete from t"), "The database is open read-only: DELETE statements are refused.");
}

TEST(ParseSelect, NestingIsBoundedNotFollowedDownTheStack) {
    std::u16string deep = u"select a from t where ";
    for (int i = 0; i < 10000; ++i) deep += u"(";
    EXPECT_EQ(Refusal(deep), "Syntax error: conditions nested too deeply.");
    std::u16string nots = u"select a from t where ";
    for (int i = 0; i < 10000; ++i) nots += u"not ";
    EXPECT_EQ(Refusal(nots + u"a='1'"), "Syntax error: conditions nested too deeply.");
    std::u16string joins = u"select a from ";
    for (int i = 0; i < 10000; ++i) joins += u"(";
    EXPECT_EQ(Refusal(joins + u"t"), "Syntax error: joins nested too deeply.");
    std::u16string fine = u"select a from t where ";
    for (int i = 0; i < 30; ++i) fine += u"(";
    fine += u"a='1'";
    for (int i = 0; i < 30; ++i) fine += u")";
    EXPECT_EQ(LiteralText(fine), u"1");
}

TEST(ParseCriteria, AdoClausesWithTheirValues) {
    Condition c;
    jetsql::SqlError error;
    ASSERT_TRUE(jetsql::ParseCriteria(u"Name = 'O''Hara' AND [Unit Price] > $1.50 OR born >= #4/10/70#", &c, &error))
        << error.text;
    ASSERT_EQ(c.kind, Condition::Kind::Or);
    const Condition& both = c.parts[0];
    EXPECT_EQ(both.parts[0].operands[1].literal.value.text, u"O'Hara");
    EXPECT_EQ(both.parts[1].operands[0].column.column, u"Unit Price");
    EXPECT_EQ(both.parts[1].operands[1].literal.type, jet::ColumnType::Currency);
    EXPECT_EQ(both.parts[1].operands[1].literal.value.real, 1.5);
    EXPECT_EQ(c.parts[1].operands[1].literal.type, jet::ColumnType::DateTime);
    // #...# that is no date is text, as ADO writes a value with quotes at both ends.
    ASSERT_TRUE(jetsql::ParseCriteria(u"a = #'1'#", &c, &error));
    EXPECT_EQ(c.operands[1].literal.value.text, u"'1'");
    // = Null and <> Null test for Null.
    ASSERT_TRUE(jetsql::ParseCriteria(u"a <> NULL", &c, &error));
    EXPECT_EQ(c.kind, Condition::Kind::IsNull);
    EXPECT_TRUE(c.negated);
    ASSERT_TRUE(jetsql::ParseCriteria(u"(a = 1 AND b = 2) OR (a = 2 AND b = 1)", &c, &error));
    EXPECT_EQ(c.parts.size(), 2u);
}

TEST(ParseCriteria, RefusesWhatAdoRefusesAsABadArgument) {
    const char16_t* bad[] = {
        u"",
        u"a",
        u"a =",
        u"= 1",
        u"1 = a",
        u"a = b",
        u"a = ?",
        u"a < Null",
        u"a like 5",
        u"a between 1 and 2",
        u"a in (1, 2)",
        u"a is null",
        u"(a = 1 OR a = 2) AND b = 3",
        u"b = 3 AND (a = 1 OR a = 2)",
        u"a = 1 extra",
        u"len(a) = 1",
        u"count(a) = 1",
        u"a = 'open",
    };
    for (const char16_t* criteria : bad) {
        SCOPED_TRACE(std::u16string(criteria).size());
        Condition c;
        jetsql::SqlError error;
        EXPECT_FALSE(jetsql::ParseCriteria(criteria, &c, &error));
        EXPECT_TRUE(error.fault == SqlFault::Syntax || error.fault == SqlFault::Unsupported) << error.text;
        EXPECT_FALSE(error.text.empty());
    }
}
