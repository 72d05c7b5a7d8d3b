#include "jet/system_tables.h"

#include <initializer_list>

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

// Security ids as a new Access 2000 database stores them. Jet keeps them
// masked with a key tied to the header page, which is why the header page
// carries the matching fixed fields (see header_page.cpp).
using Sid = std::vector<std::uint8_t>;
const Sid kEngineSid{0xA7, 0x31};       // owner of what the engine creates
const Sid kAdminUserSid{0xA6, 0x33};    // the default user, Admin
const Sid kUsersGroupSid{0xA7, 0x33};   // every user
const Sid kAdminsGroupSid{0xA7, 0x36};  // administrators
constexpr std::int64_t kFullAccess = 0xFFFFF;

struct Ace {
    const Sid* sid;
    std::int64_t rights;
    bool inheritable;
};

Value Bytes(const std::vector<std::uint8_t>& b) {
    Value v;
    v.kind = Value::Kind::Binary;
    v.binary = b;
    return v;
}

std::vector<Value> CatalogRow(std::uint32_t id, std::uint32_t parent, const std::u16string& name,
                              std::int16_t type, std::uint32_t flags, double created, const Sid& owner) {
    std::vector<Value> row(kCatalogColumns);
    row[kId] = Value::FromInteger(static_cast<std::int32_t>(id));
    row[kParentId] = Value::FromInteger(static_cast<std::int32_t>(parent));
    row[kName] = Value::FromText(name);
    row[kType] = Value::FromInteger(type);
    row[kDateCreate] = Value::FromDouble(created);
    row[kDateUpdate] = Value::FromDouble(created);
    row[kFlags] = Value::FromInteger(static_cast<std::int32_t>(flags));
    row[kOwner] = Bytes(owner);
    return row;
}

void AddAces(Table& aces, std::uint32_t object, std::initializer_list<Ace> list) {
    // Columns of MSysACEs: ObjectId, SID, ACM, FInheritable.
    for (const Ace& a : list)
        aces.rows.push_back({Value::FromInteger(static_cast<std::int32_t>(object)), Bytes(*a.sid),
                             Value::FromInteger(a.rights), Value::FromInteger(a.inheritable ? 1 : 0)});
}

// The rights Access gives each system object of a new database.
void AddSystemTableAces(Table& aces, std::uint32_t id, const std::u16string& name) {
    if (name == u"MSysObjects" || name == u"MSysQueries")
        AddAces(aces, id, {{&kAdminUserSid, 0x60000, false}, {&kUsersGroupSid, 0x14, false}});
    else if (name == u"MSysACEs")
        AddAces(aces, id, {{&kAdminUserSid, 0x60000, false}});
    else if (name == u"MSysRelationships")
        AddAces(aces, id, {{&kAdminUserSid, 0xE0000, false}, {&kUsersGroupSid, 0x14, false}});
    else
        AddAces(aces, id, {{&kAdminUserSid, kFullAccess, false}, {&kUsersGroupSid, kFullAccess, false}});
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
    const auto container = [&](std::uint32_t id, std::uint32_t parent, const char16_t* name, std::uint32_t flags,
                               const Sid& owner) {
        rows.push_back(CatalogRow(id, parent, name, format::kObjectContainer, flags, created, owner));
    };
    container(kTablesId, kRootId, u"Tables", sys, kEngineSid);
    AddAces(aces, kTablesId, {{&kAdminsGroupSid, 0xF00FE, true}, {&kAdminUserSid, 0xFFEFF, true},
                              {&kUsersGroupSid, 0xFFEFF, true}});
    container(kDatabasesId, kRootId, u"Databases", sys, kEngineSid);
    AddAces(aces, kDatabasesId, {{&kAdminUserSid, 0x60000, false}});
    container(kRelationshipsId, kRootId, u"Relationships", sys, kEngineSid);
    AddAces(aces, kRelationshipsId, {{&kAdminsGroupSid, 0xF00FE, true}, {&kAdminUserSid, 0x60001, false},
                                     {&kUsersGroupSid, kFullAccess, true}});
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const bool system = i < systemCount;
        const bool engine = system && tables[i]->name != u"MSysAccessObjects";
        rows.push_back(CatalogRow(tdefPages[i], kTablesId, tables[i]->name, format::kObjectTable,
                                  CatalogFlags(*tables[i], system), created, engine ? kEngineSid : kAdminUserSid));
        if (system)
            AddSystemTableAces(aces, tdefPages[i], tables[i]->name);
        else  // as the Tables container passes them on
            AddAces(aces, tdefPages[i], {{&kAdminsGroupSid, kFullAccess, false}, {&kAdminUserSid, kFullAccess, false},
                                         {&kUsersGroupSid, kFullAccess, false}});
    }
    rows.push_back(CatalogRow(kDatabaseObjectId, kDatabasesId, u"MSysDb", format::kObjectDatabase, sys, created,
                              kAdminUserSid));
    AddAces(aces, kDatabaseObjectId, {{&kAdminUserSid, 0x6000E, false}, {&kUsersGroupSid, 0x0E, false}});
    // The containers Access keeps its own objects in.
    std::uint32_t accessId = kAccessContainersId;
    for (const char16_t* name : {u"DataAccessPages", u"Forms", u"Modules", u"Reports", u"Scripts", u"SysRel"}) {
        AddAces(aces, accessId, {{&kUsersGroupSid, kFullAccess, true}, {&kAdminUserSid, kFullAccess, true},
                                 {&kAdminsGroupSid, kFullAccess, true}});
        container(accessId++, kRootId, name, 0, kAdminUserSid);
    }
}

}  // namespace jet
