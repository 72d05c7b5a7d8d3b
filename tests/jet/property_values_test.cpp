// Property values (the catalog's LvProp): the bytes Access writes, and what
// the decoder refuses.
#include <gtest/gtest.h>

#include "jet/property_values.h"

using namespace jet;

namespace {

ByteVec Hex(const char* hex) {
    ByteVec out;
    for (const char* p = hex; p[0] && p[1]; p += 2) out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
    return out;
}

bool Decode(const ByteVec& bytes, std::vector<PropertyBlock>& blocks) {
    return DecodeProperties(ByteView(bytes.data(), bytes.size()), blocks);
}

// MSysDb's property value in the empty database Access 2000 creates.
const char kAccessMSysDb[] =
    "4D5232002E00000080001A00410063006300650073007300560065007200730069006F006E000A004200750069006C0064002A0000000000"
    "0600000000001200000A00000A00300038002E00350030000C00000401000400DC190000";

}  // namespace

TEST(JetPropertyValues, EncodesTheDatabasePropertiesAsAccessDoes) {
    const ByteVec bytes = EncodeProperties(
        {{u"", {Property::Text(u"AccessVersion", u"08.50", false), Property::Long(u"Build", 6620, false)}}});
    EXPECT_EQ(Hex(kAccessMSysDb), bytes);
    std::vector<PropertyBlock> blocks;
    ASSERT_TRUE(Decode(Hex(kAccessMSysDb), blocks));
    ASSERT_EQ(1u, blocks.size());
    EXPECT_TRUE(blocks[0].name.empty());
    ASSERT_EQ(2u, blocks[0].properties.size());
    EXPECT_TRUE(blocks[0].properties[0] == Property::Text(u"AccessVersion", u"08.50", false));
    EXPECT_TRUE(blocks[0].properties[1] == Property::Long(u"Build", 6620, false));
}

TEST(JetPropertyValues, NamesEachPropertyOnceAcrossObjectAndColumnBlocks) {
    const std::vector<PropertyBlock> blocks{
        {u"", {Property::Byte(u"Orientation", 0, true)}},
        {u"c", {Property::Integer(u"ColumnWidth", -1, false, 4), Property::Integer(u"DisplayControl", 109, true)}},
        {u"d", {Property::Integer(u"ColumnWidth", 1440, false, 4), Property::Boolean(u"Required", true, true),
                Property::Memo(u"DefaultValue", u"0", true)}}};
    const ByteVec bytes = EncodeProperties(blocks);
    std::vector<PropertyBlock> back;
    ASSERT_TRUE(Decode(bytes, back));
    EXPECT_TRUE(blocks == back);
    // ColumnWidth stands once in the names block.
    std::size_t widths = 0;
    const ByteVec name{'C', 0, 'o', 0, 'l', 0, 'u', 0, 'm', 0, 'n', 0, 'W', 0};
    for (std::size_t i = 0; i + name.size() <= bytes.size(); ++i)
        widths += std::equal(name.begin(), name.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i));
    EXPECT_EQ(1u, widths);
    // Integers in two bytes or, where Access keeps them so, four.
    EXPECT_EQ((ByteVec{0xFF, 0xFF, 0xFF, 0xFF}), back[1].properties[0].value);
    EXPECT_EQ((ByteVec{109, 0}), back[1].properties[1].value);
    // Blocks without properties are left out; nothing at all is no value.
    EXPECT_TRUE(EncodeProperties({{u"", {}}, {u"c", {}}}).empty());
    EXPECT_TRUE(EncodeProperties({}).empty());
    ASSERT_TRUE(Decode(EncodeProperties({{u"x", {}}, {u"", {Property::Boolean(u"b", false, false)}}}), back));
    ASSERT_EQ(1u, back.size());
    EXPECT_TRUE(back[0].name.empty());
}

TEST(JetPropertyValues, AColumnBlockNamesItsColumn) {
    // Names block: ColumnWidth. Column block: the name's own length-prefixed
    // block (4 + 2 + 2 bytes), then one value: length 12, not DDL, type 3,
    // name 0, four bytes of data.
    EXPECT_EQ(Hex("4D523200"
                  "1E00000080001600"
                  "43006F006C0075006D006E0057006900640074006800"
                  "1A0000000100"
                  "0800000002006300"
                  "0C00000300000400FFFFFFFF"),
              EncodeProperties({{u"c", {Property::Integer(u"ColumnWidth", -1, false, 4)}}}));
}

TEST(JetPropertyValues, RefusesBytesOutOfShape) {
    const ByteVec good = Hex(kAccessMSysDb);
    std::vector<PropertyBlock> blocks;
    struct Case {
        const char* what;
        ByteVec bytes;
    };
    std::vector<Case> cases{{"empty", {}}, {"magic only, short", {'M', 'R', '2'}}};
    ByteVec b = good;
    b[2] = '1';
    cases.push_back({"another magic", b});
    b = good;
    b[4] = 0xFF;  // names block longer than the value
    cases.push_back({"block past the end", b});
    b = good;
    b[4] = 5;  // shorter than its own header
    cases.push_back({"block shorter than its header", b});
    b = good;
    b[0x0A] = 0x19;  // the first name's length made odd
    cases.push_back({"odd name length", b});
    b = good;
    b[0x54] = 2;  // Build's value naming the third of two names
    cases.push_back({"name number out of range", b});
    b = good;
    b[0x3E] = 7;  // AccessVersion's value shorter than its header
    cases.push_back({"value shorter than its header", b});
    b = good;
    b[0x44] = 0x40;  // AccessVersion's data running past its value
    cases.push_back({"data past the value", b});
    b = good;
    b.pop_back();
    cases.push_back({"truncated", b});
    for (const auto& c : cases) EXPECT_FALSE(Decode(c.bytes, blocks)) << c.what;
    EXPECT_TRUE(Decode(good, blocks));
    // Magic alone: no blocks, no properties.
    EXPECT_TRUE(Decode(ByteVec{'M', 'R', '2', 0}, blocks));
    EXPECT_TRUE(blocks.empty());
}
