// Equality lookups through the reader's per-column hash index.
#include <gtest/gtest.h>

#include "tests/support/jet_reader.h"
#include "jet/utf.h"
#include "jet/writer.h"
#include "sample_tables.h"

using namespace jet;

namespace {

std::unique_ptr<Database> Open(const std::vector<Table>& tables) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(WriteDatabase(tables, bytes, &error)) << error;
    return Database::OpenBytes(bytes, &error);
}

Table Names() {
    Table t;
    t.name = u"api_const";
    t.columns = {{u"宏或常量名", ColumnType::Text, 510}, {u"常量值", ColumnType::Text, 510}, {u"n", ColumnType::LongInteger}};
    const char16_t* names[] = {u"WM_CREATE", u"wm_create", u"WM_DESTROY", u"", u"中文名", u"\u00C9COLE"};
    long n = 0;
    for (const char16_t* name : names) t.rows.push_back({Value::FromText(name), Value::FromText(u"1"), Value::FromInteger(n++)});
    t.rows.push_back({Value::Null(), Value::FromText(u"2"), Value::Null()});
    return t;
}

}  // namespace

TEST(JetLookup, TextIgnoresAsciiCaseByDefault) {
    auto db = Open({Names()});
    ASSERT_TRUE(db);
    const Table* t = db->FindTable(u"api_const");
    ASSERT_TRUE(t);
    const std::size_t key = Database::ColumnIndex(*t, u"宏或常量名");
    ASSERT_EQ(0u, key);
    EXPECT_EQ((std::vector<std::size_t>{0, 1}), db->FindRowsEqual(*t, key, Value::FromText(u"Wm_Create")));
    EXPECT_EQ((std::vector<std::size_t>{1}), db->FindRowsEqual(*t, key, Value::FromText(u"wm_create"), TextMatch::Exact));
    EXPECT_EQ((std::vector<std::size_t>{2}), db->FindRowsEqual(*t, key, Value::FromText(u"wm_destroy")));
    EXPECT_EQ((std::vector<std::size_t>{3}), db->FindRowsEqual(*t, key, Value::FromText(u"")));
    EXPECT_EQ((std::vector<std::size_t>{4}), db->FindRowsEqual(*t, key, Value::FromText(u"中文名")));
    // Only ASCII letters fold.
    EXPECT_TRUE(db->FindRowsEqual(*t, key, Value::FromText(u"\u00E9cole")).empty());
    EXPECT_TRUE(db->FindRowsEqual(*t, key, Value::FromText(u"WM_CREATE ")).empty());
    EXPECT_TRUE(db->FindRowsEqual(*t, key, Value::Null()).empty());
    EXPECT_TRUE(db->FindRowsEqual(*t, 99, Value::FromText(u"WM_CREATE")).empty());
}

TEST(JetLookup, NumbersCompareByValue) {
    auto db = Open({Names()});
    const Table* t = db->FindTable(u"api_const");
    const std::size_t n = Database::ColumnIndex(*t, u"N");
    ASSERT_EQ(2u, n);
    EXPECT_EQ((std::vector<std::size_t>{2}), db->FindRowsEqual(*t, n, Value::FromInteger(2)));
    EXPECT_EQ((std::vector<std::size_t>{2}), db->FindRowsEqual(*t, n, Value::FromDouble(2.0)));
    EXPECT_TRUE(db->FindRowsEqual(*t, n, Value::FromDouble(2.5)).empty());
    EXPECT_TRUE(db->FindRowsEqual(*t, n, Value::FromText(u"2")).empty());
    EXPECT_EQ(Database::npos, Database::ColumnIndex(*t, u"missing"));
}

TEST(JetLookup, LargeTableFindsEveryName) {
    auto db = Open({jet_test::ApiConstTable(20000)});
    ASSERT_TRUE(db);
    const Table* t = db->FindTable(u"api_const");
    for (std::size_t i = 0; i < 20000; i += 997) {
        const auto rows = db->FindRowsEqual(*t, 0, Value::FromText(u"name_" + Utf8ToUtf16(std::to_string(i))));
        ASSERT_EQ((std::vector<std::size_t>{i}), rows);
    }
}
