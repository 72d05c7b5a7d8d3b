#include "ado/cursor.h"

#include <gtest/gtest.h>

namespace {

ado::Cursor WithRows(int n) {
    jetsql::ResultSet rs;
    rs.columns = {{u"n", jet::ColumnType::LongInteger, 0}};
    for (int i = 0; i < n; ++i) rs.rows.push_back({jet::Value::FromInteger(i)});
    return ado::Cursor(std::move(rs));
}

long long Current(const ado::Cursor& c) {
    const jet::Value* v = c.Value(0);
    return v ? v->integer : -99;
}

}  // namespace

TEST(Cursor, OpensOnTheFirstRow) {
    ado::Cursor c = WithRows(3);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_FALSE(c.Bof());
    EXPECT_FALSE(c.Eof());
    EXPECT_EQ(Current(c), 0);
    EXPECT_EQ(c.Value(1), nullptr);
}

TEST(Cursor, EmptySetIsBofAndEofAndRefusesEveryMove) {
    ado::Cursor c = WithRows(0);
    EXPECT_TRUE(c.Bof());
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(c.Value(0), nullptr);
    EXPECT_FALSE(c.MoveNext());
    EXPECT_FALSE(c.MovePrevious());
    EXPECT_FALSE(c.MoveFirst());
    EXPECT_FALSE(c.MoveLast());
    EXPECT_FALSE(c.Move(1));
    EXPECT_FALSE(c.Move(0));
}

TEST(Cursor, WalksToEofThenRefuses) {
    ado::Cursor c = WithRows(2);
    EXPECT_TRUE(c.MoveNext());
    EXPECT_EQ(Current(c), 1);
    EXPECT_TRUE(c.MoveNext());
    EXPECT_TRUE(c.Eof());
    EXPECT_FALSE(c.Bof());
    EXPECT_EQ(c.Value(0), nullptr);
    EXPECT_FALSE(c.MoveNext());
    EXPECT_TRUE(c.MovePrevious());
    EXPECT_EQ(Current(c), 1);
}

TEST(Cursor, BackToBofThenRefuses) {
    ado::Cursor c = WithRows(2);
    EXPECT_TRUE(c.MovePrevious());
    EXPECT_TRUE(c.Bof());
    EXPECT_FALSE(c.MovePrevious());
    EXPECT_TRUE(c.MoveNext());
    EXPECT_EQ(Current(c), 0);
}

TEST(Cursor, MoveStopsAtBofOrEofAndFirstLastJump) {
    ado::Cursor c = WithRows(5);
    EXPECT_TRUE(c.Move(3));
    EXPECT_EQ(Current(c), 3);
    EXPECT_TRUE(c.Move(0));
    EXPECT_TRUE(c.Move(100));
    EXPECT_TRUE(c.Eof());
    EXPECT_FALSE(c.Move(1));
    EXPECT_TRUE(c.Move(-2));
    EXPECT_EQ(Current(c), 3);
    EXPECT_TRUE(c.Move(-2147483647L - 1));
    EXPECT_TRUE(c.Bof());
    EXPECT_FALSE(c.Move(-1));
    EXPECT_FALSE(c.Move(0));
    EXPECT_TRUE(c.MoveLast());
    EXPECT_EQ(Current(c), 4);
    EXPECT_TRUE(c.MoveFirst());
    EXPECT_EQ(Current(c), 0);
}

TEST(Cursor, TakeRowsFromCurrentAndAdvances) {
    ado::Cursor c = WithRows(5);
    c.MoveNext();
    std::vector<const jetsql::Row*> taken;
    EXPECT_TRUE(c.TakeRows(2, &taken));
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ((*taken[0])[0].integer, 1);
    EXPECT_EQ(Current(c), 3);
    taken.clear();
    EXPECT_TRUE(c.TakeRows(-1, &taken));
    EXPECT_EQ(taken.size(), 2u);
    EXPECT_TRUE(c.Eof());
    taken.clear();
    EXPECT_FALSE(c.TakeRows(-1, &taken));
    c.MoveFirst();
    EXPECT_TRUE(c.TakeRows(0, &taken));
    EXPECT_TRUE(taken.empty());
    EXPECT_EQ(Current(c), 0);
    EXPECT_FALSE(c.TakeRows(-2, &taken));
}
