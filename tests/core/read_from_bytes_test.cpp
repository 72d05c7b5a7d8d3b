// ReadFromBytes: fixed-size values, texts, the moving position, bad types.
#include <gtest/gtest.h>

#include "core/read_from_bytes.h"
#include "tests/core/fatal_trap.h"

using namespace core;

TEST(ReadFromBytes, MissingBytesReadAsZero) {
    const BasicValue empty = ReadFromBytes(Bytes{}, 4);
    EXPECT_EQ(TC_Long, empty.type);
    EXPECT_EQ(0, empty.AsLong());
    const BasicValue partial = ReadFromBytes(Bytes{1, 2, 3}, 3);
    EXPECT_EQ(TC_Int, partial.type);
    EXPECT_EQ(197121, partial.AsInt());
}

TEST(ReadFromBytes, EachTypeLittleEndian) {
    const Bytes ff(8, 0xFF);
    EXPECT_EQ(255, ReadFromBytes(ff, 1).AsByte());
    EXPECT_EQ(-1, ReadFromBytes(ff, 2).AsShort());
    EXPECT_EQ(-1, ReadFromBytes(ff, 3).AsInt());
    EXPECT_EQ(-1, ReadFromBytes(ff, 4).AsLong());
    EXPECT_EQ(0xFFFFFFFFu, ReadFromBytes(ff, 9).AsSubPointer());
    EXPECT_EQ(TC_SubPointer, ReadFromBytes(ff, 9).type);
    EXPECT_EQ(1.5f, ReadFromBytes(Bytes{0, 0, 0xC0, 0x3F}, 5).AsFloat());
    EXPECT_EQ(-2.0, ReadFromBytes(Bytes{0, 0, 0, 0, 0, 0, 0, 0xC0}, 6).AsDouble());
    EXPECT_TRUE(ReadFromBytes(Bytes{0, 0, 1, 0}, 7).AsBool());
    EXPECT_FALSE(ReadFromBytes(Bytes{0, 0, 0, 0, 1}, 7).AsBool());
}

TEST(ReadFromBytes, DatesAreClamped) {
    // 1e10 as a double: far beyond 31 December 9999.
    const BasicValue date = ReadFromBytes(Bytes{0, 0, 0, 0x20, 0x5F, 0xA0, 0x02, 0x42}, 8);
    EXPECT_EQ(TC_Date, date.type);
    EXPECT_EQ(2958465.0, date.AsDouble());
}

TEST(ReadFromBytes, PositionMovesAndEndsAtMinusOne) {
    const Bytes bytes{1, 0, 0, 0, 2, 0, 0, 0};
    int position = 1;
    EXPECT_EQ(1, ReadFromBytes(bytes, 3, &position).AsInt());
    EXPECT_EQ(5, position);
    EXPECT_EQ(2, ReadFromBytes(bytes, 3, &position).AsInt());
    EXPECT_EQ(-1, position);
    EXPECT_EQ(0, ReadFromBytes(bytes, 3, &position).AsInt());
    EXPECT_EQ(-1, position);

    position = 7;  // two of four bytes left
    EXPECT_EQ(0, ReadFromBytes(bytes, 3, &position).AsInt());
    EXPECT_EQ(-1, position);
    position = 0;
    EXPECT_EQ(0, ReadFromBytes(Bytes{9}, 1, &position).AsByte());
    EXPECT_EQ(-1, position);
}

TEST(ReadFromBytes, TextsEndAtNulAndSkipIt) {
    const Bytes bytes{'a', 'b', 0, 'c', 'd'};
    int position = 1;
    EXPECT_EQ("ab", ReadFromBytes(bytes, 10, &position).text);
    EXPECT_EQ(4, position);
    EXPECT_EQ("cd", ReadFromBytes(bytes, 10, &position).text);
    EXPECT_EQ(-1, position);
    EXPECT_EQ("", ReadFromBytes(bytes, 10, &position).text);
    EXPECT_EQ(TC_Text, ReadFromBytes(bytes, 10, &position).type);

    position = 1;
    EXPECT_EQ("ab", ReadFromBytes(Bytes{'a', 'b', 0}, 10, &position).text);
    EXPECT_EQ(-1, position);
    position = 3;
    EXPECT_EQ("", ReadFromBytes(Bytes{'a', 'b', 0, 'c'}, 10, &position).text);
    EXPECT_EQ(4, position);
    EXPECT_EQ("", ReadFromBytes(Bytes{}, 10).text);
}

TEST(ReadFromBytes, BadTypeNumberIsFatal) {
    FatalTrap trap;
    for (int type : {0, 11, -1}) {
        try {
            ReadFromBytes(Bytes{1, 2, 3, 4}, type);
            ADD_FAILURE() << type;
        } catch (const FatalRaised& fatal) {
            EXPECT_EQ(0, fatal.number);
            EXPECT_EQ("“欲取出数据的类型”参数值无效", fatal.message);
        }
    }
}
