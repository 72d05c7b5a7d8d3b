#include "jetsql/query.h"

#include <gtest/gtest.h>

#include "jetsql/memory_source.h"
#include "counting_source.h"
#include "sample_tables.h"
#include "sql_text.h"

namespace {

// The sample table in memory, counting how each query reached its rows.
class CountingSource : public jetsql_test::CountingSource {
public:
    CountingSource() : jetsql_test::CountingSource(memory_) {}

private:
    jetsql::MemorySource memory_{{jetsql_test::ApiConstTable()}};
};

jetsql::ResultSet Query(CountingSource& source, std::u16string_view sql) {
    jetsql::ResultSet rs;
    std::string error;
    EXPECT_TRUE(jetsql::RunSql(source, sql, &rs, &error)) << error;
    return rs;
}

std::string Refusal(std::u16string_view sql) {
    CountingSource source;
    jetsql::ResultSet rs;
    std::string error;
    EXPECT_FALSE(jetsql::RunSql(source, sql, &rs, &error));
    return error;
}

jetsql::SqlFault FaultOf(std::u16string_view sql) {
    CountingSource source;
    jetsql::ResultSet rs;
    jetsql::SqlError error;
    EXPECT_FALSE(jetsql::RunSql(source, sql, {}, &rs, &error));
    return error.fault;
}

// The 序号 column of each row, in result order.
std::vector<std::int64_t> Numbers(const jetsql::ResultSet& rs) {
    std::vector<std::int64_t> out;
    for (const jetsql::Row& row : rs.rows) out.push_back(row.back().integer);
    return out;
}

using N = std::vector<std::int64_t>;

}  // namespace

TEST(RunSql, TheProgramsQueryMatchesLettersWithoutCaseThroughTheIndex) {
    CountingSource source;
    jetsql::ResultSet rs = Query(source, u"select 常量值,备注 from api_const where 宏或常量名='Wm_Create'");
    EXPECT_EQ(source.scans, 0);
    EXPECT_EQ(source.lookups, 1);
    ASSERT_EQ(rs.columns.size(), 2u);
    EXPECT_EQ(rs.columns[0].name, u"常量值");
    EXPECT_EQ(rs.columns[1].type, jet::ColumnType::Memo);
    ASSERT_EQ(rs.rows.size(), 2u);  // both spellings, in stored order
    EXPECT_EQ(rs.rows[0][0].text, u"0001");
    EXPECT_EQ(rs.rows[1][0].text, u"");
    EXPECT_EQ(rs.rows[1][1].text, u"lower-case twin");
}

TEST(RunSql, NonAsciiAndQuotesCompareExactly) {
    CountingSource source;
    EXPECT_EQ(Query(source, u"select 常量值 from api_const where 宏或常量名='常量'").rows.size(), 1u);
    EXPECT_EQ(Query(source, u"select 常量值 from api_const where 宏或常量名='it''s'").rows.size(), 1u);
    EXPECT_EQ(Query(source, u"select 常量值 from api_const where 宏或常量名='WM_CREATE '").rows.size(), 0u);
    EXPECT_EQ(Query(source, u"select 常量值 from api_const where 宏或常量名='NOPE'").rows.size(), 0u);
}

TEST(RunSql, AndFiltersTheLookedUpRows) {
    CountingSource source;
    auto rs = Query(source, u"select [序号] from API_CONST where 宏或常量名='wm_create' and 常量值=''");
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(rs.rows[0][0].integer, 3);
    // A Null never equals a literal, not even the empty one.
    EXPECT_EQ(Query(source, u"select * from api_const where 备注=''").rows.size(), 0u);
}

TEST(RunSql, StarGivesEveryColumnInStoredOrderAndScans) {
    CountingSource source;
    auto rs = Query(source, u"SELECT * FROM api_const");
    EXPECT_EQ(source.scans, 1);
    ASSERT_EQ(rs.columns.size(), 4u);
    EXPECT_EQ(rs.columns[3].name, u"序号");
    EXPECT_EQ(rs.rows.size(), 5u);
    EXPECT_TRUE(rs.rows[1][2].IsNull());
}

TEST(RunSql, ColumnsMayRepeatAndTakeAnyCase) {
    CountingSource source;
    auto rs = Query(source, u"select 常量值, 常量值, [宏或常量名] from Api_Const where 宏或常量名='WS_OVERLAPPEDWINDOW'");
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(rs.rows[0][1].text, u"13565952");
    EXPECT_EQ(rs.rows[0][2].text, u"WS_OVERLAPPEDWINDOW");
}

TEST(RunSql, RefusesUnknownNamesAndConditionsOnNumbers) {
    EXPECT_EQ(Refusal(u"select a from nowhere"), "The table 'nowhere' does not exist.");
    EXPECT_EQ(Refusal(u"select 值 from api_const"), u8"The table 'api_const' has no column '值'.");
    EXPECT_EQ(Refusal(u"select * from api_const where 值='1'"), u8"The table 'api_const' has no column '值'.");
    EXPECT_NE(Refusal(u"select * from api_const where 序号='1'").find("Data type mismatch"), std::string::npos);
    EXPECT_NE(Refusal(u"select * from api_const where").find("Syntax error"), std::string::npos);
}

TEST(RunSql, EachRefusalNamesItsFault) {
    EXPECT_EQ(FaultOf(u"select a from nowhere"), jetsql::SqlFault::UnknownTable);
    EXPECT_EQ(FaultOf(u"select 值 from api_const"), jetsql::SqlFault::UnknownColumn);
    EXPECT_EQ(FaultOf(u"select * from api_const order by 值"), jetsql::SqlFault::UnknownColumn);
    EXPECT_EQ(FaultOf(u"select * from api_const where 常量值='1' or 值 like 'a'"), jetsql::SqlFault::UnknownColumn);
    EXPECT_EQ(FaultOf(u"select * from api_const where 序号 = '1'"), jetsql::SqlFault::TypeMismatch);
    EXPECT_EQ(FaultOf(u"select * from api_const where 宏或常量名 > 1"), jetsql::SqlFault::TypeMismatch);
    EXPECT_EQ(FaultOf(u"select * from api_const where 宏或常量名 like 'W[M'"), jetsql::SqlFault::Syntax);
    EXPECT_EQ(FaultOf(u"select * from api_const where"), jetsql::SqlFault::Syntax);
    EXPECT_EQ(FaultOf(u"insert into api_const values ('a')"), jetsql::SqlFault::ReadOnly);
}

TEST(RunSql, OrNotAndParenthesesFollowSqlsThreeValues) {
    CountingSource source;
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where 宏或常量名=\"常量\" or 常量值='7'")), (N{4, 5}));
    EXPECT_EQ(source.scans, 1);  // no comparison holds for every row: nothing to seek
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where 宏或常量名='wm_create' and (常量值='' or 常量值='x')")),
              (N{3}));
    EXPECT_EQ(source.lookups, 1);
    // A Null remark is neither equal nor unequal to anything, and NOT of unknown stays unknown.
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where 备注<>'quote'")), (N{1, 3, 5}));
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where not 备注='quote'")), (N{1, 3, 5}));
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where not (备注='quote' or 常量值='42')")), (N{1, 3}));
}

TEST(RunSql, LikeWithAFixedPrefixSeeksAndFiltersTheRest) {
    CountingSource source;
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where 宏或常量名 like 'wm*'")), (N{1, 3}));
    EXPECT_EQ(source.prefixLookups, 1);
    EXPECT_EQ(source.lastPrefix, u"WM");
    EXPECT_EQ(source.scans, 0);
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where 宏或常量名 like 'W_[_]%'")), (N{1, 2, 3}));
    EXPECT_EQ(source.lastPrefix, u"W");
    // A leading wildcard scans.
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const where 宏或常量名 like '%create'")), (N{1, 3}));
    EXPECT_EQ(source.scans, 1);
    // An equality elsewhere in the AND is preferred for the seek.
    Query(source, u"select 序号 from api_const where 宏或常量名 like 'W%' and 常量值='0001'");
    EXPECT_EQ(source.lookups, 1);
    EXPECT_EQ(source.prefixLookups, 2);
}

TEST(RunSql, OrderByTopAndAliases) {
    CountingSource source;
    auto rs = Query(source, u"select 宏或常量名 as 名, 序号 from api_const order by 宏或常量名 desc, 序号");
    EXPECT_EQ(rs.columns[0].name, u"名");
    EXPECT_EQ(rs.columns[1].name, u"序号");
    // Case folds: WS > wm_create = WM_CREATE (kept in 序号 order) > IT'S; non-ASCII after ASCII.
    EXPECT_EQ(Numbers(rs), (N{5, 2, 1, 3, 4}));
    EXPECT_EQ(Numbers(Query(source, u"select top 2 序号 from api_const order by 序号 desc")), (N{5, 4}));
    EXPECT_EQ(Numbers(Query(source, u"select top 0 序号 from api_const")), N{});
    EXPECT_EQ(Numbers(Query(source, u"select top 99 序号 from api_const")).size(), 5u);
    // Null sorts first; a sort column need not be selected.
    EXPECT_EQ(Numbers(Query(source, u"select 序号 from api_const order by 备注")).front(), 2);
}

TEST(RunSql, CountWithoutWhereAsksTheSourceWithWhereCountsMatches) {
    CountingSource source;
    auto all = Query(source, u"select count(*) from api_const");
    EXPECT_EQ(source.counts, 1);
    EXPECT_EQ(source.scans, 0);
    ASSERT_EQ(all.columns.size(), 1u);
    EXPECT_EQ(all.columns[0].name, u"Expr1000");
    EXPECT_EQ(all.columns[0].type, jet::ColumnType::LongInteger);
    ASSERT_EQ(all.rows.size(), 1u);
    EXPECT_EQ(all.rows[0][0].integer, 5);
    auto some = Query(source, u"select count(*) as n from api_const where 宏或常量名='wm_create'");
    EXPECT_EQ(some.columns[0].name, u"n");
    EXPECT_EQ(some.rows[0][0].integer, 2);
    EXPECT_EQ(Query(source, u"select count(*) from api_const where 宏或常量名='none'").rows[0][0].integer, 0);
}
