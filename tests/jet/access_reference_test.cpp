// The writer's file beside the empty database Access 2000 itself created
// (fixtures/access2000-empty.mdb): the same header, catalog, property values,
// rights and flags, with the user's table added as Access adds a new one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

#include "jet/database_file.h"
#include "jet/format.h"
#include "jet/property_values.h"
#include "tests/support/jet_reader.h"
#include "jet/security_ids.h"
#include "jet/utf.h"
#include "jet/writer.h"

using namespace jet;

namespace {

const std::string kFixtures = QALOMIR_JET_FIXTURES;

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    std::uint8_t buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    return bytes;
}

// The table the database builder writes, with a few rows.
Table LookupTable() {
    Table t;
    t.name = u"api_const";
    t.columns = {{u"宏或常量名", ColumnType::Text, 0}, {u"常量值", ColumnType::Text, 0}, {u"备注", ColumnType::Text, 0}};
    t.indexes = {Index{u"宏或常量名", {u"宏或常量名"}, false, false}};
    t.rows.push_back({Value::FromText(u"WM_CREATE"), Value::FromText(u"1"), Value::FromText(u"winuser.h")});
    t.rows.push_back({Value::FromText(u"WM_DESTROY"), Value::FromText(u"2"), Value::FromText(u"winuser.h")});
    return t;
}

using Row = std::vector<Value>;

class JetAccessReference : public ::testing::Test {
protected:
    void SetUp() override {
        reference_ = ReadFile(kFixtures + "/access2000-empty.mdb");
        ASSERT_EQ(98304u, reference_.size()) << kFixtures;
        WriteOptions options;
        options.title = u"API常量";
        std::string error;
        ASSERT_TRUE(WriteDatabase({LookupTable()}, written_, &error, options)) << error;
        access_ = DatabaseFile::Open(PageSource(reference_.data(), reference_.size()), &error);
        ASSERT_TRUE(access_) << error;
        ours_ = DatabaseFile::Open(PageSource(written_.data(), written_.size()), &error);
        ASSERT_TRUE(ours_) << error;
    }

    static std::vector<Row> Rows(const DatabaseFile& file, const char16_t* table) {
        std::vector<Row> rows;
        std::string error;
        EXPECT_TRUE(file.ReadAll(*file.Find(table), rows, &error)) << error;
        return rows;
    }
    static std::size_t Column(const DatabaseFile& file, const char16_t* table, const char16_t* column) {
        const auto& columns = file.Find(table)->def.columns;
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name == column) return i;
        ADD_FAILURE() << Utf16ToUtf8(column);
        return 0;
    }
    // Catalog rows by name, in catalog order.
    static std::vector<std::pair<std::u16string, Row>> Catalog(const DatabaseFile& file) {
        std::vector<std::pair<std::u16string, Row>> out;
        const std::size_t name = Column(file, u"MSysObjects", u"Name");
        for (Row& row : Rows(file, u"MSysObjects")) out.emplace_back(row[name].text, std::move(row));
        return out;
    }
    static const Row& Object(const std::vector<std::pair<std::u16string, Row>>& catalog, const std::u16string& name) {
        static const Row none;
        for (const auto& [n, row] : catalog)
            if (n == name) return row;
        ADD_FAILURE() << "no catalog row " << Utf16ToUtf8(name);
        return none;
    }
    // Each object's rights (security id, rights, inheritable), sorted, by the object's name.
    static std::map<std::u16string, std::vector<std::tuple<Sid, std::int64_t, std::int64_t>>> Rights(
        const DatabaseFile& file) {
        std::map<std::int64_t, std::u16string> names;
        const std::size_t id = Column(file, u"MSysObjects", u"Id");
        for (const auto& [name, row] : Catalog(file)) names[row[id].integer] = name;
        std::map<std::u16string, std::vector<std::tuple<Sid, std::int64_t, std::int64_t>>> out;
        for (const Row& ace : Rows(file, u"MSysACEs")) {
            EXPECT_TRUE(names.count(ace[0].integer)) << ace[0].integer;
            out[names[ace[0].integer]].emplace_back(ace[1].binary, ace[2].integer, ace[3].integer);
        }
        for (auto& [name, list] : out) std::sort(list.begin(), list.end());
        return out;
    }

    std::vector<std::uint8_t> reference_, written_;
    std::unique_ptr<DatabaseFile> access_, ours_;
};

std::vector<PropertyBlock> Decoded(const Value& v) {
    std::vector<PropertyBlock> blocks;
    EXPECT_TRUE(v.kind == Value::Kind::Binary && DecodeProperties(ByteView(v.binary.data(), v.binary.size()), blocks));
    return blocks;
}

}  // namespace

TEST_F(JetAccessReference, HeaderPageIsAccessesOwn) {
    EXPECT_TRUE(std::equal(reference_.begin(), reference_.begin() + format::kPageSize, written_.begin()));
}

TEST_F(JetAccessReference, CatalogHoldsEveryObjectAccessCreatesInItsOrder) {
    const auto access = Catalog(*access_), ours = Catalog(*ours_);
    ASSERT_EQ(access.size() + 1, ours.size());
    const std::size_t id = Column(*ours_, u"MSysObjects", u"Id"), parent = Column(*ours_, u"MSysObjects", u"ParentId"),
                      type = Column(*ours_, u"MSysObjects", u"Type"), owner = Column(*ours_, u"MSysObjects", u"Owner"),
                      flags = Column(*ours_, u"MSysObjects", u"Flags");
    for (std::size_t i = 0; i < access.size(); ++i) {
        const auto& [name, want] = access[i];
        SCOPED_TRACE(Utf16ToUtf8(name));
        EXPECT_TRUE(ours[i].first == name);
        const Row& got = ours[i].second;
        // A table's id is the page of its definition, which differs between files.
        if (want[type].integer != format::kObjectTable) {
            EXPECT_EQ(want[id].integer, got[id].integer);
        }
        EXPECT_EQ(want[parent].integer, got[parent].integer);
        EXPECT_EQ(want[type].integer, got[type].integer);
        EXPECT_EQ(want[owner].binary, got[owner].binary);
        EXPECT_EQ(want[flags].integer, got[flags].integer);
    }
    // The user's table comes last, made by Admin like any table made in Access.
    const Row& table = ours.back().second;
    EXPECT_TRUE(ours.back().first == u"api_const");
    EXPECT_EQ(format::kObjectTable, table[type].integer);
    EXPECT_EQ(Object(access, u"MSysAccessObjects")[parent].integer, table[parent].integer);
    EXPECT_EQ(kAdminUserSid, table[owner].binary);
    EXPECT_EQ(0, table[flags].integer);
    EXPECT_EQ(3, std::count_if(ours.begin(), ours.end(), [&](const auto& o) {
                  return o.second[type].integer == format::kObjectAccessProperties;
              }));
}

TEST_F(JetAccessReference, PropertyValuesAreAccesses) {
    const auto access = Catalog(*access_), ours = Catalog(*ours_);
    const std::size_t props = Column(*ours_, u"MSysObjects", u"LvProp");
    // Byte for byte: the version Access records, its layout and user-defined settings.
    for (const char16_t* object : {u"MSysDb", u"AccessLayout", u"UserDefined"}) {
        SCOPED_TRACE(Utf16ToUtf8(object));
        EXPECT_FALSE(Object(ours, object)[props].IsNull());
        EXPECT_EQ(Object(access, object)[props].binary, Object(ours, object)[props].binary);
    }
    const auto msysdb = Decoded(Object(ours, u"MSysDb")[props]);
    ASSERT_EQ(1u, msysdb.size());
    EXPECT_TRUE((msysdb[0].properties == std::vector<Property>{Property::Text(u"AccessVersion", u"08.50", false),
                                                               Property::Long(u"Build", 6620, false)}));
    // The summary: the title Access takes from the file name, stored as Access
    // stores it; no author or company, as no user is registered here.
    const auto summary = Decoded(Object(ours, u"SummaryInfo")[props]);
    const auto accessSummary = Decoded(Object(access, u"SummaryInfo")[props]);
    ASSERT_EQ(1u, summary.size());
    ASSERT_EQ(1u, summary[0].properties.size());
    const Property& title = summary[0].properties[0];
    EXPECT_TRUE(title == Property::Text(u"Title", u"API常量", false));
    ASSERT_EQ(1u, accessSummary.size());
    ASSERT_FALSE(accessSummary[0].properties.empty());
    EXPECT_TRUE(accessSummary[0].properties[0].name == u"Title");
    EXPECT_EQ(accessSummary[0].properties[0].type, title.type);
    EXPECT_EQ(accessSummary[0].properties[0].ddl, title.ddl);
    // Everything else has none, in either file; the user's table has its own.
    for (const auto& [name, row] : access)
        if (name != u"MSysDb" && name != u"AccessLayout" && name != u"UserDefined" && name != u"SummaryInfo") {
            EXPECT_TRUE(row[props].IsNull()) << Utf16ToUtf8(name);
            EXPECT_TRUE(Object(ours, name)[props].IsNull()) << Utf16ToUtf8(name);
        }
    const auto table = Decoded(Object(ours, u"api_const")[props]);
    ASSERT_EQ(4u, table.size());
    EXPECT_TRUE(table[0].name.empty());
    EXPECT_TRUE(table[1].name == u"宏或常量名" && table[2].name == u"常量值" && table[3].name == u"备注");
}

TEST_F(JetAccessReference, RightsAreThoseAccessGives) {
    const auto access = Rights(*access_), ours = Rights(*ours_);
    for (const auto& [name, list] : access) {
        SCOPED_TRACE(Utf16ToUtf8(name));
        ASSERT_TRUE(ours.count(name));
        EXPECT_TRUE(list == ours.at(name));
    }
    // The long id is Access's own, and it names it on the engine's objects too.
    ASSERT_EQ(3u, access.at(u"MSysObjects").size());
    EXPECT_TRUE(std::get<0>(access.at(u"MSysObjects")[0]) == kCreatorSid);
    EXPECT_EQ(0x60054, std::get<1>(access.at(u"MSysObjects")[0]));
    EXPECT_EQ(access.size() + 1, ours.size());
    // A new table: Admin, Access's long id and Users, each with full rights but
    // to change the table's design.
    const std::vector<std::tuple<Sid, std::int64_t, std::int64_t>> table{
        {kCreatorSid, 0xFFEFF, 0}, {kAdminUserSid, 0xFFEFF, 0}, {kUsersGroupSid, 0xFFEFF, 0}};
    EXPECT_TRUE(table == ours.at(u"api_const"));
}

TEST_F(JetAccessReference, TableDefinitionsCarryAccessesFlags) {
    for (const char16_t* name : {u"MSysObjects", u"MSysACEs", u"MSysQueries", u"MSysRelationships",
                                 u"MSysAccessObjects"}) {
        SCOPED_TRACE(Utf16ToUtf8(name));
        const TableDef& want = access_->Find(name)->def;
        const TableDef& got = ours_->Find(name)->def;
        EXPECT_EQ(want.type, got.type);
        EXPECT_EQ(want.varCount, got.varCount);
        ASSERT_EQ(want.columns.size(), got.columns.size());
        for (std::size_t c = 0; c < want.columns.size(); ++c) {
            SCOPED_TRACE(Utf16ToUtf8(want.columns[c].name));
            EXPECT_TRUE(want.columns[c].name == got.columns[c].name);
            EXPECT_EQ(want.layout[c].type, got.layout[c].type);
            EXPECT_EQ(want.layout[c].number, got.layout[c].number);
            EXPECT_EQ(want.layout[c].flags, got.layout[c].flags);
            EXPECT_EQ(want.layout[c].fixed, got.layout[c].fixed);
            EXPECT_EQ(want.layout[c].compressed, got.layout[c].compressed);
            EXPECT_EQ(want.layout[c].length, got.layout[c].length);
            if (want.layout[c].fixed) {
                EXPECT_EQ(want.layout[c].fixedOffset, got.layout[c].fixedOffset);
            }
        }
        ASSERT_EQ(want.indexes.size(), got.indexes.size());
        for (const IndexDef& w : want.indexes) {
            SCOPED_TRACE(Utf16ToUtf8(w.index.name));
            const auto g = std::find_if(got.indexes.begin(), got.indexes.end(),
                                        [&](const IndexDef& i) { return i.index.name == w.index.name; });
            ASSERT_NE(got.indexes.end(), g);
            EXPECT_EQ(w.columnNumbers, g->columnNumbers);
            EXPECT_EQ(w.ascending, g->ascending);
            EXPECT_EQ(w.flags, g->flags);
            EXPECT_EQ(w.cascadeUpdates, g->cascadeUpdates);
            EXPECT_EQ(w.cascadeDeletes, g->cascadeDeletes);
            EXPECT_EQ(w.index.primaryKey, g->index.primaryKey);
        }
    }
    // The points where the two once differed, stated outright.
    EXPECT_EQ(format::kTableUser, ours_->Find(u"MSysAccessObjects")->def.type);
    EXPECT_EQ(0x02, ours_->Find(u"MSysAccessObjects")->def.layout[1].flags);  // ID, among the variable columns
    EXPECT_EQ(0x03, ours_->Find(u"MSysAccessObjects")->def.layout[0].flags);
    EXPECT_EQ(0x32, ours_->Find(u"MSysACEs")->def.layout[1].flags);  // SID
    EXPECT_EQ(0x32, ours_->Find(u"MSysObjects")->def.layout[6].flags);  // Owner
    EXPECT_EQ(0x88, ours_->Find(u"MSysACEs")->def.indexes[0].flags);
    EXPECT_EQ(0x89, ours_->Find(u"MSysAccessObjects")->def.indexes[0].flags);
    for (const IndexDef& i : ours_->Find(u"MSysRelationships")->def.indexes) EXPECT_EQ(0x82, i.flags);
    // The user's table as Access makes one: an ordinary table, its texts
    // compressed, its index with Access 2000's flag and cascade bytes.
    const TableDef& table = ours_->Find(u"api_const")->def;
    EXPECT_EQ(format::kTableUser, table.type);
    for (const ColumnPlan& c : table.layout) {
        EXPECT_EQ(0x02, c.flags);
        EXPECT_TRUE(c.compressed);
    }
    ASSERT_EQ(1u, table.indexes.size());
    EXPECT_EQ(0x80, table.indexes[0].flags);
    EXPECT_EQ(0x04, table.indexes[0].cascadeUpdates);
    EXPECT_EQ(0x04, table.indexes[0].cascadeDeletes);
}

TEST_F(JetAccessReference, ReaderReadsAccessesFileWhole) {
    std::string error;
    auto db = Database::OpenBytes(reference_, &error);
    ASSERT_TRUE(db) << error;
    EXPECT_TRUE(db->TableNames().empty());
    // MSysAccessObjects keeps its ID among the variable columns.
    const Table* objects = db->FindTable(u"MSysAccessObjects");
    ASSERT_TRUE(objects);
    ASSERT_EQ(3u, objects->rows.size());
    for (std::int64_t i = 0; i < 3; ++i) EXPECT_EQ(i, objects->rows[static_cast<std::size_t>(i)][1].integer);
    EXPECT_EQ(52u, db->FindTable(u"MSysACEs")->rows.size());
}

TEST(JetAccessReferenceFiles, AnAccess2007FileIsRefusedAsSuch) {
    const std::string path = kFixtures + "/access2007-empty.accdb";
    ASSERT_EQ(327680u, ReadFile(path).size());
    std::string error;
    EXPECT_FALSE(Database::Open(path, &error));
    EXPECT_EQ("Access 2007 and later files (.accdb, ACE) are not supported", error);
    const auto bytes = ReadFile(path);
    EXPECT_FALSE(DatabaseFile::Open(PageSource(bytes.data(), bytes.size()), &error));
    EXPECT_EQ("Access 2007 and later files (.accdb, ACE) are not supported", error);
}
