// OpenSchema's TABLES, COLUMNS and INDEXES rowsets over the written catalog
// file, and the field metadata a record set reports per column type.
#include "ado/schema.h"

#include "ado/field_info.h"
#include "tests/jetsql/catalog_fixture.h"

using ado::DataType;
using ado::Schema;
using ado::RecordsetFault;
using jetsql_test::CatalogTest;

namespace {

class SchemaRowset : public CatalogTest {
protected:
    jetsql::ResultSet Open(Schema schema, std::vector<jet::Value> restrictions = {}) {
        jetsql::ResultSet rs;
        ado::RecordsetError error;
        EXPECT_TRUE(ado::OpenSchema(source, schema, restrictions, &rs, &error)) << error.text;
        return rs;
    }

    // The named columns of every row, as RowsText gives them.
    static std::string Pick(const jetsql::ResultSet& rs, std::initializer_list<const char16_t*> names) {
        jetsql::ResultSet picked;
        std::vector<std::size_t> at;
        for (const char16_t* name : names)
            for (std::size_t i = 0; i < rs.columns.size(); ++i)
                if (rs.columns[i].name == name) {
                    at.push_back(i);
                    picked.columns.push_back(rs.columns[i]);
                }
        for (const jetsql::Row& row : rs.rows) {
            picked.rows.emplace_back();
            for (std::size_t i : at) picked.rows.back().push_back(row[i]);
        }
        return jetsql_test::RowsText(picked);
    }

    static std::string Names(const jetsql::ResultSet& rs) {
        std::string out;
        for (const auto& c : rs.columns) out += (out.empty() ? "" : ",") + jet::Utf16ToUtf8(c.name);
        return out;
    }
};

jet::Value T(const char16_t* s) { return jet::Value::FromText(s); }
const jet::Value kNone;

}  // namespace

TEST_F(SchemaRowset, TablesListsSystemTablesFirstThenTheUsersByName) {
    const jetsql::ResultSet rs = Open(Schema::Tables);
    EXPECT_EQ(Names(rs), "TABLE_CATALOG,TABLE_SCHEMA,TABLE_NAME,TABLE_TYPE,TABLE_GUID,DESCRIPTION,TABLE_PROPID,"
                         "DATE_CREATED,DATE_MODIFIED");
    const std::vector<DataType> types = {DataType::WChar, DataType::WChar, DataType::WChar, DataType::WChar,
                                         DataType::Guid,  DataType::WChar, DataType::UnsignedInt, DataType::Date,
                                         DataType::Date};
    for (std::size_t i = 0; i < types.size(); ++i) EXPECT_EQ(ado::TypeOf(rs.columns[i]), types[i]) << i;
    ASSERT_GE(rs.rows.size(), 4u);
    const std::size_t users = rs.rows.size() - 3;
    for (std::size_t i = 0; i < users; ++i) EXPECT_EQ(rs.rows[i][3].text, u"SYSTEM TABLE");
    EXPECT_EQ(Pick(Open(Schema::Tables, {kNone, kNone, kNone, T(u"table")}),
                   {u"TABLE_CATALOG", u"TABLE_NAME", u"TABLE_TYPE", u"DATE_CREATED", u"DATE_MODIFIED"}),
              "Null|constant|TABLE|3/15/2023 6:00:00 AM|3/15/2023 6:00:00 AM,"
              "Null|header|TABLE|3/15/2023 6:00:00 AM|3/15/2023 6:00:00 AM,"
              "Null|kind|TABLE|3/15/2023 6:00:00 AM|3/15/2023 6:00:00 AM");
    EXPECT_NE(Pick(rs, {u"TABLE_NAME"}).find("MSysObjects"), std::string::npos);
}

TEST_F(SchemaRowset, TablesRestrictionsByPosition) {
    EXPECT_EQ(Pick(Open(Schema::Tables, {kNone, kNone, T(u"HEADER")}), {u"TABLE_NAME"}), "header");
    EXPECT_EQ(Pick(Open(Schema::Tables, {kNone, kNone, T(u"nowhere")}), {u"TABLE_NAME"}), "");
    EXPECT_EQ(Pick(Open(Schema::Tables, {T(u"catalog")}), {u"TABLE_NAME"}), "");
    EXPECT_EQ(Pick(Open(Schema::Tables, {kNone, T(u"dbo")}), {u"TABLE_NAME"}), "");
    const jetsql::ResultSet system = Open(Schema::Tables, {kNone, kNone, kNone, T(u"SYSTEM TABLE")});
    for (const jetsql::Row& row : system.rows) EXPECT_EQ(row[3].text, u"SYSTEM TABLE");
    EXPECT_EQ(system.rows.size() + 3, Open(Schema::Tables).rows.size());
    jetsql::ResultSet rs;
    ado::RecordsetError error;
    EXPECT_FALSE(ado::OpenSchema(source, Schema::Tables, {kNone, kNone, kNone, kNone, kNone}, &rs, &error));
    EXPECT_EQ(error.fault, RecordsetFault::BadArgument);
    EXPECT_FALSE(ado::OpenSchema(source, Schema::Tables, {kNone, kNone, jet::Value::FromInteger(1)}, &rs, &error));
    EXPECT_EQ(error.fault, RecordsetFault::BadArgument);
}

TEST_F(SchemaRowset, ColumnsByNameWithJetsTypesSizesAndFlags) {
    const jetsql::ResultSet rs = Open(Schema::Columns, {kNone, kNone, T(u"header")});
    EXPECT_EQ(rs.columns.size(), 28u);
    EXPECT_EQ(rs.columns[9].name, u"COLUMN_FLAGS");
    EXPECT_EQ(ado::TypeOf(rs.columns[11]), DataType::UnsignedSmallInt);
    EXPECT_EQ(ado::TypeOf(rs.columns[16]), DataType::SmallInt);
    EXPECT_EQ(Pick(rs, {u"COLUMN_NAME", u"ORDINAL_POSITION", u"DATA_TYPE", u"COLUMN_FLAGS", u"IS_NULLABLE",
                        u"CHARACTER_MAXIMUM_LENGTH", u"CHARACTER_OCTET_LENGTH", u"NUMERIC_PRECISION",
                        u"NUMERIC_SCALE", u"DATETIME_PRECISION"}),
              "added|3|7|122|True|Null|Null|Null|Null|0,"
              "file|2|130|106|True|50|100|Null|Null|Null,"
              "id|1|3|122|True|Null|Null|10|Null|Null,"
              "level|8|17|122|True|Null|Null|3|Null|Null,"
              "note|9|130|234|True|0|0|Null|Null|Null,"
              "price|5|6|122|True|Null|Null|19|Null|Null,"
              "rank|7|2|122|True|Null|Null|5|Null|Null,"
              "shipped|6|11|26|False|Null|Null|Null|Null|Null,"
              "size|4|5|122|True|Null|Null|15|Null|Null");
    EXPECT_EQ(Pick(Open(Schema::Columns, {kNone, kNone, T(u"constant"), T(u"VALUE")}), {u"TABLE_NAME", u"COLUMN_NAME"}),
              "constant|value");
    const jetsql::ResultSet all = Open(Schema::Columns, {kNone, kNone, kNone, T(u"name")});
    EXPECT_EQ(Pick(all, {u"TABLE_NAME"}).find("constant,kind"), 0u);
}

TEST_F(SchemaRowset, IndexesOneRowPerKeyColumn) {
    const jetsql::ResultSet rs = Open(Schema::Indexes, {kNone, kNone, kNone, kNone, T(u"header")});
    EXPECT_EQ(rs.columns.size(), 25u);
    EXPECT_EQ(rs.columns[9].name, u"TYPE");
    EXPECT_EQ(ado::TypeOf(rs.columns[9]), DataType::UnsignedSmallInt);
    EXPECT_EQ(ado::TypeOf(rs.columns[21]), DataType::UnsignedBigInt);
    EXPECT_EQ(Pick(rs, {u"TABLE_NAME", u"INDEX_NAME", u"PRIMARY_KEY", u"UNIQUE", u"CLUSTERED", u"TYPE", u"FILL_FACTOR",
                        u"NULLS", u"AUTO_UPDATE", u"NULL_COLLATION", u"ORDINAL_POSITION", u"COLUMN_NAME", u"COLLATION",
                        u"CARDINALITY"}),
              "header|added|False|False|False|1|100|0|True|4|1|added|1|Null,"
              "header|PrimaryKey|True|True|False|1|100|1|True|4|1|id|1|Null");
    EXPECT_EQ(Pick(Open(Schema::Indexes, {kNone, kNone, T(u"primarykey")}), {u"TABLE_NAME", u"COLUMN_NAME"}),
              "header|id,kind|name");
    EXPECT_EQ(Pick(Open(Schema::Indexes, {kNone, kNone, kNone, kNone, T(u"constant")}), {u"INDEX_NAME", u"UNIQUE"}),
              "header|False,name|True");
    EXPECT_EQ(Open(Schema::Indexes, {kNone, kNone, kNone, jet::Value::FromInteger(2)}).rows.size(), 0u);
    EXPECT_EQ(Open(Schema::Indexes, {kNone, kNone, kNone, jet::Value::FromInteger(1), T(u"kind")}).rows.size(), 1u);
    jetsql::ResultSet out;
    ado::RecordsetError error;
    EXPECT_FALSE(ado::OpenSchema(source, Schema::Indexes, {kNone, kNone, kNone, T(u"1")}, &out, &error));
    EXPECT_EQ(error.fault, RecordsetFault::BadArgument);
    EXPECT_EQ(error.text, "OpenSchema: Restriction 4 must be a number.");
}

TEST(DescribeField, AsTheJetProviderReportsEachType) {
    struct Case {
        jet::ColumnType type;
        std::uint16_t size;
        DataType adoType;
        long definedSize;
        int precision;
        long attributes;
    } cases[] = {
        {jet::ColumnType::Text, 100, DataType::VarWChar, 50, 255, 0x6A},
        {jet::ColumnType::Text, 0, DataType::VarWChar, 255, 255, 0x6A},
        {jet::ColumnType::Memo, 0, DataType::LongVarWChar, 536870910, 255, 0xEA},
        {jet::ColumnType::LongInteger, 4, DataType::Integer, 4, 10, 0x7A},
        {jet::ColumnType::Integer, 2, DataType::SmallInt, 2, 5, 0x7A},
        {jet::ColumnType::Byte, 1, DataType::UnsignedTinyInt, 1, 3, 0x7A},
        {jet::ColumnType::Single, 4, DataType::Single, 4, 7, 0x7A},
        {jet::ColumnType::Double, 8, DataType::Double, 8, 15, 0x7A},
        {jet::ColumnType::Currency, 8, DataType::Currency, 8, 19, 0x7A},
        {jet::ColumnType::DateTime, 8, DataType::Date, 8, 255, 0x7A},
        {jet::ColumnType::Boolean, 1, DataType::Boolean, 2, 255, 0x1A},
        {jet::ColumnType::Binary, 16, DataType::VarBinary, 16, 255, 0x6A},
        {jet::ColumnType::OleObject, 0, DataType::LongVarBinary, 1073741823, 255, 0xEA},
        {jet::ColumnType::AccessObjectData, 3992, DataType::Binary, 3992, 255, 0x7A},
    };
    for (const Case& c : cases) {
        const ado::FieldInfo info = ado::DescribeField(jetsql::ResultColumnOf({u"x", c.type, c.size}));
        SCOPED_TRACE(int(c.type));
        EXPECT_EQ(info.type, c.adoType);
        EXPECT_EQ(info.definedSize, c.definedSize);
        EXPECT_EQ(info.precision, c.precision);
        EXPECT_EQ(info.numericScale, 255);
        EXPECT_EQ(info.attributes, c.attributes);
    }
}

TEST_F(SchemaRowset, ComputedColumnsReportTheirOwnTypes) {
    const jetsql::ResultSet rs = Result(u"select count(*), sum(size), min(file) from header");
    EXPECT_EQ(ado::DescribeField(rs.columns[0]).attributes, 0x1A);  // a count is never Null
    EXPECT_EQ(ado::DescribeField(rs.columns[1]).type, DataType::Double);
    EXPECT_EQ(ado::DescribeField(rs.columns[2]).definedSize, 50);
}

TEST_F(SchemaRowset, AnAliasedColumnOfNoRowsKeepsItsType) {
    const jetsql::ResultSet rs = Result(u"select name, value as v from constant where name = 'NOPE'");
    ASSERT_EQ(rs.columns.size(), 2u);
    EXPECT_EQ(ado::TypeOf(rs.columns[1]), DataType::Integer);
}
