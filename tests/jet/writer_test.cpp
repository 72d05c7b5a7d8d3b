// What the writer refuses, and the file layout facts other readers rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "jet/property_values.h"
#include "jet/rc4.h"
#include "tests/support/jet_reader.h"
#include "jet/utf.h"
#include "jet/writer.h"
#include "sample_tables.h"

using namespace jet;

namespace {

std::string WriteError(const std::vector<Table>& tables) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(WriteDatabase(tables, bytes, &error));
    EXPECT_FALSE(error.empty());
    return error;
}

Table OneColumn(ColumnType type, Value v, std::uint16_t size = 0) {
    Table t;
    t.name = u"t";
    t.columns = {{u"c", type, size}};
    t.rows.push_back({std::move(v)});
    return t;
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }

}  // namespace

TEST(JetWriter, RefusesTablesTheFormatCannotHold) {
    Table t = jet_test::ApiConstTable(2);
    EXPECT_NE(std::string::npos, WriteError({t, t}).find("duplicate table"));
    Table renamed = t;
    renamed.name = u"API_CONST";
    EXPECT_NE(std::string::npos, WriteError({t, renamed}).find("duplicate table"));
    Table system = t;
    system.name = u"MSysMine";
    EXPECT_NE(std::string::npos, WriteError({system}).find("reserved"));
    Table unnamed = t;
    unnamed.name.clear();
    EXPECT_NE(std::string::npos, WriteError({unnamed}).find("table name"));
    Table narrow = t;
    narrow.rows[1].pop_back();
    EXPECT_NE(std::string::npos, WriteError({narrow}).find("row of 2 values"));
    Table twice = t;
    twice.columns[1].name = u"宏或常量名";
    EXPECT_NE(std::string::npos, WriteError({twice}).find("duplicate column"));
    Table noColumns = t;
    noColumns.columns.clear();
    noColumns.rows.clear();
    EXPECT_NE(std::string::npos, WriteError({noColumns}).find("columns"));
}

TEST(JetWriter, RefusesValuesThatDoNotFitTheirColumn) {
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Text, Value::FromText(std::u16string(256, u'x')))}).find("too long"));
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Text, Value::FromText(u"abc"), 4)}).find("too long"));
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Text, Value::FromInteger(1))}).find("wrong kind"));
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Byte, Value::FromInteger(256))}).find("range"));
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Integer, Value::FromInteger(-32769))}).find("range"));
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::LongInteger, Value::FromInteger(1LL << 31))}).find("range"));
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Double, Value::FromText(u"1"))}).find("wrong kind"));
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Memo, Value::FromInteger(1))}).find("wrong kind"));
    Value big;
    big.kind = Value::Kind::Binary;
    big.binary.assign(256, 1);
    EXPECT_NE(std::string::npos, WriteError({OneColumn(ColumnType::Binary, big)}).find("too long"));
    // Nine full texts exceed a page.
    Table wide;
    wide.name = u"wide";
    std::vector<Value> row;
    for (int i = 0; i < 9; ++i) {
        wide.columns.push_back({u"c" + std::u16string(1, char16_t(u'0' + i)), ColumnType::Text, 510});
        row.push_back(Value::FromText(std::u16string(255, u'中')));
    }
    wide.rows.push_back(row);
    EXPECT_NE(std::string::npos, WriteError({wide}).find("row too large"));
}

TEST(JetWriter, HeaderPageIdentifiesJet4WithAnEmptyPassword) {
    std::vector<std::uint8_t> b;
    std::string error;
    WriteOptions options;
    options.created = 40000.25;
    ASSERT_TRUE(WriteDatabase({jet_test::ApiConstTable(1)}, b, &error, options)) << error;
    ASSERT_GE(b.size(), 3u * 4096);
    EXPECT_EQ(0, b[0]);
    EXPECT_EQ(std::string("Standard Jet DB"), std::string(reinterpret_cast<const char*>(&b[4])));
    EXPECT_EQ(1, b[0x14]);
    // The password words, unmasked with the publicly documented Jet 4 table and the
    // creation-date mask, must all be zero: Access then asks for no password.
    static const std::uint16_t kJet4Xor[20] = {0x6aba, 0x37ec, 0xd561, 0xfa9c, 0xcffa, 0xe628, 0x272f,
                                               0x608a, 0x0568, 0x367b, 0xe3c9, 0xb1df, 0x654b, 0x4313,
                                               0x3ef3, 0x33b1, 0xf008, 0x5b79, 0x24ae, 0x2a7c};
    // That table carries the date mask of the file it was taken from (0x913C on
    // the even words); the recovery takes the mask from word 18.
    const std::uint16_t magic = U16(b, 0x66) ^ kJet4Xor[18];
    EXPECT_EQ(38143 ^ 0x913C, magic);  // whole days of the header's date
    for (int i = 0; i < 20; ++i) {
        std::uint16_t w = U16(b, 0x42 + 2 * i) ^ kJet4Xor[i];
        if (w > 255) w ^= magic;
        EXPECT_EQ(0, w) << i;
    }
    // Unmasked: key 0 (not encrypted), General sort order, the creation date.
    std::vector<std::uint8_t> head(b.begin(), b.begin() + 4096);
    const std::uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4Apply(key, 4, head.data() + 0x18, 128);
    EXPECT_EQ(0, head[0x3E] | head[0x3F] | head[0x40] | head[0x41]);
    EXPECT_EQ(0x0409, U16(head, 0x6E));
    double created;
    std::memcpy(&created, &head[0x72], 8);
    EXPECT_NEAR(38143.5465, created, 1e-4);  // the date Jet's id mask is tied to
    EXPECT_EQ(0x21AA, U16(head, 0x6A));
    EXPECT_EQ(0x0101, U16(head, 0x1C));
    EXPECT_EQ(std::string("4.0"), std::string(reinterpret_cast<const char*>(&head[0x9C])));
    // Page 2 holds the catalog's definition.
    EXPECT_EQ(0x02, b[2 * 4096]);
    EXPECT_EQ(0x01, b[1 * 4096]);
}

TEST(JetWriter, PageOneMarksThePagesPastTheEndFree) {
    std::vector<std::uint8_t> b;
    std::string error;
    ASSERT_TRUE(WriteDatabase({jet_test::ApiConstTable(10)}, b, &error)) << error;
    const std::size_t pages = b.size() / 4096;
    ASSERT_LT(pages, 512u);
    const std::uint8_t* page = &b[4096];
    EXPECT_EQ(0x01, page[0]);
    EXPECT_EQ(1u, page[4]);              // owned by itself, as Jet has it
    EXPECT_EQ(2, page[12]);              // the free-page map and an empty one
    const std::size_t row = U16(b, 4096 + 14);
    EXPECT_EQ(0, page[row]);             // map stored inline, from page 0
    for (std::size_t p = 0; p < 512; ++p) {
        const bool free = (page[row + 5 + p / 8] >> (p % 8)) & 1;
        ASSERT_EQ(p >= pages, free) << p;
    }
}

TEST(JetWriter, SameInputGivesSameBytes) {
    WriteOptions options;
    options.created = 45000.0;
    std::vector<std::uint8_t> a, b;
    std::string error;
    ASSERT_TRUE(WriteDatabase({jet_test::MixedTable(u"m", 40, 3)}, a, &error, options));
    ASSERT_TRUE(WriteDatabase({jet_test::MixedTable(u"m", 40, 3)}, b, &error, options));
    EXPECT_EQ(a, b);
}

namespace {

// The property value of a catalog object, decoded; empty when it has none.
std::vector<PropertyBlock> PropertiesOf(const Database& db, const std::u16string& object) {
    const Table* catalog = db.FindTable(u"MSysObjects");
    const std::size_t name = Database::ColumnIndex(*catalog, u"Name"), props = Database::ColumnIndex(*catalog, u"LvProp");
    std::vector<PropertyBlock> blocks;
    for (const auto& row : catalog->rows)
        if (row[name].text == object && !row[props].IsNull()) {
            EXPECT_TRUE(DecodeProperties(ByteView(row[props].binary.data(), row[props].binary.size()), blocks));
        }
    return blocks;
}

std::unique_ptr<Database> WrittenDatabase(const std::vector<Table>& tables, const WriteOptions& options = {}) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(WriteDatabase(tables, bytes, &error, options)) << error;
    return Database::OpenBytes(std::move(bytes), &error);
}

}  // namespace

TEST(JetWriter, TitlesTheDatabaseAfterItsFileAsAccessDoes) {
    const auto title = [](const std::vector<PropertyBlock>& blocks) {
        return blocks.size() == 1 && blocks[0].properties.size() == 1 && blocks[0].properties[0].name == u"Title"
                   ? blocks[0].properties[0]
                   : Property{};
    };
    const struct {
        std::string file;
        std::u16string title;
    } files[] = {{u8"API常量.mdb", u"API常量"}, {"a.b.mdb", u"a.b"}, {"plain", u"plain"}, {".mdb", u".mdb"}};
    for (const auto& f : files) {
        const std::string path = ::testing::TempDir() + f.file;
        std::string error;
        ASSERT_TRUE(WriteDatabase(path, {jet_test::ApiConstTable(1)}, &error)) << error;
        auto db = Database::Open(path, &error);
        ASSERT_TRUE(db) << error;
        EXPECT_TRUE(title(PropertiesOf(*db, u"SummaryInfo")) == Property::Text(u"Title", f.title, false)) << f.file;
        std::remove(path.c_str());
    }
    // Bytes have no file name: no title unless one is given, which a path does not override.
    EXPECT_TRUE(PropertiesOf(*WrittenDatabase({jet_test::ApiConstTable(1)}), u"SummaryInfo").empty());
    WriteOptions options;
    options.title = u"常量";
    EXPECT_TRUE(title(PropertiesOf(*WrittenDatabase({jet_test::ApiConstTable(1)}, options), u"SummaryInfo")) ==
                Property::Text(u"Title", u"常量", false));
    const std::string path = ::testing::TempDir() + "named.mdb";
    std::string error;
    ASSERT_TRUE(WriteDatabase(path, {jet_test::ApiConstTable(1)}, &error, options));
    EXPECT_TRUE(title(PropertiesOf(*Database::Open(path, &error), u"SummaryInfo")) ==
                Property::Text(u"Title", u"常量", false));
    std::remove(path.c_str());
}

TEST(JetWriter, GivesEachTableThePropertiesAccessGivesANewOne) {
    Table t;
    t.name = u"kinds";
    t.columns = {{u"name", ColumnType::Text, 20}, {u"note", ColumnType::Text}, {u"n", ColumnType::LongInteger},
                 {u"yes", ColumnType::Boolean},   {u"when", ColumnType::DateTime}, {u"m", ColumnType::Memo}};
    t.rows.push_back({Value::FromText(u"a"), Value::FromText(u""), Value::FromInteger(1), Value::FromInteger(1),
                      Value::FromDouble(40000), Value::Null()});
    auto db = WrittenDatabase({t});
    ASSERT_TRUE(db);
    const auto blocks = PropertiesOf(*db, u"kinds");
    ASSERT_EQ(7u, blocks.size());
    // The datasheet's settings first, then one block per column.
    EXPECT_TRUE(blocks[0] == (PropertyBlock{u"", {Property::Byte(u"Orientation", 0, true),
                                                  Property::Boolean(u"OrderByOn", false, false)}}));
    const std::vector<Property> layout{Property::Integer(u"ColumnWidth", -1, false, 4),
                                       Property::Integer(u"ColumnOrder", 0, false, 4),
                                       Property::Boolean(u"ColumnHidden", false, false)};
    const auto with = [&](std::vector<Property> more) {
        std::vector<Property> all = layout;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    const Property required = Property::Boolean(u"Required", false, true);
    const Property textBox = Property::Integer(u"DisplayControl", 109, true);
    const Property compressed = Property::Boolean(u"UnicodeCompression", true, true);
    // A text column allows the empty text only when it holds one.
    EXPECT_TRUE(blocks[1] == (PropertyBlock{u"name", with({required, Property::Boolean(u"AllowZeroLength", false, true),
                                                           textBox, compressed})}));
    EXPECT_TRUE(blocks[2] == (PropertyBlock{u"note", with({required, Property::Boolean(u"AllowZeroLength", true, true),
                                                           textBox, compressed})}));
    EXPECT_TRUE(blocks[3] == (PropertyBlock{u"n", with({Property::Byte(u"DecimalPlaces", 255, true),
                                                        Property::Memo(u"DefaultValue", u"0", true), required,
                                                        textBox})}));
    EXPECT_TRUE(blocks[4] == (PropertyBlock{u"yes", with({Property::Text(u"Format", u"Yes/No", true), required,
                                                          Property::Integer(u"DisplayControl", 106, true)})}));
    EXPECT_TRUE(blocks[5] == (PropertyBlock{u"when", with({required})}));
    EXPECT_TRUE(blocks[6] == (PropertyBlock{u"m", with({required, Property::Boolean(u"AllowZeroLength", false, true),
                                                        textBox, compressed})}));
    // The engine's tables have none.
    for (const char16_t* table : {u"MSysObjects", u"MSysACEs", u"MSysAccessObjects"})
        EXPECT_TRUE(PropertiesOf(*db, table).empty());
}

TEST(JetWriter, APropertyValueLongerThanAPageIsChained) {
    Table wide;
    wide.name = u"wide";
    for (int i = 0; i < 200; ++i) wide.columns.push_back({u"column " + Utf8ToUtf16(std::to_string(i)), ColumnType::Text, 2});
    auto db = WrittenDatabase({wide});
    ASSERT_TRUE(db);
    const auto blocks = PropertiesOf(*db, u"wide");
    ASSERT_EQ(201u, blocks.size());
    EXPECT_TRUE(blocks[200].name == u"column 199");
}

TEST(JetWriter, ColumnsAreNumberedAgainAsAccessNumbersThem) {
    std::vector<std::uint8_t> b;
    std::string error;
    ASSERT_TRUE(WriteDatabase({jet_test::ApiConstTable(1)}, b, &error)) << error;
    // The second number (offset 9 of a 25-byte column entry): 0 in the tables
    // made with the database (MSysObjects at page 2, after its two index
    // counts), from 1 in a table added later (api_const at page 7, no index).
    const auto second = [&](std::size_t page, std::size_t indexes, std::size_t column) {
        return U16(b, page * 4096 + 63 + 12 * indexes + 25 * column + 9);
    };
    for (std::size_t c = 0; c < 17; ++c) EXPECT_EQ(0, second(2, 2, c)) << c;
    for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(c + 1, second(7, 0, c)) << c;
}
