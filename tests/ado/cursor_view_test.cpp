// A record set's view over its rows: bookmarks, positions, pages, Filter,
// Sort, Find, GetString, Clone and Requery, on results of the catalog file.
#include "ado/cursor.h"

#include "tests/jetsql/catalog_fixture.h"

using ado::Cursor;
using ado::FindStart;
using ado::RecordsetFault;
using jetsql_test::CatalogTest;

namespace {

class CursorView : public CatalogTest {
protected:
    Cursor Headers() { return Cursor(Result(u"select id, file, added, size, shipped, note from header")); }

    // The id of every row of the view, in view order; the position is restored.
    static std::string Ids(Cursor& c) {
        const ado::Bookmark here = c.CurrentBookmark();
        std::string out;
        for (bool more = c.MoveFirst(); more && !c.Eof(); c.MoveNext())
            out += (out.empty() ? "" : ",") + std::to_string(c.Value(0)->integer);
        if (here) c.MoveToBookmark(here);
        return out;
    }

    static long long Current(const Cursor& c) {
        const jet::Value* v = c.Value(0);
        return v ? v->integer : -99;
    }

    static RecordsetFault Fault(bool ok, const ado::RecordsetError& error) {
        EXPECT_FALSE(ok);
        return error.fault;
    }
};

}  // namespace

TEST_F(CursorView, BookmarksNameRowsWhereverTheyStand) {
    Cursor c = Headers();
    EXPECT_EQ(c.CurrentBookmark(), 1u);
    c.MoveNext();
    EXPECT_EQ(c.CurrentBookmark(), 2u);
    c.MoveLast();
    const ado::Bookmark last = c.CurrentBookmark();
    EXPECT_EQ(last, 5u);
    EXPECT_TRUE(c.MoveToBookmark(2));
    EXPECT_EQ(Current(c), 2);
    EXPECT_FALSE(c.MoveToBookmark(0));
    EXPECT_FALSE(c.MoveToBookmark(6));
    EXPECT_EQ(Current(c), 2);
    int order = 9;
    EXPECT_TRUE(c.CompareBookmarks(1, 3, &order));
    EXPECT_EQ(order, -1);
    EXPECT_TRUE(c.CompareBookmarks(3, 3, &order));
    EXPECT_EQ(order, 0);
    EXPECT_FALSE(c.CompareBookmarks(3, 7, &order));
    ado::RecordsetError error;
    ASSERT_TRUE(c.SetSort(u"id DESC", &error));
    EXPECT_TRUE(c.CompareBookmarks(1, 3, &order));
    EXPECT_EQ(order, 1);
    EXPECT_TRUE(c.MoveToBookmark(last));
    EXPECT_EQ(Current(c), 5);
    c.MoveLast();
    c.MoveNext();
    EXPECT_EQ(c.CurrentBookmark(), 0u);
}

TEST_F(CursorView, AbsolutePositionIsOneBasedWithBofAndEofApart) {
    Cursor c = Headers();
    EXPECT_EQ(c.AbsolutePosition(), 1);
    c.MoveLast();
    EXPECT_EQ(c.AbsolutePosition(), 5);
    c.MoveNext();
    EXPECT_EQ(c.AbsolutePosition(), ado::kPositionEof);
    c.MoveFirst();
    c.MovePrevious();
    EXPECT_EQ(c.AbsolutePosition(), ado::kPositionBof);
    EXPECT_TRUE(c.SetAbsolutePosition(3));
    EXPECT_EQ(Current(c), 3);
    EXPECT_FALSE(c.SetAbsolutePosition(0));
    EXPECT_FALSE(c.SetAbsolutePosition(6));
    EXPECT_EQ(Current(c), 3);
    Cursor empty(Result(u"select id from header where id > 99"));
    EXPECT_EQ(empty.AbsolutePosition(), ado::kPositionUnknown);
    EXPECT_FALSE(empty.SetAbsolutePosition(1));
    EXPECT_EQ(empty.PageCount(), 0);
    EXPECT_EQ(empty.AbsolutePage(), ado::kPositionUnknown);
}

TEST_F(CursorView, PagesSplitTheViewByPageSize) {
    Cursor c = Headers();
    EXPECT_EQ(c.PageSize(), 10);
    EXPECT_EQ(c.PageCount(), 1);
    EXPECT_TRUE(c.SetPageSize(2));
    EXPECT_EQ(c.PageCount(), 3);
    EXPECT_EQ(c.AbsolutePage(), 1);
    EXPECT_TRUE(c.SetAbsolutePage(3));
    EXPECT_EQ(Current(c), 5);
    EXPECT_EQ(c.AbsolutePosition(), 5);
    EXPECT_TRUE(c.SetAbsolutePage(2));
    EXPECT_EQ(Current(c), 3);
    c.MoveNext();
    EXPECT_EQ(c.AbsolutePage(), 2);
    EXPECT_FALSE(c.SetAbsolutePage(4));
    EXPECT_FALSE(c.SetAbsolutePage(0));
    EXPECT_FALSE(c.SetPageSize(0));
    EXPECT_EQ(c.PageSize(), 2);
    c.MoveLast();
    c.MoveNext();
    EXPECT_EQ(c.AbsolutePage(), ado::kPositionEof);
    ado::RecordsetError error;
    ASSERT_TRUE(c.SetFilter(u"size = 80", &error));
    EXPECT_EQ(c.PageCount(), 1);
}

TEST_F(CursorView, FilterKeepsTheRowsThatMeetItsCriteria) {
    Cursor c = Headers();
    ado::RecordsetError error;
    c.MoveLast();
    ASSERT_TRUE(c.SetFilter(u"size = 80", &error)) << error.text;
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(Current(c), 2);  // the first row of the new view
    EXPECT_EQ(c.FilterText(), u"size = 80");
    EXPECT_EQ(Ids(c), "2,5");
    EXPECT_FALSE(c.MoveToBookmark(1));  // filtered out
    struct Case {
        const char16_t* criteria;
        const char* ids;
    } cases[] = {
        {u"file like 'win*' AND shipped = True", "1,5"},
        {u"added >= #1/1/2001# OR size > 200", "1,2,3,5"},
        {u"size > '100'", "1,3"},
        {u"added = '1/2/2001'", "1"},
        {u"[file] = 'OLE2.H'", "4"},
        {u"size = Null", "4"},
        {u"size <> NULL", "1,2,3,5"},
        {u"file LIKE '*user*'", "1"},
        {u"file LIKE '%.h'", "1,2,3,4,5"},
        {u"note = ''", "5"},
        {u"(size = 80 AND shipped = True) OR (id = 1)", "1,5"},
        {u"size < $100", "2,5"},
        {u"id >= 2 and id <= 3", "2,3"},
        {u"shipped = 'true'", "1,3,5"},
    };
    for (const Case& k : cases) {
        ASSERT_TRUE(c.SetFilter(k.criteria, &error)) << error.text;
        EXPECT_EQ(Ids(c), k.ids) << jet::Utf16ToUtf8(k.criteria);
    }
}

TEST_F(CursorView, AFilterThatCannotBeReadLeavesTheViewAsItWas) {
    Cursor c = Headers();
    ado::RecordsetError error;
    ASSERT_TRUE(c.SetFilter(u"shipped = True", &error));
    c.MoveNext();
    EXPECT_EQ(Fault(c.SetFilter(u"nosuch = 1", &error), error), RecordsetFault::UnknownField);
    EXPECT_EQ(Fault(c.SetFilter(u"file like 'w*r.h'", &error), error), RecordsetFault::BadArgument);
    EXPECT_EQ(Fault(c.SetFilter(u"size = 'abc'", &error), error), RecordsetFault::BadArgument);
    EXPECT_EQ(Fault(c.SetFilter(u"(size = 80 OR size = 120.5) AND shipped = True", &error), error),
              RecordsetFault::BadArgument);
    EXPECT_EQ(Fault(c.SetFilter(u"size", &error), error), RecordsetFault::BadArgument);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(Current(c), 3);
    EXPECT_EQ(c.FilterText(), u"shipped = True");
}

TEST_F(CursorView, FilterLikeTakesAdosWildcardsOnly) {
    Cursor c(Result(u"select name from constant"));
    ado::RecordsetError error;
    // ? and _ stand for themselves in a filter, unlike in Jet's LIKE.
    ASSERT_TRUE(c.SetFilter(u"name LIKE 'S?OK'", &error));
    EXPECT_EQ(c.Count(), 0);
    ASSERT_TRUE(c.SetFilter(u"name LIKE 'S_OK'", &error));
    EXPECT_EQ(c.Count(), 1);
    ASSERT_TRUE(c.SetFilter(u"name LIKE 'WM_*'", &error));
    EXPECT_EQ(c.Count(), 4);
    EXPECT_EQ(Rows(u"select count(*) from constant where name like 'S?OK'"), "1");
}

TEST_F(CursorView, FilterByBookmarksAndClearing) {
    Cursor c = Headers();
    ado::RecordsetError error;
    ASSERT_TRUE(c.FilterBookmarks({5, 2}, &error));
    EXPECT_EQ(Ids(c), "2,5");
    EXPECT_EQ(c.FilterText(), u"");
    EXPECT_EQ(Fault(c.FilterBookmarks({1, 9}, &error), error), RecordsetFault::BadArgument);
    EXPECT_EQ(c.Count(), 2);
    c.MoveNext();
    c.ClearFilter();
    EXPECT_EQ(c.Count(), 5);
    EXPECT_EQ(Current(c), 1);
    ASSERT_TRUE(c.SetFilter(u"size = 80", &error));
    ASSERT_TRUE(c.SetFilter(u"", &error));
    EXPECT_EQ(c.Count(), 5);
}

TEST_F(CursorView, SortOrdersTheViewNullFirstAndKeepsTheFilter) {
    Cursor c = Headers();
    ado::RecordsetError error;
    ASSERT_TRUE(c.SetSort(u"size DESC, id", &error)) << error.text;
    EXPECT_EQ(Ids(c), "3,1,2,5,4");
    EXPECT_EQ(c.SortText(), u"size DESC, id");
    ASSERT_TRUE(c.SetSort(u" [size] ,id desc", &error));
    EXPECT_EQ(Ids(c), "4,5,2,1,3");
    ASSERT_TRUE(c.SetSort(u"file", &error));
    EXPECT_EQ(Ids(c), "3,4,2,5,1");
    ASSERT_TRUE(c.SetFilter(u"shipped = True", &error));
    ASSERT_TRUE(c.SetSort(u"size desc", &error));
    EXPECT_EQ(Ids(c), "3,1,5");
    EXPECT_EQ(Current(c), 3);
    c.ClearFilter();
    EXPECT_EQ(Ids(c), "3,1,2,5,4");
    ASSERT_TRUE(c.SetSort(u"", &error));
    EXPECT_EQ(Ids(c), "1,2,3,4,5");
    EXPECT_EQ(Fault(c.SetSort(u"nosuch", &error), error), RecordsetFault::UnknownField);
    EXPECT_EQ(Fault(c.SetSort(u"id sideways", &error), error), RecordsetFault::UnknownField);
    EXPECT_EQ(Fault(c.SetSort(u"id,", &error), error), RecordsetFault::BadArgument);
    EXPECT_EQ(Fault(c.SetSort(u"[id", &error), error), RecordsetFault::BadArgument);
    EXPECT_EQ(c.SortText(), u"");
}

TEST_F(CursorView, FindSearchesFromTheStartRowEitherWay) {
    Cursor c = Headers();
    ado::RecordsetError error;
    ASSERT_TRUE(c.Find(u"size = 80", 0, false, FindStart::Current, &error)) << error.text;
    EXPECT_EQ(Current(c), 2);
    ASSERT_TRUE(c.Find(u"size = 80", 0, false, FindStart::Current, &error));
    EXPECT_EQ(Current(c), 2);  // the start row itself is searched
    ASSERT_TRUE(c.Find(u"size = 80", 1, false, FindStart::Current, &error));
    EXPECT_EQ(Current(c), 5);
    ASSERT_TRUE(c.Find(u"size = 80", 1, false, FindStart::Current, &error));
    EXPECT_TRUE(c.Eof());
    c.MoveLast();
    ASSERT_TRUE(c.Find(u"shipped = False", 0, true, FindStart::Current, &error));
    EXPECT_EQ(Current(c), 4);
    ASSERT_TRUE(c.Find(u"shipped = False", 1, true, FindStart::Current, &error));
    EXPECT_EQ(Current(c), 2);
    ASSERT_TRUE(c.Find(u"shipped = False", 1, true, FindStart::Current, &error));
    EXPECT_TRUE(c.Bof());
    ASSERT_TRUE(c.Find(u"id > 3", 0, false, FindStart::First, &error));
    EXPECT_EQ(Current(c), 4);
    ASSERT_TRUE(c.Find(u"id < 3", 0, true, FindStart::Last, &error));
    EXPECT_EQ(Current(c), 2);
    ASSERT_TRUE(c.Find(u"shipped = True", 0, false, ado::Bookmark(2), &error));
    EXPECT_EQ(Current(c), 3);
    ASSERT_TRUE(c.Find(u"file like 'win*'", 2, false, FindStart::First, &error));
    EXPECT_EQ(Current(c), 5);
}

TEST_F(CursorView, FindRefusesSeveralCriteriaUnknownFieldsAndNoStart) {
    Cursor c = Headers();
    ado::RecordsetError error;
    EXPECT_EQ(Fault(c.Find(u"id = 1 AND size = 80", 0, false, FindStart::First, &error), error), RecordsetFault::BadArgument);
    EXPECT_EQ(Fault(c.Find(u"nosuch = 1", 0, false, FindStart::First, &error), error), RecordsetFault::UnknownField);
    EXPECT_EQ(Fault(c.Find(u"id = 1", 0, false, ado::Bookmark(99), &error), error), RecordsetFault::BadArgument);
    c.MoveLast();
    c.MoveNext();
    EXPECT_EQ(Fault(c.Find(u"id = 1", 0, false, FindStart::Current, &error), error), RecordsetFault::NoCurrentRecord);
    ASSERT_TRUE(c.SetFilter(u"shipped = True", &error));
    ASSERT_TRUE(c.Find(u"id > 1", 0, false, FindStart::Current, &error));
    EXPECT_EQ(Current(c), 3);
    Cursor empty(Result(u"select id from header where id > 99"));
    ASSERT_TRUE(empty.Find(u"id = 1", 0, false, FindStart::First, &error));
    EXPECT_TRUE(empty.Eof());
}

TEST_F(CursorView, GetStringJoinsValuesAndRowsFromTheCurrentRowOn) {
    Cursor c(Result(u"select id, file, size from header where id < 4"));
    ado::RecordsetError error;
    std::u16string text;
    ASSERT_TRUE(c.GetString(-1, {}, &text, &error));
    EXPECT_EQ(text, u"1\twinuser.h\t120.5\r2\twinbase.h\t80\r3\tcommctrl.h\t300.25\r");
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(Fault(c.GetString(-1, {}, &text, &error), error), RecordsetFault::NoCurrentRecord);
    Cursor n(Result(u"select id, size, note from header order by id"));
    ASSERT_TRUE(n.GetString(2, {u",", u";\n", u"(null)"}, &text, &error));
    EXPECT_EQ(text, u"1,120.5,user;\n2,80,(null);\n");
    EXPECT_EQ(Current(n), 3);
    ASSERT_TRUE(n.GetString(99, {u",", u";\n", u"(null)"}, &text, &error));
    EXPECT_EQ(text, u"3,300.25,controls;\n4,(null),ole;\n5,80,;\n");
    n.MoveFirst();
    EXPECT_EQ(Fault(n.GetString(-2, {}, &text, &error), error), RecordsetFault::BadArgument);
    ASSERT_TRUE(n.GetString(1, {u"", u"", u""}, &text, &error,
                            [](const jet::Value& v, const jetsql::ResultColumn& column) {
                                return column.name + u"=" + jetsql::TextOf(v, column.type);
                            }));
    EXPECT_EQ(text, u"id=1size=120.5note=user");
    Cursor d(Result(u"select added, shipped from header where id = 2"));
    ASSERT_TRUE(d.GetString(-1, {}, &text, &error));
    EXPECT_EQ(text, u"1/2/2001 12:00:00 PM\tFalse\r");
}

TEST_F(CursorView, CloneSharesRowsAndSortButNotFilterOrPosition) {
    Cursor c = Headers();
    ado::RecordsetError error;
    ASSERT_TRUE(c.SetSort(u"id desc", &error));
    ASSERT_TRUE(c.SetFilter(u"shipped = True", &error));
    c.MoveNext();
    Cursor d = c.Clone();
    EXPECT_EQ(d.Count(), 5);
    EXPECT_EQ(d.FilterText(), u"");
    EXPECT_EQ(d.SortText(), u"id desc");
    EXPECT_EQ(Current(d), 5);
    EXPECT_TRUE(d.MoveToBookmark(c.CurrentBookmark()));
    EXPECT_EQ(Current(d), 3);
    d.MoveLast();
    EXPECT_EQ(Current(c), 3);
    Cursor e = c.Clone();
    ASSERT_TRUE(e.MoveToBookmark(c.CurrentBookmark()));
    EXPECT_EQ(e.Value(1), c.Value(1));  // the same row, not a copy
}

TEST_F(CursorView, RequeryAppliesFilterAndSortToTheNewRows) {
    Cursor c = Headers();
    ado::RecordsetError error;
    ASSERT_TRUE(c.SetFilter(u"size = 80", &error));
    ASSERT_TRUE(c.SetSort(u"id desc", &error));
    ASSERT_TRUE(c.SetPageSize(3));
    ASSERT_TRUE(c.Requery(Result(u"select id, file, added, size, shipped, note from header"), &error));
    EXPECT_EQ(Ids(c), "5,2");
    EXPECT_EQ(Current(c), 5);
    EXPECT_EQ(c.PageSize(), 3);
    EXPECT_EQ(Fault(c.Requery(Result(u"select id from header"), &error), error), RecordsetFault::UnknownField);
    EXPECT_EQ(Ids(c), "5,2");
}
