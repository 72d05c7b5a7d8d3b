#include "jet/catalog.h"

#include <initializer_list>

#include "jet/format.h"
#include "jet/property_values.h"

namespace jet {
namespace {

using namespace format;

// Container ids are not page numbers; the high byte keeps them apart from tables.
constexpr std::uint32_t kRootId = 0x0F000000u;
constexpr std::uint32_t kTablesId = 0x0F000001u;
constexpr std::uint32_t kDatabasesId = 0x0F000002u;
constexpr std::uint32_t kRelationshipsId = 0x0F000003u;
constexpr std::uint32_t kDatabaseObjectId = 0x10000000u;
constexpr std::uint32_t kAccessObjectsId = 0x80000000u;  // Access numbers its own objects from here

// Access 2000 as it records itself in the databases it creates.
constexpr char16_t kAccessVersion[] = u"08.50";
constexpr std::int32_t kAccessBuild = 6620;

// Display controls Access gives new columns.
constexpr std::int32_t kTextBox = 109;
constexpr std::int32_t kCheckBox = 106;

enum CatalogColumn {
    kId, kParentId, kName, kType, kDateCreate, kDateUpdate, kOwner, kFlags, kDatabase, kConnect,
    kForeignName, kRmtInfoShort, kRmtInfoLong, kLv, kLvProp, kLvModule, kLvExtra, kCatalogColumns
};

Value Bytes(const std::vector<std::uint8_t>& b) {
    Value v;
    v.kind = Value::Kind::Binary;
    v.binary = b;
    return v;
}

bool IsNumber(ColumnType t) {
    switch (t) {
        case ColumnType::Byte:
        case ColumnType::Integer:
        case ColumnType::LongInteger:
        case ColumnType::Single:
        case ColumnType::Double:
        case ColumnType::Currency: return true;
        default: return false;
    }
}

bool HoldsEmptyText(const Table& table, std::size_t column) {
    for (const auto& row : table.rows)
        if (column < row.size() && row[column].kind == Value::Kind::Text && row[column].text.empty()) return true;
    return false;
}

// What Access 2000 sets on a new column of each type, after the datasheet's
// width, order and visibility. A text column allows the empty text only
// when it holds one, since Access would not have stored it otherwise.
std::vector<Property> ColumnProperties(const Table& table, std::size_t column) {
    const ColumnType type = table.columns[column].type;
    std::vector<Property> p{Property::Integer(u"ColumnWidth", -1, false, 4),
                            Property::Integer(u"ColumnOrder", 0, false, 4),
                            Property::Boolean(u"ColumnHidden", false, false)};
    if (type == ColumnType::Boolean) p.push_back(Property::Text(u"Format", u"Yes/No", true));
    if (IsNumber(type)) {
        p.push_back(Property::Byte(u"DecimalPlaces", 255, true));  // automatic
        p.push_back(Property::Memo(u"DefaultValue", u"0", true));
    }
    p.push_back(Property::Boolean(u"Required", false, true));
    if (IsTextual(type)) p.push_back(Property::Boolean(u"AllowZeroLength", HoldsEmptyText(table, column), true));
    if (IsTextual(type) || IsNumber(type)) p.push_back(Property::Integer(u"DisplayControl", kTextBox, true));
    if (type == ColumnType::Boolean) p.push_back(Property::Integer(u"DisplayControl", kCheckBox, true));
    if (IsTextual(type)) p.push_back(Property::Boolean(u"UnicodeCompression", true, true));
    return p;
}

// The table's own datasheet settings, then one block per column.
ByteVec TableProperties(const Table& table) {
    std::vector<PropertyBlock> blocks{
        {u"", {Property::Byte(u"Orientation", 0, true), Property::Boolean(u"OrderByOn", false, false)}}};
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        blocks.push_back({table.columns[c].name, ColumnProperties(table, c)});
    return EncodeProperties(blocks);
}

ByteVec ObjectProperties(std::vector<Property> properties) { return EncodeProperties({{u"", std::move(properties)}}); }

class CatalogWriter {
public:
    CatalogWriter(double created, Table& catalog, Table& aces) : created_(created), catalog_(catalog), aces_(aces) {
        catalog_.rows.clear();
        aces_.rows.clear();
    }

    void Add(std::uint32_t id, std::uint32_t parent, const std::u16string& name, std::int16_t type,
             std::uint32_t flags, const Sid& owner, const std::vector<Ace>& rights, const ByteVec& properties = {}) {
        std::vector<Value> row(kCatalogColumns);
        row[kId] = Value::FromInteger(static_cast<std::int32_t>(id));
        row[kParentId] = Value::FromInteger(static_cast<std::int32_t>(parent));
        row[kName] = Value::FromText(name);
        row[kType] = Value::FromInteger(type);
        row[kDateCreate] = Value::FromDouble(created_);
        row[kDateUpdate] = Value::FromDouble(created_);
        row[kFlags] = Value::FromInteger(static_cast<std::int32_t>(flags));
        row[kOwner] = Bytes(owner);
        if (!properties.empty()) row[kLvProp] = Bytes(properties);
        catalog_.rows.push_back(std::move(row));
        // Columns of MSysACEs: ObjectId, SID, ACM, FInheritable.
        for (const Ace& a : rights)
            aces_.rows.push_back({Value::FromInteger(static_cast<std::int32_t>(id)), Bytes(*a.sid),
                                  Value::FromInteger(a.rights), Value::FromInteger(a.inheritable ? 1 : 0)});
    }

    void AddTable(const CatalogTable& t, const ByteVec& properties = {}) {
        static const std::vector<Ace> kMadeInAccess{{&kAdminUserSid, kTableAccess, false},
                                                    {&kCreatorSid, kTableAccess, false},
                                                    {&kUsersGroupSid, kTableAccess, false}};
        const bool engine = t.system && t.system->engine;
        const std::uint32_t flags = !t.system ? 0 : engine ? kFlagSystemObject : kFlagHiddenSystem;
        Add(t.tdefPage, kTablesId, t.table->name, kObjectTable, flags, engine ? kEngineSid : kAdminUserSid,
            t.system ? t.system->rights : kMadeInAccess, properties);
    }

private:
    double created_;
    Table& catalog_;
    Table& aces_;
};

}  // namespace

void FillCatalog(const std::vector<CatalogTable>& tables, const CatalogSettings& settings, Table& catalog,
                 Table& aces) {
    CatalogWriter w(settings.created, catalog, aces);
    const std::uint32_t sys = kFlagSystemObject;
    w.Add(kTablesId, kRootId, u"Tables", kObjectContainer, sys, kEngineSid,
          {{&kAdminsGroupSid, 0xF00FE, true}, {&kAdminUserSid, kTableAccess, true},
           {&kCreatorSid, kTableAccess, true}, {&kUsersGroupSid, kTableAccess, true}});
    w.Add(kDatabasesId, kRootId, u"Databases", kObjectContainer, sys, kEngineSid, {{&kAdminUserSid, 0x60000, false}});
    w.Add(kRelationshipsId, kRootId, u"Relationships", kObjectContainer, sys, kEngineSid,
          {{&kAdminsGroupSid, 0xF00FE, true}, {&kAdminUserSid, 0x60001, false}, {&kCreatorSid, kFullAccess, true},
           {&kUsersGroupSid, kFullAccess, true}});
    w.Add(kDatabaseObjectId, kDatabasesId, u"MSysDb", kObjectDatabase, sys, kAdminUserSid,
          {{&kAdminUserSid, 0x6000E, false}, {&kUsersGroupSid, 0x0E, false}, {&kCreatorSid, 0x6000E, false}},
          ObjectProperties({Property::Text(u"AccessVersion", kAccessVersion, false),
                            Property::Long(u"Build", kAccessBuild, false)}));
    for (const auto& t : tables)
        if (t.system && t.system->engine) w.AddTable(t);
    // What Access adds to the engine's database: containers for its own objects, then its property sets.
    std::uint32_t id = kAccessObjectsId;
    for (const char16_t* name : {u"DataAccessPages", u"Forms", u"Modules", u"Reports", u"Scripts", u"SysRel"})
        w.Add(id++, kRootId, name, kObjectContainer, 0, kAdminUserSid,
              {{&kUsersGroupSid, kFullAccess, true}, {&kCreatorSid, kFullAccess, true},
               {&kAdminUserSid, kFullAccess, true}, {&kAdminsGroupSid, kFullAccess, true}});
    w.Add(id++, kDatabasesId, u"AccessLayout", kObjectAccessProperties, 0, kAdminUserSid, {},
          ObjectProperties({Property::Text(u"KeepLocal", u"T", false)}));
    const std::vector<Ace> readOnly{{&kUsersGroupSid, 0x10000, false}};
    w.Add(id++, kDatabasesId, u"SummaryInfo", kObjectAccessProperties, 0, kAdminUserSid, readOnly,
          settings.title.empty() ? ByteVec{} : ObjectProperties({Property::Text(u"Title", settings.title, false)}));
    w.Add(id++, kDatabasesId, u"UserDefined", kObjectAccessProperties, 0, kAdminUserSid, readOnly,
          ObjectProperties({Property::Boolean(u"ReplicateProject", true, false)}));
    for (const auto& t : tables)
        if (t.system && !t.system->engine) w.AddTable(t);
    for (const auto& t : tables)
        if (!t.system) w.AddTable(t, TableProperties(*t.table));
}

}  // namespace jet
