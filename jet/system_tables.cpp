#include "jet/system_tables.h"

#include "jet/format.h"

namespace jet {
namespace {

Column Col(const char16_t* name, ColumnType type, std::uint16_t size = 0) { return Column{name, type, size}; }

Table MakeTable(const char16_t* name, std::vector<Column> columns) {
    Table t;
    t.name = name;
    t.columns = std::move(columns);
    return t;
}

// Container ids are not page numbers; the high byte keeps them apart from tables.
constexpr std::uint32_t kRootId = 0x0F000000u;
constexpr std::uint32_t kTablesId = 0x0F000001u;
constexpr std::uint32_t kDatabasesId = 0x0F000002u;
constexpr std::uint32_t kRelationshipsId = 0x0F000003u;
constexpr std::uint32_t kDatabaseObjectId = 0x10000000u;
constexpr std::uint32_t kAccessContainersId = 0x80000000u;

enum CatalogColumn {
    kId, kParentId, kName, kType, kDateCreate, kDateUpdate, kOwner, kFlags, kDatabase, kConnect,
    kForeignName, kRmtInfoShort, kRmtInfoLong, kLv, kLvProp, kLvModule, kLvExtra, kCatalogColumns
};

// The user Jet's default workgroup logs on as; owner of every object.
const std::vector<std::uint8_t> kAdminSid{0xA6, 0x33};
constexpr std::int64_t kFullAccess = 0xFFFFF;

Value Bytes(const std::vector<std::uint8_t>& b) {
    Value v;
    v.kind = Value::Kind::Binary;
    v.binary = b;
    return v;
}

std::vector<Value> CatalogRow(std::uint32_t id, std::uint32_t parent, const std::u16string& name,
                              std::int16_t type, std::uint32_t flags, double created) {
    std::vector<Value> row(kCatalogColumns);
    row[kId] = Value::FromInteger(static_cast<std::int32_t>(id));
    row[kParentId] = Value::FromInteger(static_cast<std::int32_t>(parent));
    row[kName] = Value::FromText(name);
    row[kType] = Value::FromInteger(type);
    row[kDateCreate] = Value::FromDouble(created);
    row[kDateUpdate] = Value::FromDouble(created);
    row[kFlags] = Value::FromInteger(static_cast<std::int32_t>(flags));
    row[kOwner] = Bytes(kAdminSid);
    return row;
}

}  // namespace

// Columns and indexes as the engine creates them in a new database.
std::vector<Table> SystemTables() {
    using T = ColumnType;
    std::vector<Table> out;
    out.push_back(MakeTable(u"MSysObjects",
                            {Col(u"Id", T::LongInteger), Col(u"ParentId", T::LongInteger), Col(u"Name", T::Text, 510),
                             Col(u"Type", T::Integer), Col(u"DateCreate", T::DateTime),
                             Col(u"DateUpdate", T::DateTime), Col(u"Owner", T::Binary, 510),
                             Col(u"Flags", T::LongInteger), Col(u"Database", T::Memo), Col(u"Connect", T::Memo),
                             Col(u"ForeignName", T::Text, 510), Col(u"RmtInfoShort", T::Binary, 510),
                             Col(u"RmtInfoLong", T::OleObject), Col(u"Lv", T::OleObject),
                             Col(u"LvProp", T::OleObject), Col(u"LvModule", T::OleObject),
                             Col(u"LvExtra", T::OleObject)}));
    out.back().indexes = {Index{u"Id", {u"Id"}, true, true}, Index{u"ParentIdName", {u"ParentId", u"Name"}, true, false}};
    out.push_back(MakeTable(u"MSysACEs", {Col(u"ObjectId", T::LongInteger), Col(u"SID", T::Binary, 510),
                                          Col(u"ACM", T::LongInteger), Col(u"FInheritable", T::Boolean)}));
    out.back().indexes = {Index{u"ObjectId", {u"ObjectId"}, false, false}};
    out.push_back(MakeTable(u"MSysQueries",
                            {Col(u"ObjectId", T::LongInteger), Col(u"Attribute", T::Byte), Col(u"Order", T::Binary, 510),
                             Col(u"Name1", T::Text, 510), Col(u"Name2", T::Text, 510), Col(u"Expression", T::Memo),
                             Col(u"Flag", T::Integer), Col(u"LvExtra", T::LongInteger)}));
    out.back().indexes = {Index{u"ObjectIdAttribute", {u"ObjectId", u"Attribute", u"Order"}, true, true}};
    out.push_back(MakeTable(u"MSysRelationships",
                            {Col(u"szRelationship", T::Text, 510), Col(u"grbit", T::LongInteger),
                             Col(u"ccolumn", T::LongInteger), Col(u"icolumn", T::LongInteger),
                             Col(u"szObject", T::Text, 510), Col(u"szColumn", T::Text, 510),
                             Col(u"szReferencedObject", T::Text, 510), Col(u"szReferencedColumn", T::Text, 510)}));
    out.back().indexes = {Index{u"szObject", {u"szObject"}, false, false},
                          Index{u"szReferencedObject", {u"szReferencedObject"}, false, false},
                          Index{u"szRelationship", {u"szRelationship"}, false, false}};
    // Access adds this one for its own objects; a new database has it empty.
    out.push_back(MakeTable(u"MSysAccessObjects", {Col(u"Data", T::AccessObjectData), Col(u"ID", T::LongInteger)}));
    out.back().indexes = {Index{u"AOIndex", {u"ID"}, true, true}};
    return out;
}

std::uint32_t CatalogFlags(const Table& table, bool system) {
    if (!system) return 0;
    // Tables the engine owns carry the system bit; those Access adds are also hidden.
    if (table.name == u"MSysAccessObjects") return format::kFlagHiddenSystem;
    return format::kFlagSystemObject;
}

void FillCatalog(Table& catalog, Table& aces, const std::vector<const Table*>& tables,
                 const std::vector<std::uint32_t>& tdefPages, std::size_t systemCount, double created) {
    auto& rows = catalog.rows;
    rows.clear();
    aces.rows.clear();
    const std::uint32_t sys = format::kFlagSystemObject;
    rows.push_back(CatalogRow(kTablesId, kRootId, u"Tables", format::kObjectContainer, sys, created));
    rows.push_back(CatalogRow(kDatabasesId, kRootId, u"Databases", format::kObjectContainer, sys, created));
    rows.push_back(CatalogRow(kRelationshipsId, kRootId, u"Relationships", format::kObjectContainer, sys, created));
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const bool system = i < systemCount;
        rows.push_back(CatalogRow(tdefPages[i], kTablesId, tables[i]->name, format::kObjectTable,
                                  CatalogFlags(*tables[i], system), created));
    }
    rows.push_back(CatalogRow(kDatabaseObjectId, kDatabasesId, u"MSysDb", format::kObjectDatabase, sys, created));
    // The containers Access keeps its own objects in.
    std::uint32_t accessId = kAccessContainersId;
    for (const char16_t* name : {u"DataAccessPages", u"Forms", u"Modules", u"Reports", u"Scripts", u"SysRel"})
        rows.push_back(CatalogRow(accessId++, kRootId, name, format::kObjectContainer, 0, created));
    // Columns of MSysACEs: ACM, FInheritable, ObjectId, SID. Containers pass their rights on.
    for (const auto& row : rows) {
        const bool container = row[kType].integer == format::kObjectContainer;
        aces.rows.push_back({row[kId], Bytes(kAdminSid), Value::FromInteger(kFullAccess), Value::FromInteger(container ? 1 : 0)});
    }
}

}  // namespace jet
