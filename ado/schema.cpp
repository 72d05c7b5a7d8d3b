#include "ado/schema.h"

#include <algorithm>

#include "ado/field_info.h"
#include "jet/utf.h"

namespace ado {
namespace {

// A rowset column of a documented OLE DB type, held in the nearest Jet type.
jetsql::ResultColumn Column(const char16_t* name, DataType type) {
    jet::ColumnType jetType = jet::ColumnType::Text;
    std::uint16_t size = 510;
    switch (type) {
    case DataType::Guid: jetType = jet::ColumnType::Binary, size = 16; break;
    case DataType::UnsignedInt:
    case DataType::Integer: jetType = jet::ColumnType::LongInteger, size = 4; break;
    case DataType::UnsignedSmallInt:
    case DataType::SmallInt: jetType = jet::ColumnType::Integer, size = 2; break;
    case DataType::Boolean: jetType = jet::ColumnType::Boolean, size = 1; break;
    case DataType::Date: jetType = jet::ColumnType::DateTime, size = 8; break;
    case DataType::UnsignedBigInt: jetType = jet::ColumnType::Double, size = 8; break;
    default: break;
    }
    jetsql::ResultColumn c = jetsql::ResultColumnOf({name, jetType, size});
    c.reportedType = long(type);
    c.nullable = true;
    return c;
}

std::vector<jetsql::ResultColumn> Columns(std::initializer_list<std::pair<const char16_t*, DataType>> list) {
    std::vector<jetsql::ResultColumn> columns;
    for (const auto& [name, type] : list) columns.push_back(Column(name, type));
    return columns;
}

jet::Value Text(const std::u16string& s) { return jet::Value::FromText(s); }
jet::Value Number(std::int64_t n) { return jet::Value::FromInteger(n); }
jet::Value Flag(bool b) { return jet::Value::FromInteger(b ? 1 : 0); }
const jet::Value kNull;

// A restriction by position: Null restricts nothing; a catalog or schema
// restriction matches nothing, as Jet has neither.
class Restrictions {
public:
    Restrictions(const std::vector<jet::Value>& given) : given_(given) {}

    bool Check(std::size_t count, std::size_t numberAt, RecordsetError* error) const {
        if (given_.size() > count)
            return Refuse(error, std::to_string(given_.size()) + " restrictions given where the rowset has " +
                                     std::to_string(count) + ".");
        for (std::size_t i = 0; i < given_.size(); ++i) {
            const jet::Value& v = given_[i];
            const bool number = i == numberAt;
            if (!v.IsNull() && (v.kind == jet::Value::Kind::Text) == number)
                return Refuse(error, "Restriction " + std::to_string(i + 1) + " must be " +
                                         (number ? "a number." : "text."));
        }
        return true;
    }

    bool Catalogless() const { return Free(0) && Free(1); }

    bool Name(std::size_t i, const std::u16string& name) const {
        return Free(i) || jetsql::JetTextEqual(given_[i].text, name);
    }

    bool Number(std::size_t i, std::int64_t n) const { return Free(i) || given_[i].integer == n; }

private:
    bool Free(std::size_t i) const { return i >= given_.size() || given_[i].IsNull(); }

    static bool Refuse(RecordsetError* error, std::string text) {
        *error = {RecordsetFault::BadArgument, "OpenSchema: " + std::move(text)};
        return false;
    }

    const std::vector<jet::Value>& given_;
};

bool ByName(const jetsql::TableShape* a, const jetsql::TableShape* b) { return jetsql::JetTextCompare(a->name, b->name) < 0; }

jetsql::ResultSet TablesRowset(jetsql::DataSource& source, const Restrictions& r) {
    jetsql::ResultSet out;
    out.columns = Columns({{u"TABLE_CATALOG", DataType::WChar}, {u"TABLE_SCHEMA", DataType::WChar},
                           {u"TABLE_NAME", DataType::WChar}, {u"TABLE_TYPE", DataType::WChar},
                           {u"TABLE_GUID", DataType::Guid}, {u"DESCRIPTION", DataType::WChar},
                           {u"TABLE_PROPID", DataType::UnsignedInt}, {u"DATE_CREATED", DataType::Date},
                           {u"DATE_MODIFIED", DataType::Date}});
    std::vector<const jetsql::TableShape*> tables = source.Tables();
    // TABLE_TYPE then TABLE_NAME: "SYSTEM TABLE" sorts before "TABLE".
    std::stable_sort(tables.begin(), tables.end(), [](const jetsql::TableShape* a, const jetsql::TableShape* b) {
        return a->system != b->system ? a->system : ByName(a, b);
    });
    for (const jetsql::TableShape* t : tables) {
        const std::u16string type = t->system ? u"SYSTEM TABLE" : u"TABLE";
        if (!r.Catalogless() || !r.Name(2, t->name) || !r.Name(3, type)) continue;
        double created = 0, modified = 0;
        const bool dated = source.TableDates(*t, &created, &modified);
        out.rows.push_back({kNull, kNull, Text(t->name), Text(type), kNull, kNull, kNull,
                            dated ? jet::Value::FromDouble(created) : kNull,
                            dated ? jet::Value::FromDouble(modified) : kNull});
    }
    return out;
}

// DATA_TYPE as OLE DB gives it: text and memo are both DBTYPE_WSTR, binary
// and OLE both DBTYPE_BYTES; COLUMN_FLAGS tells the long ones apart.
std::int64_t OleDbType(jet::ColumnType type) {
    switch (jetsql::FamilyOf(type)) {
    case jetsql::TypeFamily::Text: return std::int64_t(DataType::WChar);
    case jetsql::TypeFamily::Bytes: return std::int64_t(DataType::Binary);
    case jetsql::TypeFamily::Number: break;
    }
    return std::int64_t(DataTypeOf(type));
}

jetsql::Row ColumnRow(const jetsql::TableShape& t, std::size_t position) {
    const jet::Column& c = t.columns[position];
    const jetsql::ResultColumn shown = jetsql::ResultColumnOf(c);
    const FieldInfo info = DescribeField(shown);
    jet::Value length = kNull, octets = kNull, precision = kNull, datetime = kNull;
    switch (c.type) {
    case jet::ColumnType::Text:
        length = Number((c.size ? c.size : 510) / 2);
        octets = Number(c.size ? c.size : 510);
        break;
    case jet::ColumnType::Memo:
    case jet::ColumnType::OleObject: length = octets = Number(0); break;
    case jet::ColumnType::Binary:
    case jet::ColumnType::AccessObjectData: length = octets = Number(info.definedSize); break;
    case jet::ColumnType::DateTime: datetime = Number(0); break;
    default:
        if (info.precision != 255) precision = Number(info.precision);
        break;
    }
    return {kNull, kNull, Text(t.name), Text(c.name), kNull, kNull, Number(std::int64_t(position) + 1),
            Flag(false), kNull, Number(info.attributes), Flag(shown.nullable), Number(OleDbType(c.type)), kNull,
            length, octets, precision, kNull, datetime, kNull, kNull, kNull, kNull, kNull, kNull, kNull, kNull,
            kNull, kNull};
}

jetsql::ResultSet ColumnsRowset(jetsql::DataSource& source, const Restrictions& r) {
    jetsql::ResultSet out;
    out.columns = Columns({{u"TABLE_CATALOG", DataType::WChar}, {u"TABLE_SCHEMA", DataType::WChar},
                           {u"TABLE_NAME", DataType::WChar}, {u"COLUMN_NAME", DataType::WChar},
                           {u"COLUMN_GUID", DataType::Guid}, {u"COLUMN_PROPID", DataType::UnsignedInt},
                           {u"ORDINAL_POSITION", DataType::UnsignedInt}, {u"COLUMN_HASDEFAULT", DataType::Boolean},
                           {u"COLUMN_DEFAULT", DataType::WChar}, {u"COLUMN_FLAGS", DataType::UnsignedInt},
                           {u"IS_NULLABLE", DataType::Boolean}, {u"DATA_TYPE", DataType::UnsignedSmallInt},
                           {u"TYPE_GUID", DataType::Guid}, {u"CHARACTER_MAXIMUM_LENGTH", DataType::UnsignedInt},
                           {u"CHARACTER_OCTET_LENGTH", DataType::UnsignedInt},
                           {u"NUMERIC_PRECISION", DataType::UnsignedSmallInt}, {u"NUMERIC_SCALE", DataType::SmallInt},
                           {u"DATETIME_PRECISION", DataType::UnsignedInt}, {u"CHARACTER_SET_CATALOG", DataType::WChar},
                           {u"CHARACTER_SET_SCHEMA", DataType::WChar}, {u"CHARACTER_SET_NAME", DataType::WChar},
                           {u"COLLATION_CATALOG", DataType::WChar}, {u"COLLATION_SCHEMA", DataType::WChar},
                           {u"COLLATION_NAME", DataType::WChar}, {u"DOMAIN_CATALOG", DataType::WChar},
                           {u"DOMAIN_SCHEMA", DataType::WChar}, {u"DOMAIN_NAME", DataType::WChar},
                           {u"DESCRIPTION", DataType::WChar}});
    std::vector<const jetsql::TableShape*> tables = source.Tables();
    std::stable_sort(tables.begin(), tables.end(), ByName);
    for (const jetsql::TableShape* t : tables) {
        if (!r.Catalogless() || !r.Name(2, t->name)) continue;
        std::vector<std::size_t> positions;
        for (std::size_t i = 0; i < t->columns.size(); ++i)
            if (r.Name(3, t->columns[i].name)) positions.push_back(i);
        // Jet lists a table's columns by name; ORDINAL_POSITION gives their order.
        std::stable_sort(positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) {
            return jetsql::JetTextCompare(t->columns[a].name, t->columns[b].name) < 0;
        });
        for (std::size_t i : positions) out.rows.push_back(ColumnRow(*t, i));
    }
    return out;
}

constexpr std::int64_t kIndexBtree = 1;          // DBPROPVAL_IT_BTREE
constexpr std::int64_t kNullsAllowed = 0;        // DBPROPVAL_IN_ALLOWNULL
constexpr std::int64_t kNullsDisallowed = 1;     // DBPROPVAL_IN_DISALLOWNULL
constexpr std::int64_t kNullsCollateLow = 4;     // DBPROPVAL_NC_LOW
constexpr std::int64_t kCollationAscending = 1;  // DB_COLLATION_ASC
constexpr std::int64_t kCollationDescending = 2;

jetsql::ResultSet IndexesRowset(jetsql::DataSource& source, const Restrictions& r) {
    jetsql::ResultSet out;
    out.columns = Columns({{u"TABLE_CATALOG", DataType::WChar}, {u"TABLE_SCHEMA", DataType::WChar},
                           {u"TABLE_NAME", DataType::WChar}, {u"INDEX_CATALOG", DataType::WChar},
                           {u"INDEX_SCHEMA", DataType::WChar}, {u"INDEX_NAME", DataType::WChar},
                           {u"PRIMARY_KEY", DataType::Boolean}, {u"UNIQUE", DataType::Boolean},
                           {u"CLUSTERED", DataType::Boolean}, {u"TYPE", DataType::UnsignedSmallInt},
                           {u"FILL_FACTOR", DataType::Integer}, {u"INITIAL_SIZE", DataType::Integer},
                           {u"NULLS", DataType::Integer}, {u"SORT_BOOKMARKS", DataType::Boolean},
                           {u"AUTO_UPDATE", DataType::Boolean}, {u"NULL_COLLATION", DataType::Integer},
                           {u"ORDINAL_POSITION", DataType::UnsignedInt}, {u"COLUMN_NAME", DataType::WChar},
                           {u"COLUMN_GUID", DataType::Guid}, {u"COLUMN_PROPID", DataType::UnsignedInt},
                           {u"COLLATION", DataType::SmallInt}, {u"CARDINALITY", DataType::UnsignedBigInt},
                           {u"PAGES", DataType::Integer}, {u"FILTER_CONDITION", DataType::WChar},
                           {u"INTEGRATED", DataType::Boolean}});
    struct Entry {
        const jetsql::TableShape* table;
        const jetsql::IndexShape* index;
    };
    std::vector<Entry> entries;
    for (const jetsql::TableShape* t : source.Tables())
        for (const jetsql::IndexShape& index : t->indexes)
            if (r.Catalogless() && r.Name(2, index.name) && r.Number(3, kIndexBtree) && r.Name(4, t->name))
                entries.push_back({t, &index});
    // UNIQUE, TYPE, INDEX_NAME (then the table, to keep one table's like-named indexes apart).
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.index->unique != b.index->unique) return !a.index->unique;
        if (int c = jetsql::JetTextCompare(a.index->name, b.index->name)) return c < 0;
        return jetsql::JetTextCompare(a.table->name, b.table->name) < 0;
    });
    for (const Entry& e : entries) {
        for (std::size_t k = 0; k < e.index->columns.size(); ++k) {
            const bool ascending = k >= e.index->ascending.size() || e.index->ascending[k];
            out.rows.push_back({kNull, kNull, Text(e.table->name), kNull, kNull, Text(e.index->name),
                                Flag(e.index->primaryKey), Flag(e.index->unique), Flag(false), Number(kIndexBtree),
                                Number(100), kNull, Number(e.index->primaryKey ? kNullsDisallowed : kNullsAllowed),
                                Flag(false), Flag(true), Number(kNullsCollateLow), Number(std::int64_t(k) + 1),
                                Text(e.table->columns[e.index->columns[k]].name), kNull, kNull,
                                Number(ascending ? kCollationAscending : kCollationDescending), kNull, kNull, kNull,
                                Flag(false)});
        }
    }
    return out;
}

}  // namespace

bool OpenSchema(jetsql::DataSource& source, Schema schema, const std::vector<jet::Value>& restrictions, jetsql::ResultSet* out,
                RecordsetError* error) {
    const Restrictions r(restrictions);
    switch (schema) {
    case Schema::Tables:
        if (!r.Check(4, 4, error)) return false;
        *out = TablesRowset(source, r);
        return true;
    case Schema::Columns:
        if (!r.Check(4, 4, error)) return false;
        *out = ColumnsRowset(source, r);
        return true;
    case Schema::Indexes:
        if (!r.Check(5, 3, error)) return false;
        *out = IndexesRowset(source, r);
        return true;
    }
    *error = {RecordsetFault::BadArgument, "OpenSchema: unknown schema."};
    return false;
}

}  // namespace ado
