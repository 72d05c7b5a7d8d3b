// The record set's view over its rows, called through its own interface:
// Filter, Sort, Find, bookmarks, positions, pages, Supports, Clone, Requery,
// GetString, and the members a read-only record set refuses. Rows: the
// catalog file's constant table, in the order it was written:
//   WM_CREATE 1 message, WM_DESTROY 2 message, WM_PAINT 15 message,
//   INFINITE -1 wait, WAIT_OBJECT_0 0 wait, LVM_FIRST 4096 message,
//   S_OK 0 Null, E_FAIL -2147467259 hresult, ORPHAN 7 none, WM_NULL 0 message.
#include "conformance_fixture.h"

using namespace ado_test;

namespace {

const wchar_t kConstants[] = L"select name, value, kind from constant";
const wchar_t kAll[] =
    L"WM_CREATE,WM_DESTROY,WM_PAINT,INFINITE,WAIT_OBJECT_0,LVM_FIRST,S_OK,E_FAIL,ORPHAN,WM_NULL";

HRESULT SetFilter(Recordset& rs, const wchar_t* criteria) {
    Bstr text(criteria);
    return rs.put_Filter(Str(text));
}

HRESULT SetSort(Recordset& rs, const wchar_t* keys) {
    Bstr text(keys);
    return rs.put_Sort(text.b);
}

HRESULT Find(Recordset& rs, const wchar_t* criterion, long skip = 0, long direction = 1, VARIANT start = Missing()) {
    Bstr text(criterion);
    return rs.Find(text.b, skip, direction, start);
}

VARIANT BookmarkOf(Recordset& rs) {
    VARIANT mark;
    EXPECT_EQ(S_OK, rs.get_Bookmark(&mark));
    return mark;
}

long Position(Recordset& rs) {
    long at = 0;
    EXPECT_EQ(S_OK, rs.get_AbsolutePosition(&at));
    return at;
}

bool Supports(Recordset& rs, long options) {
    VARIANT_BOOL yes = VARIANT_FALSE;
    EXPECT_EQ(S_OK, rs.Supports(options, &yes));
    return yes != VARIANT_FALSE;
}

// CursorOptionEnum.
const long adHoldRecords = 0x100, adMovePrevious = 0x200, adBookmark = 0x2000, adApproxPosition = 0x4000,
           adUpdateBatch = 0x10000, adResync = 0x20000, adNotify = 0x40000, adFind = 0x80000, adSeek = 0x400000,
           adIndex = 0x800000, adAddNew = 0x1000400, adDelete = 0x1000800, adUpdate = 0x1008000;

}  // namespace

TEST_F(ConformanceTest, FilterKeepsTheRowsThatMeetItsCriteria) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    struct {
        const wchar_t* criteria;
        const wchar_t* names;
    } cases[] = {
        {L"kind = 'message'", L"WM_CREATE,WM_DESTROY,WM_PAINT,LVM_FIRST,WM_NULL"},
        {L"value >= 1 AND kind = 'message'", L"WM_CREATE,WM_DESTROY,WM_PAINT,LVM_FIRST"},
        {L"kind = 'wait' OR value > 4000", L"INFINITE,WAIT_OBJECT_0,LVM_FIRST"},
        {L"kind = Null", L"S_OK"},
        {L"kind <> Null AND value < 0", L"INFINITE,E_FAIL"},
        {L"name LIKE 'WM_*'", L"WM_CREATE,WM_DESTROY,WM_PAINT,WM_NULL"},
        {L"name LIKE 'wm_c%'", L"WM_CREATE"},
        {L"name LIKE '*_*'", L"WM_CREATE,WM_DESTROY,WM_PAINT,WAIT_OBJECT_0,LVM_FIRST,S_OK,E_FAIL,WM_NULL"},
        {L"([value] = 0 AND kind = 'wait') OR (value = 0 AND kind = 'message')", L"WAIT_OBJECT_0,WM_NULL"},
        {L"value = $7", L"ORPHAN"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(S_OK, SetFilter(*rs.get(), c.criteria)) << c.criteria;
        EXPECT_EQ(ValueOf(*rs.get(), L"name"), std::wstring(c.names).substr(0, std::wstring(c.names).find(L',')))
            << "a filter moves to the first row it keeps: " << c.criteria;
        EXPECT_EQ(Column(*rs.get(), L"name"), c.names) << c.criteria;
        VARIANT kept;
        ASSERT_EQ(S_OK, rs->get_Filter(&kept));
        ASSERT_EQ(kept.vt, VT_BSTR);
        EXPECT_EQ(Text(kept.bstrVal), c.criteria);
    }
    // Nothing kept: BOF and EOF at once, no position.
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'nothing'"));
    VARIANT_BOOL bof = VARIANT_FALSE, eof = VARIANT_FALSE;
    rs->get_BOF(&bof);
    rs->get_EOF(&eof);
    EXPECT_TRUE(bof && eof);
    EXPECT_EQ(Count(*rs.get()), 0);
    EXPECT_EQ(Position(*rs.get()), -1);  // adPosUnknown
    // adFilterNone and the empty text give every row back; Filter then reads adFilterNone.
    for (VARIANT none : {Long(0), Missing()}) {
        Bstr empty(L"");
        ASSERT_EQ(S_OK, none.vt == VT_ERROR ? rs->put_Filter(Str(empty)) : rs->put_Filter(none));
        EXPECT_EQ(Count(*rs.get()), 10);
        VARIANT kept;
        ASSERT_EQ(S_OK, rs->get_Filter(&kept));
        EXPECT_EQ(kept.vt, VT_I4);
        EXPECT_EQ(kept.lVal, 0);
    }
    // adFilterFetchedRecords: every row is fetched. Rows that never change are
    // never pending, affected or in conflict.
    ASSERT_EQ(S_OK, rs->put_Filter(Long(3)));
    EXPECT_EQ(Count(*rs.get()), 10);
    for (long group : {1L, 2L, 5L}) {
        ASSERT_EQ(S_OK, rs->put_Filter(Long(group))) << group;
        EXPECT_EQ(Count(*rs.get()), 0) << group;
        VARIANT kept;
        ASSERT_EQ(S_OK, rs->get_Filter(&kept));
        EXPECT_EQ(kept.lVal, group);
    }
}

TEST_F(ConformanceTest, FilterRefusesWhatItCannotApplyAndKeepsTheViewAsItWas) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'wait'"));
    struct {
        const wchar_t* criteria;
        HRESULT hr;
    } cases[] = {
        {L"nosuch = 1", ado_com::kItemNotFound},
        {L"value = 'abc'", ado_com::kInvalidArgument},
        {L"(kind = 'wait' OR kind = 'message') AND value = 0", ado_com::kInvalidArgument},  // ADO's rule
        {L"kind = ", ado_com::kInvalidArgument},
        {L"kind BETWEEN 'a' AND 'z'", ado_com::kInvalidArgument},
        {L"name LIKE 'wm_%E'", ado_com::kInvalidArgument},  // ADO's rule: wildcards only at the ends
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SetFilter(*rs.get(), c.criteria), c.hr) << c.criteria;
        EXPECT_NE(TakeErrorText(), L"(none)") << c.criteria;
        EXPECT_EQ(Column(*rs.get(), L"name"), L"INFINITE,WAIT_OBJECT_0") << c.criteria;
    }
    EXPECT_EQ(rs->put_Filter(Long(4)), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->put_Filter(Real(0.5)), ado_com::kInvalidArgument);
    EXPECT_EQ(S_OK, rs->Close());
    EXPECT_EQ(SetFilter(*rs.get(), L"kind = 'wait'"), ado_com::kObjectClosed);
}

TEST_F(ConformanceTest, FilterTakesAnArrayOfBookmarks) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    SAFEARRAYBOUND bound = {2, 0};
    SAFEARRAY* marks = SafeArrayCreate(VT_VARIANT, 1, &bound);
    ASSERT_EQ(S_OK, rs->Move(5, Missing()));  // LVM_FIRST
    LONG at = 0;
    VARIANT mark = BookmarkOf(*rs.get());
    SafeArrayPutElement(marks, &at, &mark);
    ASSERT_EQ(S_OK, rs->MoveFirst());  // WM_CREATE
    mark = BookmarkOf(*rs.get());
    at = 1;
    SafeArrayPutElement(marks, &at, &mark);
    VARIANT list;
    list.vt = VT_ARRAY | VT_VARIANT;
    list.parray = marks;
    ASSERT_EQ(S_OK, rs->put_Filter(list));
    EXPECT_EQ(Column(*rs.get(), L"name"), L"WM_CREATE,LVM_FIRST");  // in the view's order
    VARIANT kept;
    ASSERT_EQ(S_OK, rs->get_Filter(&kept));
    EXPECT_EQ(kept.vt, VT_ARRAY | VT_VARIANT);
    VariantClear(&kept);
    // A bookmark of no row refuses the whole array.
    VARIANT wrong = Long(999);
    SafeArrayPutElement(marks, &at, &wrong);
    EXPECT_EQ(rs->put_Filter(list), ado_com::kInvalidArgument);
    EXPECT_EQ(Column(*rs.get(), L"name"), L"WM_CREATE,LVM_FIRST");
    VariantClear(&list);
}

TEST_F(ConformanceTest, SortOrdersTheViewWithJetsOrderAndKeepsTheFilter) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants, 3);
    ASSERT_EQ(S_OK, SetSort(*rs.get(), L"value DESC"));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"LVM_FIRST");  // on the first row of the new order
    EXPECT_EQ(Column(*rs.get(), L"value"), L"4096,15,7,2,1,0,0,0,-1,-2147467259");
    // Null sorts first; ties keep the order the rows came in.
    ASSERT_EQ(S_OK, SetSort(*rs.get(), L"kind, [name] DESC"));
    EXPECT_EQ(Column(*rs.get(), L"name"),
              L"S_OK,E_FAIL,WM_PAINT,WM_NULL,WM_DESTROY,WM_CREATE,LVM_FIRST,ORPHAN,WAIT_OBJECT_0,INFINITE");
    BSTR keys = nullptr;
    ASSERT_EQ(S_OK, rs->get_Sort(&keys));
    EXPECT_EQ(Text(keys), L"kind, [name] DESC");
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'wait' OR kind = 'hresult'"));
    EXPECT_EQ(Column(*rs.get(), L"name"), L"E_FAIL,WAIT_OBJECT_0,INFINITE");
    ASSERT_EQ(S_OK, SetSort(*rs.get(), L"value ASC"));
    EXPECT_EQ(Column(*rs.get(), L"name"), L"E_FAIL,INFINITE,WAIT_OBJECT_0");  // the filter stays
    ASSERT_EQ(S_OK, SetSort(*rs.get(), L""));
    EXPECT_EQ(Column(*rs.get(), L"name"), L"INFINITE,WAIT_OBJECT_0,E_FAIL");
    EXPECT_EQ(SetSort(*rs.get(), L"nosuch"), ado_com::kItemNotFound);
    EXPECT_EQ(SetSort(*rs.get(), L"value DESK"), ado_com::kItemNotFound);  // a field called "value DESK"
    EXPECT_EQ(SetSort(*rs.get(), L"[value"), ado_com::kInvalidArgument);
    EXPECT_EQ(SetSort(*rs.get(), L"value,,kind"), ado_com::kInvalidArgument);
    // A forward-only cursor cannot be ordered again.
    HRESULT hr = S_OK;
    ComPtr<Recordset> forward = Execute(*cn.get(), kConstants, &hr);
    EXPECT_EQ(SetSort(*forward.get(), L"value"), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Current provider does not support the necessary interfaces for sorting or filtering: "
                               L"Sort needs a keyset or static cursor.");
    ASSERT_EQ(S_OK, forward->Close());
    EXPECT_EQ(SetSort(*forward.get(), L"value"), ado_com::kObjectClosed);
}

TEST_F(ConformanceTest, FindSearchesForwardAndBackwardFromItsStart) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = 'wait'"));
    EXPECT_EQ(Position(*rs.get()), 4);
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = 'wait'"));  // the current row meets it
    EXPECT_EQ(Position(*rs.get()), 4);
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = 'wait'", 1));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WAIT_OBJECT_0");
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = 'wait'", 1));  // no more: EOF, not an error
    VARIANT_BOOL edge = VARIANT_FALSE;
    rs->get_EOF(&edge);
    EXPECT_TRUE(edge);
    EXPECT_EQ(Find(*rs.get(), L"kind = 'wait'"), ado_com::kNoCurrentRecord);  // no row to start from
    // Backward from the last row, then from a given start.
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = 'message'", 0, -1, Long(2)));  // adBookmarkLast
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_NULL");
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = 'message'", 1, -1));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"LVM_FIRST");
    ASSERT_EQ(S_OK, Find(*rs.get(), L"value < 0", 0, -1));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"INFINITE");
    ASSERT_EQ(S_OK, Find(*rs.get(), L"value > 100", 0, -1));
    rs->get_BOF(&edge);
    EXPECT_TRUE(edge);
    ASSERT_EQ(S_OK, Find(*rs.get(), L"name LIKE 'W*'", 0, 1, Long(1)));  // adBookmarkFirst
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_CREATE");
    ASSERT_EQ(S_OK, rs->Move(2, Missing()));
    VARIANT third = BookmarkOf(*rs.get());  // WM_PAINT
    ASSERT_EQ(S_OK, rs->MoveLast());
    ASSERT_EQ(S_OK, Find(*rs.get(), L"value > 10", 0, 1, third));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_PAINT");
    ASSERT_EQ(S_OK, Find(*rs.get(), L"value > 10", 1, 1, third));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"LVM_FIRST");
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = Null", 0, 1, Long(1)));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"S_OK");
    // One criterion only, a known field, a direction of 1 or -1, a start that names a row.
    EXPECT_EQ(Find(*rs.get(), L"kind = 'wait' AND value = 0"), ado_com::kInvalidArgument);
    EXPECT_EQ(TakeErrorText(), L"Find takes one criterion: no AND or OR.");
    EXPECT_EQ(Find(*rs.get(), L"nosuch = 1"), ado_com::kItemNotFound);
    EXPECT_EQ(Find(*rs.get(), L"kind = 'wait'", 0, 0), ado_com::kInvalidArgument);
    EXPECT_EQ(Find(*rs.get(), L"kind = 'wait'", 0, 1, Long(999)), ado_com::kInvalidArgument);
    Bstr word(L"first");
    EXPECT_EQ(Find(*rs.get(), L"kind = 'wait'", 0, 1, Str(word)), ado_com::kInvalidArgument);
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"S_OK");  // refusals leave the row
}

TEST_F(ConformanceTest, FindOnAForwardOnlyCursorOnlyGoesForward) {
    auto cn = OpenCatalog();
    HRESULT hr = S_OK;
    ComPtr<Recordset> rs = Execute(*cn.get(), kConstants, &hr);
    ASSERT_EQ(S_OK, Find(*rs.get(), L"value > 10"));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_PAINT");
    ASSERT_EQ(S_OK, Find(*rs.get(), L"value > 10", 1));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"LVM_FIRST");
    EXPECT_EQ(Find(*rs.get(), L"value > 10", 0, -1), ado_com::kCantFetchBackwards);
    EXPECT_EQ(Find(*rs.get(), L"value > 10", -1), ado_com::kCantFetchBackwards);
    EXPECT_EQ(Find(*rs.get(), L"value > 10", 0, 1, Long(2)), ado_com::kCantFetchBackwards);
    EXPECT_EQ(Find(*rs.get(), L"value > 10", 0, 1, Real(5)), ado_com::kNotAvailable);
    ASSERT_EQ(S_OK, Find(*rs.get(), L"kind = 'wait'", 0, 1, Long(1)));  // the rows start again
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"INFINITE");
}

TEST_F(ConformanceTest, BookmarksNameRowsThroughSortAndFilter) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    ASSERT_EQ(S_OK, rs->Move(2, Missing()));
    VARIANT paint = BookmarkOf(*rs.get());
    EXPECT_EQ(paint.vt, VT_R8);
    ASSERT_EQ(S_OK, rs->MoveNext());
    VARIANT infinite = BookmarkOf(*rs.get());
    ASSERT_EQ(S_OK, rs->MoveLast());
    ASSERT_EQ(S_OK, rs->put_Bookmark(paint));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_PAINT");
    // Moving relative to a bookmark.
    ASSERT_EQ(S_OK, rs->Move(3, infinite));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"S_OK");
    long order = -1;
    ASSERT_EQ(S_OK, rs->CompareBookmarks(paint, infinite, &order));
    EXPECT_EQ(order, 0);  // adCompareLessThan
    ASSERT_EQ(S_OK, rs->CompareBookmarks(infinite, paint, &order));
    EXPECT_EQ(order, 2);  // adCompareGreaterThan
    ASSERT_EQ(S_OK, rs->CompareBookmarks(paint, paint, &order));
    EXPECT_EQ(order, 1);  // adCompareEqual
    ASSERT_EQ(S_OK, SetSort(*rs.get(), L"value DESC"));
    ASSERT_EQ(S_OK, rs->CompareBookmarks(paint, infinite, &order));
    EXPECT_EQ(order, 0);  // 15 before -1 in this order too
    ASSERT_EQ(S_OK, rs->put_Bookmark(infinite));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"INFINITE");
    EXPECT_EQ(Position(*rs.get()), 9);
    // A row the filter hides cannot be moved to and compares with nothing.
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'message'"));
    EXPECT_EQ(rs->put_Bookmark(infinite), ado_com::kInvalidArgument);
    ASSERT_EQ(S_OK, rs->CompareBookmarks(paint, infinite, &order));
    EXPECT_EQ(order, 4);  // adCompareNotComparable
    EXPECT_EQ(rs->put_Bookmark(Long(999)), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->put_Bookmark(Real(3.5)), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->CompareBookmarks(paint, Long(0), &order), ado_com::kInvalidArgument);
    ASSERT_EQ(S_OK, rs->MoveLast());
    ASSERT_EQ(S_OK, rs->MoveNext());
    VARIANT none;
    EXPECT_EQ(rs->get_Bookmark(&none), ado_com::kNoCurrentRecord);
}

TEST_F(ConformanceTest, AbsolutePositionCountsFromOneWithinTheView) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    EXPECT_EQ(Position(*rs.get()), 1);
    ASSERT_EQ(S_OK, rs->put_AbsolutePosition(6));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"LVM_FIRST");
    EXPECT_EQ(rs->put_AbsolutePosition(0), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->put_AbsolutePosition(11), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->put_AbsolutePosition(-3), ado_com::kInvalidArgument);
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"LVM_FIRST");
    ASSERT_EQ(S_OK, rs->MoveLast());
    ASSERT_EQ(S_OK, rs->MoveNext());
    EXPECT_EQ(Position(*rs.get()), -3);  // adPosEOF
    ASSERT_EQ(S_OK, rs->MoveFirst());
    ASSERT_EQ(S_OK, rs->MovePrevious());
    EXPECT_EQ(Position(*rs.get()), -2);  // adPosBOF
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'hresult' OR kind = 'none'"));
    ASSERT_EQ(S_OK, rs->put_AbsolutePosition(2));
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"ORPHAN");
    EXPECT_EQ(rs->put_AbsolutePosition(3), ado_com::kInvalidArgument);
}

TEST_F(ConformanceTest, PagesDivideTheViewByPageSize) {
    auto cn = OpenCatalog();
    auto made = ado_com::MakeObject<ado_com::RecordsetObject>();
    long value = 0;
    EXPECT_EQ(S_OK, made->get_PageSize(&value));
    EXPECT_EQ(value, 10);
    EXPECT_EQ(S_OK, made->put_PageSize(3));  // taken before Open
    EXPECT_EQ(made->put_PageSize(0), ado_com::kInvalidArgument);
    EXPECT_EQ(made->get_PageCount(&value), ado_com::kObjectClosed);
    EXPECT_EQ(made->get_AbsolutePage(&value), ado_com::kObjectClosed);
    Bstr sql(kConstants);
    ASSERT_EQ(S_OK, made->Open(Str(sql), Object(static_cast<Connection*>(cn.get())), 1, 1, -1));
    ComPtr<Recordset> rs(made.release());
    EXPECT_EQ(S_OK, rs->get_PageCount(&value));
    EXPECT_EQ(value, 4);
    EXPECT_EQ(S_OK, rs->get_AbsolutePage(&value));
    EXPECT_EQ(value, 1);
    ASSERT_EQ(S_OK, rs->put_AbsolutePage(2));
    EXPECT_EQ(Position(*rs.get()), 4);
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"INFINITE");
    ASSERT_EQ(S_OK, rs->put_AbsolutePage(4));
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WM_NULL");  // the last page holds what is left
    EXPECT_EQ(S_OK, rs->get_AbsolutePage(&value));
    EXPECT_EQ(value, -3);  // adPosEOF
    EXPECT_EQ(rs->put_AbsolutePage(5), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->put_AbsolutePage(0), ado_com::kInvalidArgument);
    ASSERT_EQ(S_OK, rs->put_PageSize(4));
    EXPECT_EQ(S_OK, rs->get_PageCount(&value));
    EXPECT_EQ(value, 3);
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'message'"));
    EXPECT_EQ(S_OK, rs->get_PageCount(&value));
    EXPECT_EQ(value, 2);
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'nothing'"));
    EXPECT_EQ(S_OK, rs->get_PageCount(&value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(S_OK, rs->get_AbsolutePage(&value));
    EXPECT_EQ(value, -1);  // adPosUnknown
}

TEST_F(ConformanceTest, AForwardOnlyCursorHasNoBookmarksPositionsOrPages) {
    auto cn = OpenCatalog();
    HRESULT hr = S_OK;
    ComPtr<Recordset> rs = Execute(*cn.get(), kConstants, &hr);
    ASSERT_EQ(S_OK, hr);
    const std::wstring noBookmarks =
        L"Current Recordset does not support bookmarks. This may be a limitation of the provider or of the selected "
        L"cursortype.";
    VARIANT mark;
    long value = 0;
    ComPtr<Recordset> copy;
    EXPECT_EQ(rs->get_Bookmark(&mark), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), noBookmarks);
    EXPECT_EQ(rs->put_Bookmark(Real(3)), ado_com::kNotAvailable);
    EXPECT_EQ(rs->CompareBookmarks(Real(3), Real(3), &value), ado_com::kNotAvailable);
    EXPECT_EQ(rs->Clone(-1, copy.put()), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), noBookmarks);
    EXPECT_EQ(rs->Move(1, Real(3)), ado_com::kNotAvailable);
    EXPECT_EQ(S_OK, rs->get_AbsolutePosition(&value));
    EXPECT_EQ(value, -1);  // adPosUnknown
    EXPECT_EQ(rs->put_AbsolutePosition(2), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Object or provider is not capable of performing requested operation: a forward-only "
                               L"record set has no absolute position.");
    EXPECT_EQ(S_OK, rs->get_PageCount(&value));
    EXPECT_EQ(value, -1);
    EXPECT_EQ(S_OK, rs->get_AbsolutePage(&value));
    EXPECT_EQ(value, -1);
    EXPECT_EQ(rs->put_AbsolutePage(1), ado_com::kNotAvailable);
    EXPECT_EQ(rs->Resync(3, 2), ado_com::kNotAvailable);
    // Filter needs no bookmark of the caller's.
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'wait'"));
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"INFINITE,WAIT_OBJECT_0");
}

TEST_F(ConformanceTest, SupportsAnswersForEachCursorType) {
    auto cn = OpenCatalog();
    const long never[] = {adUpdateBatch, adNotify, adSeek, adIndex, adAddNew, adDelete, adUpdate};
    for (long type : {1L, 3L}) {
        ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants, type);
        for (long option : {adHoldRecords, adMovePrevious, adBookmark, adApproxPosition, adResync, adFind})
            EXPECT_TRUE(Supports(*rs.get(), option)) << type << " " << option;
        for (long option : never) EXPECT_FALSE(Supports(*rs.get(), option)) << type << " " << option;
        EXPECT_TRUE(Supports(*rs.get(), adBookmark | adMovePrevious | adFind));
        EXPECT_FALSE(Supports(*rs.get(), adBookmark | adAddNew));
    }
    HRESULT hr = S_OK;
    ComPtr<Recordset> forward = Execute(*cn.get(), kConstants, &hr);
    EXPECT_TRUE(Supports(*forward.get(), adFind));
    for (long option : {adHoldRecords, adMovePrevious, adBookmark, adApproxPosition, adResync})
        EXPECT_FALSE(Supports(*forward.get(), option)) << option;
    for (long option : never) EXPECT_FALSE(Supports(*forward.get(), option)) << option;
    ASSERT_EQ(S_OK, forward->Close());
    VARIANT_BOOL yes = VARIANT_TRUE;
    EXPECT_EQ(forward->Supports(adFind, &yes), ado_com::kObjectClosed);
}

TEST_F(ConformanceTest, AClientCursorIsStaticWhateverTypeWasAsked) {
    auto cn = OpenCatalog();
    auto made = ado_com::MakeObject<ado_com::RecordsetObject>();
    ASSERT_EQ(S_OK, made->put_CursorLocation(3));  // adUseClient
    Bstr sql(kConstants);
    ASSERT_EQ(S_OK, made->Open(Str(sql), Object(static_cast<Connection*>(cn.get())), 0, 1, -1));
    long type = 0;
    EXPECT_EQ(S_OK, made->get_CursorType(&type));
    EXPECT_EQ(type, 3);
    EXPECT_EQ(Count(*made.get()), 10);
    EXPECT_EQ(S_OK, made->Close());
    // Execute on a connection whose cursors are the client's.
    ASSERT_EQ(S_OK, cn->put_CursorLocation(3));
    HRESULT hr = S_OK;
    ComPtr<Recordset> rs = Execute(*cn.get(), kConstants, &hr);
    EXPECT_EQ(S_OK, rs->get_CursorType(&type));
    EXPECT_EQ(type, 3);
    EXPECT_EQ(Count(*rs.get()), 10);
    EXPECT_EQ(S_OK, rs->MoveLast());
}

TEST_F(ConformanceTest, ACloneSharesTheRowsAndMovesOnItsOwn) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    ASSERT_EQ(S_OK, SetSort(*rs.get(), L"value"));
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"value > 0"));
    ASSERT_EQ(S_OK, rs->MoveLast());  // LVM_FIRST
    VARIANT last = BookmarkOf(*rs.get());
    ComPtr<Recordset> copy;
    ASSERT_EQ(S_OK, rs->Clone(-1, copy.put()));
    // The sort, not the filter, on the first row.
    EXPECT_EQ(Count(*copy.get()), 10);
    EXPECT_EQ(ValueOf(*copy.get(), L"name"), L"E_FAIL");
    ASSERT_EQ(S_OK, copy->put_Bookmark(last));
    EXPECT_EQ(ValueOf(*copy.get(), L"name"), L"LVM_FIRST");
    ASSERT_EQ(S_OK, copy->MovePrevious());
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"LVM_FIRST");  // the original stays
    long type = 0, lock = 0;
    copy->get_CursorType(&type);
    copy->get_LockType(&lock);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(lock, 1);
    VARIANT active;
    ASSERT_EQ(S_OK, copy->get_ActiveConnection(&active));
    EXPECT_EQ(active.pdispVal, static_cast<IDispatch*>(static_cast<Connection*>(cn.get())));
    VariantClear(&active);
    // Closing the original leaves the clone open; a clone of a clone works.
    ASSERT_EQ(S_OK, rs->Close());
    EXPECT_EQ(ValueOf(*copy.get(), L"name"), L"WM_PAINT");
    ComPtr<Recordset> second;
    ASSERT_EQ(S_OK, copy->Clone(1, second.put()));
    EXPECT_EQ(copy->Clone(3, second.put()), ado_com::kInvalidArgument);  // a clone only reads
    EXPECT_EQ(rs->Clone(-1, second.put()), ado_com::kObjectClosed);
    ASSERT_EQ(S_OK, copy->Clone(-1, second.put()));
    // Closing the connection closes every clone.
    ASSERT_EQ(S_OK, cn->Close());
    long state = 1;
    EXPECT_EQ(S_OK, second->get_State(&state));
    EXPECT_EQ(state, 0);
}

TEST_F(ConformanceTest, RequeryReadsTheRowsAgainUnderTheSameFilterAndSort) {
    std::shared_ptr<jetsql::DataSource> file = Catalog();
    jetsql_test::CountingSource counting(*file);
    std::shared_ptr<jetsql::DataSource> source(std::shared_ptr<jetsql::DataSource>(), &counting);  // lent, not owned
    auto cn = OpenConnection(source);
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    ASSERT_EQ(S_OK, SetSort(*rs.get(), L"name DESC"));
    ASSERT_EQ(S_OK, SetFilter(*rs.get(), L"kind = 'message'"));
    ASSERT_EQ(S_OK, rs->MoveLast());
    const int before = counting.scans;
    ASSERT_EQ(S_OK, rs->Requery(-1));
    EXPECT_EQ(counting.scans, before + 1);
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_PAINT");  // on the first row again
    EXPECT_EQ(Count(*rs.get()), 5);
    ASSERT_EQ(S_OK, rs->Requery(0x10));  // adAsyncExecute: done when it returns
    EXPECT_EQ(rs->Requery(0x80), ado_com::kInvalidArgument);
    // Resync reads nothing: the file cannot change while it is open.
    EXPECT_EQ(S_OK, rs->Resync(3, 2));
    EXPECT_EQ(S_OK, rs->Resync(1, 1));
    EXPECT_EQ(rs->Resync(0, 2), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->Resync(3, 3), ado_com::kInvalidArgument);
    ASSERT_EQ(S_OK, rs->MoveLast());
    ASSERT_EQ(S_OK, rs->MoveNext());
    EXPECT_EQ(rs->Resync(1, 2), ado_com::kNoCurrentRecord);
    EXPECT_EQ(counting.scans, before + 2);
    // A forward-only set runs again too.
    HRESULT hr = S_OK;
    ComPtr<Recordset> forward = Execute(*cn.get(), L"select name from constant where value = 15", &hr);
    ASSERT_EQ(S_OK, forward->MoveNext());
    ASSERT_EQ(S_OK, forward->Requery(-1));
    EXPECT_EQ(ValueOf(*forward.get(), L"name"), L"WM_PAINT");
    ASSERT_EQ(S_OK, rs->Close());
    EXPECT_EQ(rs->Requery(-1), ado_com::kObjectClosed);
    EXPECT_EQ(rs->Resync(3, 2), ado_com::kObjectClosed);
}

TEST_F(ConformanceTest, GetStringWritesTheRowsWithItsDelimiters) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), L"select name, value, kind from constant where header = 5");
    BSTR text = nullptr;
    ASSERT_EQ(S_OK, rs->GetString(2, -1, Missing(), Missing(), Missing(), &text));
    EXPECT_EQ(Text(text), L"S_OK\t0\t\rE_FAIL\t-2147467259\thresult\r");
    VARIANT_BOOL eof = VARIANT_FALSE;
    rs->get_EOF(&eof);
    EXPECT_TRUE(eof);  // after the last row taken
    EXPECT_EQ(rs->GetString(2, -1, Missing(), Missing(), Missing(), &text), ado_com::kNoCurrentRecord);
    ASSERT_EQ(S_OK, rs->MoveFirst());
    Bstr comma(L","), line(L";\n"), null(L"(null)");
    ASSERT_EQ(S_OK, rs->GetString(2, 1, Str(comma), Str(line), Str(null), &text));
    EXPECT_EQ(Text(text), L"S_OK,0,(null);\n");
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"E_FAIL");
    ASSERT_EQ(S_OK, rs->GetString(2, 5, Str(comma), Missing(), Missing(), &text));
    EXPECT_EQ(Text(text), L"E_FAIL,-2147467259,hresult\r");
    ASSERT_EQ(S_OK, rs->MoveFirst());
    EXPECT_EQ(rs->GetString(1, -1, Missing(), Missing(), Missing(), &text), ado_com::kInvalidArgument);
    EXPECT_EQ(rs->GetString(2, -2, Missing(), Missing(), Missing(), &text), ado_com::kInvalidArgument);
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"S_OK");
    // Yes/No as True/False; dates and currency as the user's locale writes their VARIANTs.
    ComPtr<Recordset> typed = OpenKeyset(*cn.get(), L"select shipped, added, price from header where id <= 2");
    ASSERT_EQ(S_OK, typed->GetString(2, -1, Str(comma), Missing(), Missing(), &text));
    VARIANT date, money;
    date.vt = VT_DATE;
    date.date = 36893.5;
    money.vt = VT_CY;
    money.cyVal.int64 = 5000;
    ASSERT_EQ(S_OK, VariantChangeType(&date, &date, 0, VT_BSTR));
    ASSERT_EQ(S_OK, VariantChangeType(&money, &money, 0, VT_BSTR));
    std::wstring second = L"False," + Text(date.bstrVal) + L"," + Text(money.bstrVal) + L"\r";
    std::wstring all = Text(text);
    EXPECT_EQ(all.substr(0, 5), L"True,");
    EXPECT_EQ(all.substr(all.size() - second.size()), second);
    ASSERT_EQ(S_OK, rs->Close());
    EXPECT_EQ(rs->GetString(2, -1, Missing(), Missing(), Missing(), &text), ado_com::kObjectClosed);
}

TEST_F(ConformanceTest, MaxRecordsCutsTheRowsAndIsSetOnlyWhileClosed) {
    auto cn = OpenCatalog();
    auto made = ado_com::MakeObject<ado_com::RecordsetObject>();
    EXPECT_EQ(made->put_MaxRecords(-1), ado_com::kInvalidArgument);
    ASSERT_EQ(S_OK, made->put_MaxRecords(3));
    Bstr sql(L"select name from constant order by value desc");
    ASSERT_EQ(S_OK, made->Open(Str(sql), Object(static_cast<Connection*>(cn.get())), 3, 1, -1));
    EXPECT_EQ(Column(*made.get(), L"name"), L"LVM_FIRST,WM_PAINT,ORPHAN");
    EXPECT_EQ(made->put_MaxRecords(5), ado_com::kObjectOpen);
    ASSERT_EQ(S_OK, made->Requery(-1));
    EXPECT_EQ(Count(*made.get()), 3);
}

TEST_F(ConformanceTest, ARecordSetThatOnlyReadsRefusesEachWriteAndWhatJetLacksByName) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), kConstants);
    const std::wstring notUpdatable =
        L"Current Recordset does not support updating. This may be a limitation of the provider, or of the selected "
        L"locktype.";
    EXPECT_EQ(rs->Delete(1), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), notUpdatable);
    EXPECT_EQ(rs->UpdateBatch(3), ado_com::kNotAvailable);
    EXPECT_EQ(rs->CancelBatch(3), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), notUpdatable);
    EXPECT_EQ(rs->Seek(Long(1), 1), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Current provider does not support the necessary interface for Index functionality.");
    Bstr index(L"PrimaryKey");
    EXPECT_EQ(rs->put_Index(index.b), ado_com::kNotAvailable);
    BSTR name = nullptr;
    EXPECT_EQ(S_OK, rs->get_Index(&name));
    EXPECT_EQ(Text(name), L"");
    ComPtr<Recordset> next;
    VARIANT affected = Long(7);
    EXPECT_EQ(rs->NextRecordset(&affected, next.put()), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Current provider does not support returning multiple recordsets from a single "
                               L"execution.");
    EXPECT_FALSE(next);
    Bstr file(L"C:\\rows.xml");
    EXPECT_EQ(rs->Save(Str(file), 1), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Object or provider is not capable of performing requested operation: Save (writing "
                               L"the rows to a file or a Stream) is not supported.");
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_CREATE");  // none of them moved or changed anything
    ASSERT_EQ(S_OK, rs->Close());
    EXPECT_EQ(rs->Delete(1), ado_com::kObjectClosed);
    EXPECT_EQ(rs->Seek(Long(1), 1), ado_com::kObjectClosed);
    EXPECT_EQ(rs->NextRecordset(&affected, next.put()), ado_com::kObjectClosed);
    EXPECT_EQ(rs->Save(Str(file), 1), ado_com::kObjectClosed);
}
