// GUIDs as people paste them: each form read into the same 16 bytes, and each
// malformed one refused with what is wrong.
#include <gtest/gtest.h>

#include "finder/guid_text.h"

using namespace finder;

namespace {

const char kUnknown[] = "00000000-0000-0000-C000-000000000046";
const char kDesktop[] = "B4BFCC3A-DB2C-424C-B029-7FE99A87C641";

std::string Read(const std::string& q) {
    Guid g;
    std::string error;
    EXPECT_TRUE(LooksLikeGuid(q)) << q;
    EXPECT_TRUE(ParseGuid(q, g, &error)) << q << ": " << error;
    return g.Text();
}

TEST(GuidText, EveryFormGivesTheSameGuid) {
    EXPECT_EQ(Read("{00000000-0000-0000-C000-000000000046}"), kUnknown);
    EXPECT_EQ(Read("00000000-0000-0000-c000-000000000046"), kUnknown);
    EXPECT_EQ(Read("  {b4bfcc3a-db2c-424c-b029-7fe99a87c641}  "), kDesktop);
    EXPECT_EQ(Read("{0x00000000,0x0000,0x0000,{0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0x46}}"), kUnknown);
    EXPECT_EQ(Read("{ 0xb4bfcc3a, 0xdb2c, 0x424c, { 0xb0, 0x29, 0x7f, 0xe9, 0x9a, 0x87, 0xc6, 0x41 } }"), kDesktop);
    // Memory order: Data1..3 little-endian, Data4 as is.
    EXPECT_EQ(Read("3A CC BF B4 2C DB 4C 42 B0 29 7F E9 9A 87 C6 41"), kDesktop);
    EXPECT_EQ(Read("hex:3a,cc,bf,b4,2c,db,4c,42,b0,29,7f,e9,9a,87,c6,41"), kDesktop);
    EXPECT_EQ(Read("3A-CC-BF-B4-2C-DB-4C-42-B0-29-7F-E9-9A-87-C6-41"), kDesktop);
    EXPECT_EQ(Read("3accbfb42cdb4c42b0297fe99a87c641"), kDesktop);
    Guid g;
    ASSERT_TRUE(GuidFromText(kDesktop, g));
    const auto b = g.Bytes();
    EXPECT_EQ(b[0], 0x3A);
    EXPECT_EQ(b[3], 0xB4);
    EXPECT_EQ(b[15], 0x41);
    EXPECT_EQ(Guid::FromBytes(b).Text(), kDesktop);
}

TEST(GuidText, MalformedGuidsSayWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"{00000000-0000-0000-C000-00000000004}", "group 5 has 11 digits, not 12"},
        {"{00000000-0000-0000-C000-0000000000461}", "group 5 has 13 digits"},
        {"{0000000G-0000-0000-C000-000000000046}", "'G' in the GUID is not a hexadecimal digit"},
        {"{00000000-0000-0000-C000-000000000046", "unbalanced braces ('{' not closed)"},
        {"00000000-0000-0000-C000-000000000046}", "unbalanced braces ('}' without '{')"},
        {"{{00000000-0000-0000-C000-000000000046}", "unbalanced braces"},
        {"{00000000-0000-0000-C000}", "4 groups of digits, not 5"},
        {"3A CC BF B4 2C DB 4C 42 B0 29 7F E9 9A 87 C6", "30 hexadecimal digits, not 32"},
        {"3A CC BF B4 2C DB 4C 42 B0 29 7F E9 9A 87 C6 41 00", "34 hexadecimal digits"},
        {"hex:3a,cc,bf,b4,2c,db,4c,42,b0,29,7f,e9,9a,87,c6,4z", "'z' in the bytes"},
        {"3 ACC BF B4 2C DB 4C 42 B0 29 7F E9 9A 87 C6 41", "a byte of one digit"},
        {"{0x00000000,0x0000,0x0000,{0xC0,0x00,0x00,0x00,0x00,0x00,0x00}}", "11 numbers, not 10"},
        {"{0x00000000,0x0000,0x0000,{0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0x46}", "unbalanced braces (1 '{' not closed)"},
        {"{0x100000000,0x0000,0x0000,{0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0x46}}", "wider than its 32 bits"},
        {"{0x00000000,0x0000,0x0000,{0x1C0,0x00,0x00,0x00,0x00,0x00,0x00,0x46}}", "wider than its 8 bits"},
        {"{0x00000000,0x0000,0x0000,{0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0xG6}}", "'G' in the initializer"},
        {"{0x00000000,0x0000,0x0000,0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0x46}", "last eight bytes in braces"},
        {"{0x0,0x0,0x0,{0xC0,0,0,0,0,0,0,0x46}}", "'0' in the initializer is not a 0x number"},
    };
    for (const auto& [query, why] : cases) {
        Guid g;
        std::string error;
        EXPECT_TRUE(LooksLikeGuid(query)) << query;
        EXPECT_FALSE(ParseGuid(query, g, &error)) << query;
        EXPECT_NE(error.find(why), std::string::npos) << query << " gave " << error;
        EXPECT_EQ(error.rfind("malformed GUID: ", 0), 0u) << error;
    }
}

TEST(GuidText, NamesAndNumbersAreNotGuids) {
    for (const char* q : {"IID_IUnknown", "0x80070005", "80070005", "-1", "C0000005", "WM_*", "\"Button\"", "1 2 3",
                          "0x00000000000000000000000000000046"})
        EXPECT_FALSE(LooksLikeGuid(q)) << q;
    std::string guid;
    std::uint32_t pid = 0;
    EXPECT_TRUE(SplitPropertyKey("F29F85E0-4FF9-1068-AB91-08002B27B3D9,4294967295", guid, pid));
    EXPECT_EQ(pid, 4294967295u);
    EXPECT_FALSE(SplitPropertyKey("F29F85E0-4FF9-1068-AB91-08002B27B3D9,4294967296", guid, pid));
    EXPECT_FALSE(SplitPropertyKey("F29F85E0-4FF9-1068-AB91-08002B27B3D9", guid, pid));
}

}  // namespace
