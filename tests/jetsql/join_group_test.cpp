// Joins, grouping with aggregates, DISTINCT, ORDER BY with Nulls and TOP
// with ties, over the written catalog file.
#include "catalog_fixture.h"

using jetsql::SqlFault;
using jetsql_test::CatalogTest;

using JoinQuery = CatalogTest;
using GroupQuery = CatalogTest;
using OrderQuery = CatalogTest;

TEST_F(JoinQuery, InnerJoinKeepsMatchedRowsInTheOrderOfTheFirstTable) {
    EXPECT_EQ(Rows(u"select c.name, h.file from constant c inner join header h on c.header = h.id"),
              "WM_CREATE|winuser.h,WM_DESTROY|winuser.h,WM_PAINT|winuser.h,INFINITE|winbase.h,WAIT_OBJECT_0|winbase.h,"
              "LVM_FIRST|commctrl.h,S_OK|WinError.h,E_FAIL|WinError.h");
    EXPECT_EQ(Rows(u"select h.id, name from header as h inner join constant on h.id = constant.header where h.id > 2"),
              "3|LVM_FIRST,5|S_OK,5|E_FAIL");
    // The comma form with the equality in WHERE.
    EXPECT_EQ(Rows(u"select c.name, k.meaning from constant c, kind k where c.kind = k.name and c.value > 0"),
              "WM_CREATE|Window messages,WM_DESTROY|Window messages,WM_PAINT|Window messages,"
              "LVM_FIRST|Window messages");
    EXPECT_EQ(Rows(u"select k.*, c.name from kind k inner join constant c on k.name = c.kind where c.value = 0"),
              "message|Window messages|WM_NULL,wait|Wait results|WAIT_OBJECT_0");
}

TEST_F(JoinQuery, ThreeTablesInAccesssParenthesesAndConditionsBeyondTheEquality) {
    EXPECT_EQ(Rows(u"select h.file, c.name, k.meaning from (header h inner join constant c on h.id = c.header) "
                   u"inner join kind k on c.kind = k.name where h.shipped"),
              "winuser.h|WM_CREATE|Window messages,winuser.h|WM_DESTROY|Window messages,"
              "winuser.h|WM_PAINT|Window messages,commctrl.h|LVM_FIRST|Window messages,WinError.h|E_FAIL|COM results");
    EXPECT_EQ(Rows(u"select h.id, c.name from header h inner join constant c on c.header = h.id and c.value > h.rank"),
              "1|WM_PAINT,2|INFINITE,2|WAIT_OBJECT_0,3|LVM_FIRST");
    EXPECT_EQ(Rows(u"select count(*) from header, kind"), "15");
    EXPECT_EQ(Rows(u"select count(*) from header h, constant c where h.id = c.header or c.header is null"), "13");
}

TEST_F(JoinQuery, ColumnsOfOneNameFromTwoTablesAreCalledByTable) {
    jetsql::ResultSet rs = Result(u"select * from constant inner join kind on constant.kind = kind.name");
    std::vector<std::u16string> names;
    for (const auto& c : rs.columns) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"constant.name", u"value", u"header", u"kind", u"kind.name", u"meaning"}));
    rs = Result(u"select a.name, b.name, b.value as v from constant a inner join constant b on a.value = b.value "
                u"where a.name < b.name");
    EXPECT_EQ(rs.columns[0].name, u"a.name");
    EXPECT_EQ(rs.columns[1].name, u"b.name");
    EXPECT_EQ(rs.columns[2].name, u"v");
    EXPECT_EQ(jetsql_test::RowsText(rs), "WAIT_OBJECT_0|WM_NULL|0,S_OK|WAIT_OBJECT_0|0,S_OK|WM_NULL|0");
}

TEST_F(JoinQuery, NamesMustBeUnambiguousAndTablesTellable) {
    EXPECT_EQ(Refusal(u"select name from constant inner join kind on constant.kind = kind.name").fault,
              SqlFault::Ambiguous);
    EXPECT_EQ(Refusal(u"select * from constant, constant").fault, SqlFault::Syntax);
    EXPECT_EQ(Refusal(u"select * from constant c inner join kind k on c.kind = k.nosuch").fault,
              SqlFault::UnknownColumn);
    EXPECT_EQ(Refusal(u"select z.* from constant").fault, SqlFault::UnknownTable);
    EXPECT_EQ(Refusal(u"select * from constant inner join nowhere on constant.kind = nowhere.a").fault,
              SqlFault::UnknownTable);
}

TEST_F(JoinQuery, TheIndexedSideIsProbedWhenFewKeysComeAndHashedWhenMany) {
    EXPECT_EQ(Rows(u"select c.name from header h inner join constant c on h.id = c.header where h.id = 2"),
              "INFINITE,WAIT_OBJECT_0");
    EXPECT_EQ(source.lookups, 2);  // header's id, then constant's header for the one key
    EXPECT_EQ(source.scans, 0);
    EXPECT_EQ(Rows(u"select count(*) from header h inner join constant c on h.id = c.header"), "8");
    EXPECT_EQ(source.lookups, 2);
    EXPECT_EQ(source.scans, 2);  // five keys: both tables read once
}

TEST_F(GroupQuery, GroupsComeInKeyOrderNullFirst) {
    jetsql::ResultSet rs = Result(u"select kind, count(*) from constant group by kind");
    EXPECT_EQ(jetsql_test::RowsText(rs), "Null|1,hresult|1,message|5,none|1,wait|2");
    EXPECT_EQ(rs.columns[0].name, u"kind");
    EXPECT_EQ(rs.columns[1].name, u"Expr1000");
    EXPECT_EQ(rs.columns[1].type, jet::ColumnType::LongInteger);
    EXPECT_FALSE(rs.columns[1].nullable);
    EXPECT_EQ(Rows(u"select h.file, count(c.name) from header h inner join constant c on h.id = c.header group by h.file"),
              "commctrl.h|1,winbase.h|2,WinError.h|2,winuser.h|3");
}

TEST_F(GroupQuery, EveryAggregateOverEachGroupWithHaving) {
    jetsql::ResultSet rs = Result(
        u"select header, count(*) as n, sum(value), min(name), max(value), avg(value) from constant "
        u"where header is not null group by header having count(*) > 1");
    EXPECT_EQ(jetsql_test::RowsText(rs),
              "1|3|18|WM_CREATE|15|6,2|2|-1|INFINITE|0|-0.5,5|2|-2147467259|E_FAIL|0|-1073733629.5");
    EXPECT_EQ(rs.columns[1].name, u"n");
    EXPECT_EQ(rs.columns[2].name, u"Expr1000");
    EXPECT_EQ(rs.columns[5].name, u"Expr1003");
    EXPECT_EQ(rs.columns[2].type, jet::ColumnType::Double);
    EXPECT_EQ(rs.columns[3].type, jet::ColumnType::Text);
    EXPECT_EQ(rs.columns[4].type, jet::ColumnType::LongInteger);
    EXPECT_EQ(Rows(u"select kind, count(*) as n from constant group by kind order by count(*) desc, kind"),
              "message|5,wait|2,Null|1,hresult|1,none|1");
    EXPECT_EQ(Rows(u"select header from constant group by header having max(value) > 10 or min(name) like 'S*'"),
              "1,3");
}

TEST_F(GroupQuery, AggregatesOfTheWholeTableAndOfNothing) {
    EXPECT_EQ(Rows(u"select count(*), count(kind), sum(value), min(value), max(name) from constant"),
              "10|9|-2147463139|-2147467259|WM_PAINT");
    EXPECT_EQ(Rows(u"select count(*), sum(value), max(name) from constant where value > 99999"), "0|Null|Null");
    EXPECT_EQ(Rows(u"select kind, count(*) from constant where value > 99999 group by kind"), "");
    EXPECT_EQ(Rows(u"select count(*) from constant having count(*) > 100"), "");
    jetsql::ResultSet money = Result(u"select sum(price), avg(price), sum(shipped), min(added), max(added) from header");
    EXPECT_EQ(jetsql_test::RowsText(money), "13.75|3.4375|-3|12/31/1999|6/30/2010");
    EXPECT_EQ(money.columns[0].type, jet::ColumnType::Currency);
    EXPECT_EQ(money.columns[1].type, jet::ColumnType::Currency);
    EXPECT_EQ(money.columns[3].type, jet::ColumnType::DateTime);
    // COUNT(*) of a whole table asks the table for the count it keeps.
    EXPECT_EQ(Rows(u"select count(*) as a, count(*) as b from constant"), "10|10");
    EXPECT_EQ(source.counts, 1);
    EXPECT_EQ(source.scans, 5);  // each of the five statements before it read its table once
}

TEST_F(GroupQuery, ColumnsOutsideTheGroupingAreRefused) {
    const char16_t* ungrouped[] = {
        u"select kind, name from constant group by kind",
        u"select * from constant group by kind",
        u"select kind from constant group by kind having value > 1",
        u"select kind from constant group by kind order by name",
        u"select count(*), name from constant",
        u"select k.*, count(*) from kind k inner join constant c on k.name = c.kind group by k.name",
    };
    for (const char16_t* sql : ungrouped) {
        const jetsql::SqlError error = Refusal(sql);
        EXPECT_EQ(error.fault, SqlFault::NotAggregated) << error.text;
        EXPECT_NE(error.text.find("as part of an aggregate function"), std::string::npos) << error.text;
    }
    EXPECT_EQ(Refusal(u"select * from constant where count(*) > 1").fault, SqlFault::Syntax);
    EXPECT_EQ(Refusal(u"select sum(name) from constant").fault, SqlFault::TypeMismatch);
    EXPECT_EQ(Refusal(u"select avg(note) from header").fault, SqlFault::TypeMismatch);
    EXPECT_EQ(Refusal(u"select max(nosuch) from header").fault, SqlFault::UnknownColumn);
}

TEST_F(OrderQuery, NullsSortFirstAscendingAndLastDescending) {
    EXPECT_EQ(Rows(u"select id from header order by added"), "3,4,1,2,5");
    EXPECT_EQ(Rows(u"select id from header order by added desc"), "5,2,1,4,3");
    EXPECT_EQ(Rows(u"select id from header order by size, id desc"), "4,5,2,1,3");
    EXPECT_EQ(Rows(u"select id from header order by shipped, id"), "1,3,5,2,4");  // Yes (-1) before No
    EXPECT_EQ(Rows(u"select file from header order by file"), "commctrl.h,ole2.h,winbase.h,WinError.h,winuser.h");
    EXPECT_EQ(Rows(u"select value as v from constant where header = 1 order by v desc"), "15,2,1");
    EXPECT_EQ(Rows(u"select k.*, c.value as v from kind k inner join constant c on k.name = c.kind where c.header = 1 "
                   u"order by v desc"),
              "message|Window messages|15,message|Window messages|2,message|Window messages|1");
    EXPECT_EQ(Rows(u"select kind, count(*) as n from constant group by kind order by n desc, kind"),
              "message|5,wait|2,Null|1,hresult|1,none|1");
    EXPECT_EQ(Rows(u"select c.name from constant c inner join header h on c.header = h.id order by h.size desc, c.name"),
              "LVM_FIRST,WM_CREATE,WM_DESTROY,WM_PAINT,E_FAIL,INFINITE,S_OK,WAIT_OBJECT_0");
}

TEST_F(OrderQuery, DistinctFoldsDuplicatesAndSortsThem) {
    EXPECT_EQ(Rows(u"select distinct kind from constant"), "Null,hresult,message,none,wait");
    EXPECT_EQ(Rows(u"select distinct header, kind from constant where header < 3"), "1|message,2|wait");
    EXPECT_EQ(Rows(u"select distinct kind from constant order by kind desc"), "wait,none,message,hresult,Null");
    EXPECT_EQ(Rows(u"select distinct size from header"), "Null,80,120.5,300.25");
    EXPECT_EQ(Refusal(u"select distinct kind from constant order by name").fault, SqlFault::Syntax);
}

TEST_F(OrderQuery, TopKeepsTheRowsThatTieWithTheLast) {
    EXPECT_EQ(Rows(u"select top 2 id from header order by size"), "4,2,5");
    EXPECT_EQ(Rows(u"select top 1 name from constant order by value"), "E_FAIL");
    EXPECT_EQ(Rows(u"select top 2 name from constant order by value"), "E_FAIL,INFINITE");
    EXPECT_EQ(Rows(u"select top 3 name from constant order by value"), "E_FAIL,INFINITE,WAIT_OBJECT_0,S_OK,WM_NULL");
    EXPECT_EQ(Rows(u"select top 3 name from constant"), "WM_CREATE,WM_DESTROY,WM_PAINT");
    EXPECT_EQ(Rows(u"select top 0 name from constant"), "");
    EXPECT_EQ(Rows(u"select top 99 id from header"), "1,2,3,4,5");
    EXPECT_EQ(Rows(u"select top 1 kind, count(*) from constant group by kind order by count(*)"),
              "Null|1,hresult|1,none|1");
    EXPECT_EQ(Rows(u"select distinct top 2 kind from constant"), "Null,hresult");
}

TEST_F(OrderQuery, TopPercentRoundsUpAndKeepsTies) {
    EXPECT_EQ(Rows(u"select top 50 percent id from header order by id"), "1,2,3");
    EXPECT_EQ(Rows(u"select top 10 percent id from header order by id"), "1");
    EXPECT_EQ(Rows(u"select top 100 percent id from header order by id desc"), "5,4,3,2,1");
    EXPECT_EQ(Rows(u"select top 20 percent id from header order by size"), "4");
    EXPECT_EQ(Rows(u"select top 40 percent id from header order by size"), "4,2,5");
    EXPECT_EQ(Rows(u"select top 50 percent id from header where id > 99"), "");
}
