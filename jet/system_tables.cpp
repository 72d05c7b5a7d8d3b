#include "jet/system_tables.h"

#include "jet/format.h"

namespace jet {
namespace {

using namespace format;
using T = ColumnType;

Column Col(const char16_t* name, ColumnType type, std::uint16_t size = 0) { return Column{name, type, size}; }

// A table of the engine's: every column updatable and marked as the engine's,
// the one holding security ids (if any) marked as such.
SystemTable EngineTable(const char16_t* name, std::vector<Column> columns, const char16_t* securityIdColumn,
                        std::vector<Index> indexes, std::vector<std::uint8_t> indexFlags, std::vector<Ace> rights) {
    SystemTable s;
    s.table.name = name;
    s.table.columns = std::move(columns);
    s.table.indexes = std::move(indexes);
    s.definitionType = kTableSystem;
    for (const Column& c : s.table.columns) {
        std::uint8_t flags = kColFlagUpdatable | kColFlagSystem;
        if (!IsVariable(c.type)) flags |= kColFlagFixed;
        if (securityIdColumn && c.name == securityIdColumn) flags |= kColFlagSecurityId;
        s.columnFlags.push_back(flags);
    }
    s.indexFlags = std::move(indexFlags);
    s.rights = std::move(rights);
    return s;
}

constexpr std::uint8_t kUniqueIndex = kIndexAccess2000 | kIndexUnique;

}  // namespace

std::vector<SystemTable> SystemTables() {
    std::vector<SystemTable> out;
    out.push_back(EngineTable(
        u"MSysObjects",
        {Col(u"Id", T::LongInteger), Col(u"ParentId", T::LongInteger), Col(u"Name", T::Text, 510),
         Col(u"Type", T::Integer), Col(u"DateCreate", T::DateTime), Col(u"DateUpdate", T::DateTime),
         Col(u"Owner", T::Binary, 510), Col(u"Flags", T::LongInteger), Col(u"Database", T::Memo),
         Col(u"Connect", T::Memo), Col(u"ForeignName", T::Text, 510), Col(u"RmtInfoShort", T::Binary, 510),
         Col(u"RmtInfoLong", T::OleObject), Col(u"Lv", T::OleObject), Col(u"LvProp", T::OleObject),
         Col(u"LvModule", T::OleObject), Col(u"LvExtra", T::OleObject)},
        u"Owner", {Index{u"Id", {u"Id"}, true, true}, Index{u"ParentIdName", {u"ParentId", u"Name"}, true, false}},
        {kUniqueIndex, kUniqueIndex},
        {{&kAdminUserSid, 0x60000, false}, {&kCreatorSid, 0x60054, false}, {&kUsersGroupSid, 0x14, false}}));
    out.push_back(EngineTable(u"MSysACEs",
                              {Col(u"ObjectId", T::LongInteger), Col(u"SID", T::Binary, 510),
                               Col(u"ACM", T::LongInteger), Col(u"FInheritable", T::Boolean)},
                              u"SID", {Index{u"ObjectId", {u"ObjectId"}, false, false}},
                              {kIndexAccess2000 | kIndexRequired},
                              {{&kAdminUserSid, 0x60000, false}, {&kCreatorSid, 0x60054, false}}));
    out.push_back(EngineTable(
        u"MSysQueries",
        {Col(u"ObjectId", T::LongInteger), Col(u"Attribute", T::Byte), Col(u"Order", T::Binary, 510),
         Col(u"Name1", T::Text, 510), Col(u"Name2", T::Text, 510), Col(u"Expression", T::Memo),
         Col(u"Flag", T::Integer), Col(u"LvExtra", T::LongInteger)},
        nullptr, {Index{u"ObjectIdAttribute", {u"ObjectId", u"Attribute", u"Order"}, true, true}}, {kUniqueIndex},
        {{&kAdminUserSid, 0x60000, false}, {&kCreatorSid, 0x60014, false}, {&kUsersGroupSid, 0x14, false}}));
    constexpr std::uint8_t kIgnoringNulls = kIndexAccess2000 | kIndexIgnoreNulls;
    out.push_back(EngineTable(
        u"MSysRelationships",
        {Col(u"szRelationship", T::Text, 510), Col(u"grbit", T::LongInteger), Col(u"ccolumn", T::LongInteger),
         Col(u"icolumn", T::LongInteger), Col(u"szObject", T::Text, 510), Col(u"szColumn", T::Text, 510),
         Col(u"szReferencedObject", T::Text, 510), Col(u"szReferencedColumn", T::Text, 510)},
        nullptr,
        {Index{u"szObject", {u"szObject"}, false, false},
         Index{u"szReferencedObject", {u"szReferencedObject"}, false, false},
         Index{u"szRelationship", {u"szRelationship"}, false, false}},
        {kIgnoringNulls, kIgnoringNulls, kIgnoringNulls},
        {{&kAdminUserSid, 0xE0000, false}, {&kCreatorSid, 0x60014, false}, {&kUsersGroupSid, 0x14, false}}));
    // Access adds this one for its own objects, as an ordinary table whose ID
    // sits among the variable columns; a new database made here has it empty.
    SystemTable access;
    access.table.name = u"MSysAccessObjects";
    access.table.columns = {Col(u"Data", T::AccessObjectData), Col(u"ID", T::LongInteger)};
    access.table.indexes = {Index{u"AOIndex", {u"ID"}, true, true}};
    access.engine = false;
    access.definitionType = kTableUser;
    access.columnFlags = {kColFlagUpdatable | kColFlagFixed, kColFlagUpdatable};
    access.indexFlags = {kIndexAccess2000 | kIndexUnique | kIndexRequired};
    access.rights = {{&kAdminUserSid, kFullAccess, false}, {&kCreatorSid, kFullAccess, false},
                     {&kUsersGroupSid, kFullAccess, false}};
    out.push_back(std::move(access));
    return out;
}

}  // namespace jet
