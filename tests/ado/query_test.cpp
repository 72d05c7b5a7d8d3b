#include "ado/query.h"

#include <gtest/gtest.h>

#include "ado/memory_source.h"
#include "sample_tables.h"

namespace {

// Counts how the query reached the rows.
class CountingSource : public ado::DataSource {
public:
    CountingSource() : inner_({ado_test::ApiConstTable()}) {}
    const ado::TableShape* FindTable(std::u16string_view name) override { return inner_.FindTable(name); }
    std::vector<ado::Row> ReadAll(const ado::TableShape& t) override {
        ++scans;
        return inner_.ReadAll(t);
    }
    std::vector<ado::Row> Lookup(const ado::TableShape& t, std::size_t c, std::u16string_view text) override {
        ++lookups;
        return inner_.Lookup(t, c, text);
    }
    int scans = 0, lookups = 0;

private:
    ado::MemorySource inner_;
};

ado::ResultSet Query(CountingSource& source, std::u16string_view sql) {
    ado::ResultSet rs;
    std::string error;
    EXPECT_TRUE(ado::RunSql(source, sql, &rs, &error)) << error;
    return rs;
}

std::string Refusal(std::u16string_view sql) {
    CountingSource source;
    ado::ResultSet rs;
    std::string error;
    EXPECT_FALSE(ado::RunSql(source, sql, &rs, &error));
    return error;
}

}  // namespace

TEST(RunSql, TheProgramsQueryMatchesLettersWithoutCaseThroughTheIndex) {
    CountingSource source;
    ado::ResultSet rs = Query(source, u"select 常量值,备注 from api_const where 宏或常量名='Wm_Create'");
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
