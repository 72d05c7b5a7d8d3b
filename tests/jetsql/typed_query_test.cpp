// Statements over a written file with every column type: typed comparisons,
// BETWEEN, IN, IS NULL, LIKE, Null's three values, parameters, and which
// reads go through an index.
#include "catalog_fixture.h"

using jetsql::SqlFault;
using jetsql::TypedValue;
using jetsql_test::CatalogTest;

using TypedQuery = CatalogTest;

TEST_F(TypedQuery, NumbersCompareByValueWhateverTheLiteralsForm) {
    EXPECT_EQ(Rows(u"select name from constant where value > 0"), "WM_CREATE,WM_DESTROY,WM_PAINT,LVM_FIRST,ORPHAN");
    EXPECT_EQ(Rows(u"select name from constant where value >= 15"), "WM_PAINT,LVM_FIRST");
    EXPECT_EQ(Rows(u"select name from constant where value < 0"), "INFINITE,E_FAIL");
    EXPECT_EQ(Rows(u"select name from constant where value <= 0"), "INFINITE,WAIT_OBJECT_0,S_OK,E_FAIL,WM_NULL");
    EXPECT_EQ(Rows(u"select name from constant where value <> 0"),
              "WM_CREATE,WM_DESTROY,WM_PAINT,INFINITE,LVM_FIRST,E_FAIL,ORPHAN");
    EXPECT_EQ(Rows(u"select name from constant where value = 1.0"), "WM_CREATE");
    EXPECT_EQ(Rows(u"select name from constant where value = 1.5"), "");
    EXPECT_EQ(Rows(u"select name from constant where 15 <= value"), "WM_PAINT,LVM_FIRST");
    EXPECT_EQ(Rows(u"select name from constant where value = -2147467259"), "E_FAIL");
    EXPECT_EQ(Rows(u"select name from constant where value < -3e9"), "");
    EXPECT_EQ(Rows(u"select id from header where size = 80"), "2,5");
    EXPECT_EQ(Rows(u"select id from header where size > 100"), "1,3");
    EXPECT_EQ(Rows(u"select id from header where price >= 2"), "3,5");
    EXPECT_EQ(Rows(u"select id from header where price = 1.25"), "1");
    EXPECT_EQ(Rows(u"select id from header where rank < 0"), "2");
    EXPECT_EQ(Rows(u"select id from header where level >= 2"), "2,4,5");
}

TEST_F(TypedQuery, BetweenTakesItsBoundsEitherWayRoundAndInSeesNull) {
    EXPECT_EQ(Rows(u"select name from constant where value between 1 and 7"), "WM_CREATE,WM_DESTROY,ORPHAN");
    EXPECT_EQ(Rows(u"select name from constant where value between 7 and 1"), "WM_CREATE,WM_DESTROY,ORPHAN");
    EXPECT_EQ(Rows(u"select name from constant where value not between 1 and 7"),
              "WM_PAINT,INFINITE,WAIT_OBJECT_0,LVM_FIRST,S_OK,E_FAIL,WM_NULL");
    EXPECT_EQ(Rows(u"select id from header where size between 80 and 120.5"), "1,2,5");
    EXPECT_EQ(Rows(u"select name from constant where value between null and 7"), "");
    EXPECT_EQ(Rows(u"select name from constant where value in (0, 15, 99)"), "WM_PAINT,WAIT_OBJECT_0,S_OK,WM_NULL");
    // A Null header is neither in nor out of a list; a Null in the list leaves every other row unknown.
    EXPECT_EQ(Rows(u"select name from constant where header not in (1, 2)"), "LVM_FIRST,S_OK,E_FAIL,ORPHAN");
    EXPECT_EQ(Rows(u"select name from constant where header in (1, null)"), "WM_CREATE,WM_DESTROY,WM_PAINT");
    EXPECT_EQ(Rows(u"select name from constant where header not in (1, null)"), "");
    EXPECT_EQ(Rows(u"select name from constant where kind in ('WAIT', 'none')"), "INFINITE,WAIT_OBJECT_0,ORPHAN");
}

TEST_F(TypedQuery, NullIsOnlyFoundByIsNull) {
    EXPECT_EQ(Rows(u"select name from constant where kind is null"), "S_OK");
    EXPECT_EQ(Rows(u"select count(*) from constant where header is not null"), "9");
    EXPECT_EQ(Rows(u"select name from constant where value = null"), "");
    EXPECT_EQ(Rows(u"select name from constant where value <> null"), "");
    EXPECT_EQ(Rows(u"select name from constant where not (value = null)"), "");
    EXPECT_EQ(Rows(u"select id from header where note is null"), "2");
    EXPECT_EQ(Rows(u"select id from header where note = ''"), "5");  // the empty text is not Null
    EXPECT_EQ(Rows(u"select id from header where added is null or size is null"), "3,4");
}

TEST_F(TypedQuery, TextOrdersAsJetsGeneralSortOrder) {
    EXPECT_EQ(Rows(u"select name from constant where kind > 'n'"), "INFINITE,WAIT_OBJECT_0,ORPHAN");
    EXPECT_EQ(Rows(u"select name from constant where name < 'WM_'"),
              "INFINITE,WAIT_OBJECT_0,LVM_FIRST,S_OK,E_FAIL,ORPHAN");
    // '_' sorts before letters (not after them, as its code would have it).
    EXPECT_EQ(Rows(u"select name from constant where name < 'SA'"), "INFINITE,LVM_FIRST,S_OK,E_FAIL,ORPHAN");
    EXPECT_EQ(Rows(u"select id from header where file = 'WINERROR.H'"), "5");
    EXPECT_EQ(Rows(u"select id from header where file between 'w' and 'WINC'"), "2");
}

TEST_F(TypedQuery, DatesCompareAsDatesAndAsNumbers) {
    EXPECT_EQ(Rows(u"select id from header where added = #1/2/2001#"), "1");
    EXPECT_EQ(Rows(u"select id from header where added >= #2001-01-02#"), "1,2,5");
    EXPECT_EQ(Rows(u"select id from header where added < #2001-01-02 12:00#"), "1,4");
    EXPECT_EQ(Rows(u"select id from header where added = #January 2, 2001 12:00:00 PM#"), "2");
    EXPECT_EQ(Rows(u"select id from header where added between #1/1/2000# and #31-Dec-2005#"), "1,2");
    EXPECT_EQ(Rows(u"select id from header where added > 36893"), "2,5");
    EXPECT_EQ(Rows(u"select added from header where id = 2"), "1/2/2001 12:00:00 PM");
}

TEST_F(TypedQuery, YesIsMinusOneAsInJet) {
    EXPECT_EQ(Rows(u"select id from header where shipped = true"), "1,3,5");
    EXPECT_EQ(Rows(u"select id from header where shipped"), "1,3,5");
    EXPECT_EQ(Rows(u"select id from header where not shipped"), "2,4");
    EXPECT_EQ(Rows(u"select id from header where shipped = -1"), "1,3,5");
    EXPECT_EQ(Rows(u"select id from header where shipped = 1"), "");
    EXPECT_EQ(Rows(u"select id from header where shipped = false and level > 2"), "4");
    EXPECT_EQ(Rows(u"select shipped from header where id < 3"), "True,False");
}

TEST_F(TypedQuery, LikeReadsNumbersAsTheirText) {
    EXPECT_EQ(Rows(u"select name from constant where value like '4*'"), "LVM_FIRST");
    EXPECT_EQ(Rows(u"select name from constant where value like '-*'"), "INFINITE,E_FAIL");
    EXPECT_EQ(Rows(u"select name from constant where name not like 'W*'"), "INFINITE,LVM_FIRST,S_OK,E_FAIL,ORPHAN");
    EXPECT_EQ(Rows(u"select id from header where note like 'o*'"), "4");
    EXPECT_EQ(Rows(u"select id from header where file like '*.h' and file like 'win[a-c]*'"), "2");
}

TEST_F(TypedQuery, ValuesOfDifferentFamiliesAreATypeMismatch) {
    const char16_t* mismatched[] = {
        u"select * from constant where value = 'x'",
        u"select * from constant where value = '1'",
        u"select * from constant where name = 1",
        u"select * from constant where name > #1/1/2000#",
        u"select * from header where added = '1/2/2001'",
        u"select * from header where note > 1",
        u"select * from constant where name",
        u"select * from constant where value between 'a' and 'b'",
        u"select * from constant where value in (1, 'two')",
        u"select * from constant where name = true",
        u"select * from header inner join constant on header.file = constant.value",
    };
    for (const char16_t* sql : mismatched) {
        const jetsql::SqlError error = Refusal(sql);
        EXPECT_EQ(error.fault, SqlFault::TypeMismatch) << error.text;
        EXPECT_EQ(error.text.rfind("Data type mismatch in criteria expression", 0), 0u) << error.text;
    }
}

TEST_F(TypedQuery, UnknownNamesSayWhichAndWhere) {
    EXPECT_EQ(Refusal(u"select * from nowhere").fault, SqlFault::UnknownTable);
    EXPECT_EQ(Refusal(u"select * from constant where nosuch = 1").text,
              "The table 'constant' has no column 'nosuch'.");
    EXPECT_EQ(Refusal(u"select x.name from constant").text, "The table 'constant' has no column 'x.name'.");
    EXPECT_EQ(Refusal(u"select name from constant, kind").fault, SqlFault::Ambiguous);
    EXPECT_EQ(Refusal(u"select id from constant, header where nosuch = 1").text,
              "No table of 'constant', 'header' has a column 'nosuch'.");
    EXPECT_EQ(Refusal(u"select * from constant c where constant.name = 'x'").fault, SqlFault::UnknownColumn);
}

TEST_F(TypedQuery, AnEmptyResultStillDescribesItsColumns) {
    jetsql::ResultSet rs = Result(u"select name, value as v from constant where name = 'NOPE'");
    EXPECT_TRUE(rs.rows.empty());
    ASSERT_EQ(rs.columns.size(), 2u);
    EXPECT_EQ(rs.columns[1].name, u"v");
    EXPECT_EQ(rs.columns[1].type, jet::ColumnType::LongInteger);
}

TEST_F(TypedQuery, EqualitiesAndRangesOnIndexedColumnsWalkTheIndex) {
    EXPECT_EQ(Rows(u"select value from constant where name = 'wm_paint'"), "15");
    EXPECT_EQ(source.lookups, 1);
    EXPECT_EQ(Rows(u"select name from constant where header = 2"), "INFINITE,WAIT_OBJECT_0");
    EXPECT_EQ(source.lookups, 2);
    EXPECT_EQ(Rows(u"select id from header where id between 4 and 2"), "2,3,4");
    EXPECT_EQ(source.rangeLookups, 1);
    EXPECT_EQ(Rows(u"select id from header where 3 < id"), "4,5");
    EXPECT_EQ(Rows(u"select id from header where id <= 1.5"), "1");
    EXPECT_EQ(Rows(u"select id from header where added >= #1/1/2001#"), "1,2,5");
    EXPECT_EQ(source.rangeLookups, 4);
    EXPECT_EQ(source.scans, 0);
    // A fraction can equal no integer: nothing is read at all.
    EXPECT_EQ(Rows(u"select name from constant where header = 1.5"), "");
    EXPECT_EQ(source.lookups, 2);
    EXPECT_EQ(source.scans, 0);
    // Columns without an index are read whole.
    EXPECT_EQ(Rows(u"select id from header where price = 2"), "5");
    EXPECT_EQ(Rows(u"select name from constant where value > 4000"), "LVM_FIRST");
    EXPECT_EQ(source.scans, 2);
}

TEST_F(TypedQuery, ParametersBindInOrderAndReadAsTheirColumn) {
    EXPECT_EQ(Rows(u"select name from constant where header = ? and value > ?", {TypedValue::Integer(1), TypedValue::Integer(1)}),
              "WM_DESTROY,WM_PAINT");
    EXPECT_EQ(Rows(u"select name from constant where header = ?", {TypedValue::Text(u"2")}), "INFINITE,WAIT_OBJECT_0");
    EXPECT_EQ(Rows(u"select name from constant where kind like ?", {TypedValue::Text(u"w*")}), "INFINITE,WAIT_OBJECT_0");
    EXPECT_EQ(Rows(u"select name from constant where name = ?", {TypedValue::Integer(5)}), "");
    EXPECT_EQ(Rows(u"select id from header where added > ?", {TypedValue::Date(36893.0)}), "2,5");
    EXPECT_EQ(Rows(u"select id from header where added > ?", {TypedValue::Text(u"1/2/2001")}), "2,5");
    EXPECT_EQ(Rows(u"select id from header where shipped = ?", {TypedValue::Boolean(true)}), "1,3,5");
    EXPECT_EQ(Rows(u"select id from header where price < ?", {TypedValue::Currency(1)}), "2");
    EXPECT_EQ(Rows(u"select id from header where size = ?", {TypedValue::Double(80)}), "2,5");
    EXPECT_EQ(Rows(u"select name from constant where value = ?", {TypedValue::Null()}), "");
    EXPECT_EQ(Rows(u"select name from constant where value in (?, ?) and ? = ?",
                   {TypedValue::Integer(15), TypedValue::Integer(-1), TypedValue::Text(u"a"), TypedValue::Text(u"A")}),
              "WM_PAINT,INFINITE");
}

TEST_F(TypedQuery, ParameterCountAndKindMustFit) {
    const jetsql::SqlError missing = Refusal(u"select * from constant where value = ? or value = ?", {TypedValue::Integer(1)});
    EXPECT_EQ(missing.fault, SqlFault::MissingParameter);
    EXPECT_EQ(missing.text, "No value given for one or more required parameters.");
    EXPECT_EQ(Refusal(u"select * from constant where value = ?").fault, SqlFault::MissingParameter);
    EXPECT_EQ(Refusal(u"select * from constant", {TypedValue::Integer(1)}).fault, SqlFault::ExtraParameter);
    EXPECT_EQ(Refusal(u"select * from constant where value = ?", {TypedValue::Text(u"abc")}).fault,
              SqlFault::TypeMismatch);
}

TEST_F(TypedQuery, DescribeParametersGivesTheTypeOfWhatEachIsComparedWith) {
    std::vector<jetsql::ParameterInfo> info;
    jetsql::SqlError error;
    ASSERT_TRUE(jetsql::DescribeParameters(
        source,
        u"select * from constant c inner join header h on c.header = h.id where c.name like ? and h.added between ? "
        u"and ? and ? = ? and value in (?, 2) and h.file = ?",
        &info, &error))
        << error.text;
    ASSERT_EQ(info.size(), 7u);
    EXPECT_TRUE(info[0].typeKnown);
    EXPECT_EQ(info[0].type, jet::ColumnType::Text);
    EXPECT_EQ(info[1].type, jet::ColumnType::DateTime);
    EXPECT_EQ(info[1].column, u"added");
    EXPECT_EQ(info[2].type, jet::ColumnType::DateTime);
    EXPECT_FALSE(info[3].typeKnown);
    EXPECT_FALSE(info[4].typeKnown);
    EXPECT_EQ(info[5].type, jet::ColumnType::LongInteger);
    EXPECT_EQ(info[6].type, jet::ColumnType::Text);
    EXPECT_EQ(info[6].size, 100);
    ASSERT_TRUE(jetsql::DescribeParameters(source, u"select * from constant", &info, &error));
    EXPECT_TRUE(info.empty());
    EXPECT_FALSE(jetsql::DescribeParameters(source, u"select * from constant where nosuch = ?", &info, &error));
    EXPECT_EQ(error.fault, SqlFault::UnknownColumn);
    EXPECT_FALSE(jetsql::DescribeParameters(source, u"select * from nowhere where a = ?", &info, &error));
    EXPECT_EQ(error.fault, SqlFault::UnknownTable);
}
