// Index keys in the General sort order, index trees over many pages, and
// lookups that the file's index answers.
#include <gtest/gtest.h>

#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "tests/support/jet_reader.h"
#include "jet/utf.h"
#include "jet/writer.h"
#include "sample_tables.h"

using namespace jet;

namespace {

ByteVec Key(ColumnType type, const Value& v) {
    ByteVec k;
    EXPECT_TRUE(AppendKeyValue(type, v, k));
    return k;
}

bool Keyable(ColumnType type, const Value& v) {
    ByteVec k;
    return AppendKeyValue(type, v, k);
}

Table Indexed(std::size_t rows, bool unique) {
    Table t = jet_test::ApiConstTable(rows);
    t.indexes = {Index{u"宏或常量名", {u"宏或常量名"}, unique, false}};
    return t;
}

std::unique_ptr<Database> Open(const std::vector<Table>& tables, std::string* error = nullptr) {
    std::vector<std::uint8_t> bytes;
    std::string e;
    if (!WriteDatabase(tables, bytes, &e)) {
        if (error) *error = e;
        return nullptr;
    }
    return Database::OpenBytes(bytes, error);
}

}  // namespace

TEST(JetIndexKey, TextsUseGeneralSortCodesWithoutCase) {
    EXPECT_EQ((ByteVec{0x7F, 0x73, 0x60, 0x2B, 0x03, 0x4D, 0x69, 0x51, 0x4A, 0x6D, 0x51, 0x01, 0x00}),
              Key(ColumnType::Text, Value::FromText(u"WM_CREATE")));
    EXPECT_EQ(Key(ColumnType::Text, Value::FromText(u"WM_CREATE")), Key(ColumnType::Text, Value::FromText(u"wm_create")));
    EXPECT_EQ((ByteVec{0x7F, 0x36, 0x48, 0x07, 0x09, 0x2B, 0x0F, 0x01, 0x00}),
              Key(ColumnType::Text, Value::FromText(u"09 !~")));
    EXPECT_EQ((ByteVec{0x7F, 0x08, 0x03, 0x01, 0x00}), Key(ColumnType::Text, Value::FromText(u"\t")));
    EXPECT_EQ((ByteVec{0x7F, 0x01, 0x00}), Key(ColumnType::Text, Value::FromText(u"")));
    EXPECT_EQ((ByteVec{0x00}), Key(ColumnType::Text, Value::Null()));
    // Only the first 255 characters count.
    EXPECT_EQ(Key(ColumnType::Text, Value::FromText(std::u16string(255, u'a'))),
              Key(ColumnType::Text, Value::FromText(std::u16string(300, u'a'))));
    // Characters outside ASCII are refused.
    EXPECT_FALSE(Keyable(ColumnType::Text, Value::FromText(u"中")));
    EXPECT_FALSE(Keyable(ColumnType::Text, Value::FromText(u"\u00e9")));
    EXPECT_FALSE(Keyable(ColumnType::Text, Value::FromInteger(1)));
}

TEST(JetIndexKey, UnprintableCharactersGoToTheTrailerWithTheirPosition) {
    // As Access 2000 stores "-1": the '1' inline, then three end marks and the
    // '-' with position code 0x8000 | 7 + 4 * (inline characters before it).
    EXPECT_EQ((ByteVec{0x7F, 0x38, 0x01, 0x01, 0x01, 0x01, 0x80, 0x07, 0x06, 0x82, 0x00}),
              Key(ColumnType::Text, Value::FromText(u"-1")));
    EXPECT_EQ((ByteVec{0x7F, 0x59, 0x6D, 0x6B, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0F, 0x06, 0x80, 0x00}),
              Key(ColumnType::Text, Value::FromText(u"it's")));
    EXPECT_EQ((ByteVec{0x7F, 0x4A, 0x4C, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x80, 0x0B, 0x06, 0x82, 0x00}),
              Key(ColumnType::Text, Value::FromText(u"a--b")));
}

TEST(JetIndexKey, DescendingColumnsInvertEveryByte) {
    ByteVec k;
    ASSERT_TRUE(AppendKeyValue(ColumnType::LongInteger, Value::FromInteger(1), k, false));
    EXPECT_EQ((ByteVec{0x80, 0x7F, 0xFF, 0xFF, 0xFE}), k);
    k.clear();
    ASSERT_TRUE(AppendKeyValue(ColumnType::Text, Value::Null(), k, false));
    EXPECT_EQ(ByteVec{0xFF}, k);
}

TEST(JetIndexKey, FloatingPointAndDatesSortByValue) {
    EXPECT_EQ((ByteVec{0x7F, 0xBF, 0xF0, 0, 0, 0, 0, 0, 0}), Key(ColumnType::Double, Value::FromDouble(1.0)));
    EXPECT_EQ((ByteVec{0x7F, 0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), Key(ColumnType::Double, Value::FromDouble(-1.0)));
    EXPECT_LT(Key(ColumnType::DateTime, Value::FromDouble(-2.5)), Key(ColumnType::DateTime, Value::FromDouble(-1.0)));
    EXPECT_LT(Key(ColumnType::DateTime, Value::FromDouble(-1.0)), Key(ColumnType::DateTime, Value::FromDouble(0.0)));
    EXPECT_LT(Key(ColumnType::DateTime, Value::FromDouble(40000.5)), Key(ColumnType::DateTime, Value::FromDouble(40001.0)));
    EXPECT_EQ((ByteVec{0x7F, 0xBF, 0x80, 0, 0}), Key(ColumnType::Single, Value::FromInteger(1)));
}

TEST(JetIndexKey, IntegersSortAsBigEndianWithTheSignFlipped) {
    EXPECT_EQ((ByteVec{0x7F, 0x80, 0x00, 0x00, 0x01}), Key(ColumnType::LongInteger, Value::FromInteger(1)));
    EXPECT_EQ((ByteVec{0x7F, 0x7F, 0xFF, 0xFF, 0xFF}), Key(ColumnType::LongInteger, Value::FromInteger(-1)));
    EXPECT_EQ((ByteVec{0x7F, 0x00, 0x00, 0x00, 0x00}), Key(ColumnType::LongInteger, Value::FromInteger(INT32_MIN)));
    EXPECT_EQ((ByteVec{0x7F, 0x80, 0x05}), Key(ColumnType::Integer, Value::FromInteger(5)));
    EXPECT_EQ((ByteVec{0x7F, 0xFE}), Key(ColumnType::Byte, Value::FromInteger(254)));
    EXPECT_FALSE(Keyable(ColumnType::LongInteger, Value::FromInteger(1LL << 32)));
    EXPECT_FALSE(Keyable(ColumnType::Currency, Value::FromDouble(1)));
    EXPECT_LT(Key(ColumnType::LongInteger, Value::FromInteger(-5)), Key(ColumnType::LongInteger, Value::FromInteger(3)));
}

TEST(JetIndexTree, EveryKeyFoundAcrossLeafAndNodeLevels) {
    // 60000 names fill a few hundred leaves under two levels of nodes.
    for (std::size_t rows : {0u, 1u, 300u, 60000u}) {
        SCOPED_TRACE(rows);
        auto db = Open({Indexed(rows, true)});
        ASSERT_TRUE(db);
        const Table* t = db->FindTable(u"api_const");
        ASSERT_TRUE(db->HasFileIndex(*t, 0));
        EXPECT_FALSE(db->HasFileIndex(*t, 1));
        for (std::size_t i = 0; i < rows; i += (rows > 1000 ? 587 : 1)) {
            const std::u16string name = u"Name_" + Utf8ToUtf16(std::to_string(i));
            ASSERT_EQ((std::vector<std::size_t>{i}), db->FindRowsEqual(*t, 0, Value::FromText(name))) << i;
            EXPECT_TRUE(db->FindRowsEqual(*t, 0, Value::FromText(name), TextMatch::Exact).empty());
        }
        EXPECT_TRUE(db->FindRowsEqual(*t, 0, Value::FromText(u"NAME_")).empty());
        EXPECT_TRUE(db->FindRowsEqual(*t, 0, Value::FromText(u"ZZZ")).empty());
        EXPECT_TRUE(db->FindRowsEqual(*t, 0, Value::FromText(u"")).empty());
    }
}

TEST(JetIndexTree, DuplicateKeysSpanningPagesAreAllFound) {
    Table t = Indexed(0, false);
    for (int i = 0; i < 3000; ++i)
        t.rows.push_back({Value::FromText(i % 2 ? u"SAME" : u"same"), Value::FromText(u"v"), Value::Null()});
    t.rows.push_back({Value::FromText(u"other"), Value::Null(), Value::Null()});
    t.rows.push_back({Value::Null(), Value::Null(), Value::Null()});
    auto db = Open({t});
    ASSERT_TRUE(db);
    const Table* got = db->FindTable(u"api_const");
    ASSERT_TRUE(db->HasFileIndex(*got, 0));
    EXPECT_EQ(3000u, db->FindRowsEqual(*got, 0, Value::FromText(u"Same")).size());
    EXPECT_EQ(1500u, db->FindRowsEqual(*got, 0, Value::FromText(u"SAME"), TextMatch::Exact).size());
    EXPECT_EQ((std::vector<std::size_t>{3000}), db->FindRowsEqual(*got, 0, Value::FromText(u"OTHER")));
    EXPECT_TRUE(db->FindRowsEqual(*got, 0, Value::Null()).empty());
}

TEST(JetIndexTree, IntegerIndexAnswersByValue) {
    Table t;
    t.name = u"nums";
    t.columns = {{u"n", ColumnType::LongInteger}, {u"s", ColumnType::Integer}};
    t.indexes = {Index{u"PrimaryKey", {u"n"}, true, true}, Index{u"s", {u"S"}, false, false}};
    for (int i = -500; i < 500; ++i) t.rows.push_back({Value::FromInteger(i * 1000), Value::FromInteger(i % 7)});
    auto db = Open({t});
    ASSERT_TRUE(db);
    const Table* got = db->FindTable(u"nums");
    ASSERT_EQ(2u, got->indexes.size());
    EXPECT_TRUE(got->indexes[0].primaryKey);
    EXPECT_TRUE(got->indexes[0].unique);
    EXPECT_TRUE(got->indexes[1].columns == std::vector<std::u16string>{u"s"});
    ASSERT_TRUE(db->HasFileIndex(*got, 0));
    EXPECT_EQ((std::vector<std::size_t>{0}), db->FindRowsEqual(*got, 0, Value::FromInteger(-500000)));
    EXPECT_EQ((std::vector<std::size_t>{777}), db->FindRowsEqual(*got, 0, Value::FromInteger(277000)));
    EXPECT_EQ((std::vector<std::size_t>{777}), db->FindRowsEqual(*got, 0, Value::FromDouble(277000.0)));
    EXPECT_TRUE(db->FindRowsEqual(*got, 0, Value::FromInteger(1)).empty());
    std::vector<std::size_t> threes;
    for (std::size_t r = 0; r < got->rows.size(); ++r)
        if (got->rows[r][1].integer == 3) threes.push_back(r);
    EXPECT_EQ(71u, threes.size());
    EXPECT_EQ(threes, db->FindRowsEqual(*got, 1, Value::FromInteger(3)));
}

TEST(JetIndexTree, WriterRefusesIndexesItCannotHonour) {
    std::string error;
    EXPECT_FALSE(Open({[] { Table t = Indexed(3, true); t.rows[2][0] = t.rows[1][0]; return t; }()}, &error));
    EXPECT_NE(std::string::npos, error.find("duplicate key")) << error;
    EXPECT_FALSE(Open({[] { Table t = Indexed(3, true); t.rows[1][0] = Value::FromText(u"名字"); return t; }()}, &error));
    EXPECT_NE(std::string::npos, error.find("no index key form")) << error;
    EXPECT_FALSE(Open({[] { Table t = Indexed(3, true); t.indexes[0].columns = {u"missing"}; return t; }()}, &error));
    EXPECT_NE(std::string::npos, error.find("missing column")) << error;
    EXPECT_FALSE(Open({[] { Table t = Indexed(3, true); t.indexes.push_back(t.indexes[0]); return t; }()}, &error));
    EXPECT_NE(std::string::npos, error.find("duplicate index")) << error;
    Table memo;
    memo.name = u"m";
    memo.columns = {{u"m", ColumnType::Memo}};
    memo.indexes = {Index{u"m", {u"m"}, false, false}};
    EXPECT_TRUE(Open({memo}, &error)) << error;  // no rows, no keys to write
    memo.rows.push_back({Value::FromText(u"text")});
    EXPECT_FALSE(Open({memo}, &error));
    EXPECT_NE(std::string::npos, error.find("cannot index")) << error;
    Table pk;
    pk.name = u"pk";
    pk.columns = {{u"n", ColumnType::LongInteger}};
    pk.indexes = {Index{u"PrimaryKey", {u"n"}, true, true}};
    pk.rows.push_back({Value::Null()});
    EXPECT_FALSE(Open({pk}, &error));
    EXPECT_NE(std::string::npos, error.find("null key")) << error;
}

TEST(JetIndexTree, CatalogIndexesCoverEveryObject) {
    auto db = Open({Indexed(2, true)});
    ASSERT_TRUE(db);
    const Table* catalog = db->FindTable(u"MSysObjects");
    ASSERT_EQ(2u, catalog->indexes.size());
    EXPECT_TRUE(catalog->indexes[0].name == u"Id");
    EXPECT_TRUE(catalog->indexes[1].name == u"ParentIdName");
    EXPECT_TRUE((catalog->indexes[1].columns == std::vector<std::u16string>{u"ParentId", u"Name"}));
    ASSERT_TRUE(db->HasFileIndex(*catalog, Database::ColumnIndex(*catalog, u"Id")));
    const auto rows = db->FindRowsEqual(*catalog, Database::ColumnIndex(*catalog, u"Id"), Value::FromInteger(2));
    ASSERT_EQ(1u, rows.size());
    EXPECT_TRUE(catalog->rows[rows[0]][Database::ColumnIndex(*catalog, u"Name")].text == u"MSysObjects");
}

TEST(JetIndexTree, DamagedIndexFallsBackToTheHashIndex) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(WriteDatabase({Indexed(500, true)}, bytes, &error)) << error;
    // Corrupt one key byte on every index leaf page that holds user keys.
    int corrupted = 0;
    for (std::size_t p = 0; p < bytes.size() / 4096; ++p) {
        std::uint8_t* page = &bytes[p * 4096];
        if (page[0] == 0x04 && page[0x1E0] == 0x7F && page[0x1E1] == 0x62) {  // "N..." keys
            page[0x1E1] = 0x63;
            ++corrupted;
        }
    }
    ASSERT_GT(corrupted, 0);
    auto db = Database::OpenBytes(bytes, &error);
    ASSERT_TRUE(db) << error;
    const Table* t = db->FindTable(u"api_const");
    EXPECT_FALSE(db->HasFileIndex(*t, 0));
    EXPECT_EQ((std::vector<std::size_t>{0}), db->FindRowsEqual(*t, 0, Value::FromText(u"NAME_0")));
}
