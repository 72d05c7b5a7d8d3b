// The record set's view over its rows: Filter, Sort and Find, bookmarks,
// positions and pages, what the cursor supports, clones, Requery and
// GetString; and what a read-only Jet record set refuses.
#include <new>

#include "ado/com/ado_enums.h"
#include "ado/com/failure.h"
#include "ado/com/arguments.h"
#include "ado/com/bookmarks.h"
#include "ado/com/connection_object.h"
#include "ado/com/out_values.h"
#include "ado/com/recordset_object.h"
#include "ado/com/value_variant.h"
#include "jet/utf.h"

namespace ado_com {
namespace {

// What a keyset or static cursor here does. Nothing writes; bookmarks,
// positions and moving back need a scrollable cursor.
constexpr long kScrollable = adHoldRecords | adMovePrevious | adBookmark | adApproxPosition | adResync | adFind;

const char16_t kNoSorting[] =
    u"Current provider does not support the necessary interfaces for sorting or filtering: Sort needs a keyset or "
    u"static cursor.";
const char16_t kNoIndexes[] = u"Current provider does not support the necessary interface for Index functionality.";

HRESULT ReadBookmarks(const VARIANT& list, std::vector<ado::Bookmark>* out) {
    return ForEachElement(list, [out](const VARIANT& item) {
        ado::Bookmark mark = 0;
        if (!ReadBookmark(item, &mark)) return kInvalidArgument;
        out->push_back(mark);
        return S_OK;
    });
}

// GetString's delimiter arguments: left out, ADO's.
HRESULT ReadLayout(const VARIANT& column, const VARIANT& row, const VARIANT& null, ado::TextLayout* out) {
    const std::pair<const VARIANT*, std::u16string*> given[] = {
        {&column, &out->columnDelimiter}, {&row, &out->rowDelimiter}, {&null, &out->nullExpression}};
    for (const auto& [arg, slot] : given)
        if (!IsMissing(*arg) && FAILED(ArgumentText(*arg, slot))) return kInvalidArgument;
    return S_OK;
}

// A value's text as ADO's GetString writes it: the VARIANT's text in the
// user's locale (Yes/No as True/False); bytes as the engine gives them.
std::u16string LocaleText(const jet::Value& value, const jetsql::ResultColumn& column) {
    UniqueVariant v;
    if (value.kind != jet::Value::Kind::Binary && SUCCEEDED(ValueToVariant(value, column, v.put())) &&
        SUCCEEDED(VariantChangeTypeEx(&v.get(), &v.get(), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, VT_BSTR)))
        return std::u16string(BstrText(v.get().bstrVal));
    return jetsql::TextOf(value, column.type);
}

}  // namespace

HRESULT RecordsetObject::RefuseView(const ado::RecordsetError& why) const {
    return Refuse(CodeOf(why.fault).hr, jet::Utf8ToUtf16(why.text));
}

HRESULT RecordsetObject::Unavailable(const char16_t* text) const { return Refuse(kNotAvailable, text); }

// ---- filter, sort, find ----

HRESULT RecordsetObject::get_Filter(VARIANT* criteria) {
    if (!criteria) return E_POINTER;
    VariantInit(criteria);
    if (filter_.get().vt != VT_EMPTY) return VariantCopy(criteria, &filter_.get());
    criteria->vt = VT_I4;
    criteria->lVal = adFilterNone;
    return S_OK;
}

HRESULT RecordsetObject::put_Filter(VARIANT criteria) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    UniqueVariant given;
    if (FAILED(ArgumentValue(criteria, given.put()))) return Refuse(kInvalidArgument);
    const VARIANT& v = given.get();
    ado::RecordsetError why;
    return Guard([&]() -> HRESULT {
        if (v.vt == VT_BSTR) {
            if (!Cursor().SetFilter(BstrText(v.bstrVal), &why)) return RefuseView(why);
            if (SysStringLen(v.bstrVal) == 0) given.reset();  // "" is adFilterNone
        } else if (v.vt & VT_ARRAY) {
            std::vector<ado::Bookmark> marks;
            if (ForwardOnly()) return NoBookmarks();
            if (FAILED(ReadBookmarks(v, &marks))) return Refuse(kInvalidArgument);
            if (!Cursor().FilterBookmarks(marks, &why)) return RefuseView(why);
        } else {
            UniqueVariant number;
            if (v.vt == VT_BSTR || FAILED(VariantChangeType(number.put(), &given.get(), 0, VT_R8)))
                return Refuse(kInvalidArgument);
            const double d = number.get().dblVal;
            const long group = d == long(d) ? long(d) : -1;
            if (group == adFilterPending || group == adFilterAffected || group == adFilterConflicting) {
                // Rows of a set that never changes are never pending, affected or in conflict.
                if (!Cursor().FilterBookmarks({}, &why)) return RefuseView(why);
            } else if (group == adFilterNone || group == adFilterFetched) {
                Cursor().ClearFilter();  // every row is fetched
                if (group == adFilterNone) given.reset();
            } else {
                return Refuse(kInvalidArgument);
            }
        }
        filter_ = std::move(given);
        return S_OK;
    });
}

HRESULT RecordsetObject::get_Sort(BSTR* criteria) { return GiveText(IsOpen() ? Cursor().SortText() : u"", criteria); }

HRESULT RecordsetObject::put_Sort(BSTR criteria) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (ForwardOnly()) return Unavailable(kNoSorting);
    ado::RecordsetError why;
    return Guard([&]() -> HRESULT {
        return Cursor().SetSort(BstrText(criteria), &why) ? S_OK : RefuseView(why);
    });
}

HRESULT RecordsetObject::Find(BSTR criteria, long skipRecords, long searchDirection, VARIANT start) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    StartPlace place;
    if ((searchDirection != adSearchForward && searchDirection != adSearchBackward) || FAILED(ReadStart(start, &place)))
        return Refuse(kInvalidArgument);
    const bool backward = searchDirection == adSearchBackward;
    if (ForwardOnly()) {
        if (backward || skipRecords < 0 || place.kind == StartPlace::Last) return Backward();
        if (place.kind == StartPlace::Mark) return NoBookmarks();
    }
    ado::RecordsetError why;
    return Guard([&]() -> HRESULT {
        bool found = false;
        if (place.kind == StartPlace::Mark) {
            found = Cursor().Find(BstrText(criteria), skipRecords, backward, place.mark, &why);
        } else {
            const ado::FindStart from = place.kind == StartPlace::First  ? ado::FindStart::First
                                        : place.kind == StartPlace::Last ? ado::FindStart::Last
                                                                         : ado::FindStart::Current;
            found = Cursor().Find(BstrText(criteria), skipRecords, backward, from, &why);
        }
        return found ? S_OK : RefuseView(why);
    });
}

// ---- bookmarks, positions, pages ----

HRESULT RecordsetObject::get_Bookmark(VARIANT* mark) {
    if (!mark) return E_POINTER;
    VariantInit(mark);
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (ForwardOnly()) return NoBookmarks();
    const ado::Bookmark current = Cursor().CurrentBookmark();
    if (current == 0) return Refuse(kNoCurrentRecord);
    *mark = BookmarkVariant(current);
    return S_OK;
}

HRESULT RecordsetObject::put_Bookmark(VARIANT mark) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (ForwardOnly()) return NoBookmarks();
    ado::Bookmark target = 0;
    return ReadBookmark(mark, &target) && Cursor().MoveToBookmark(target) ? S_OK : Refuse(kInvalidArgument);
}

HRESULT RecordsetObject::CompareBookmarks(VARIANT first, VARIANT second, long* order) {
    if (!order) return E_POINTER;
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (ForwardOnly()) return NoBookmarks();
    ado::Bookmark a = 0, b = 0;
    if (!ReadBookmark(first, &a) || !ReadBookmark(second, &b)) return Refuse(kInvalidArgument);
    int c = 0;
    // CompareEnum: less 0, equal 1, greater 2; a row the view hides compares with nothing (4).
    *order = Cursor().CompareBookmarks(a, b, &c) ? c + 1 : 4;
    return S_OK;
}

HRESULT RecordsetObject::ReadPlace(long (ado::Cursor::*read)() const, long* out) const {
    if (!out) return E_POINTER;
    if (!IsOpen()) return Refuse(kObjectClosed);
    *out = ForwardOnly() ? ado::kPositionUnknown : (Cursor().*read)();
    return S_OK;
}

HRESULT RecordsetObject::MoveToPlace(bool (ado::Cursor::*move)(long), long place, const char16_t* refusal) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (ForwardOnly()) return Unavailable(refusal);
    return (Cursor().*move)(place) ? S_OK : Refuse(kInvalidArgument);
}

HRESULT RecordsetObject::get_AbsolutePosition(long* position) {
    return ReadPlace(&ado::Cursor::AbsolutePosition, position);
}

HRESULT RecordsetObject::put_AbsolutePosition(long position) {
    return MoveToPlace(&ado::Cursor::SetAbsolutePosition, position,
                       u"Object or provider is not capable of performing requested operation: a forward-only record "
                       u"set has no absolute position.");
}

HRESULT RecordsetObject::get_PageSize(long* rows) { return GiveLong(pageSize_, rows); }

HRESULT RecordsetObject::put_PageSize(long rows) {
    if (rows < 1) return Refuse(kInvalidArgument);
    pageSize_ = rows;
    if (IsOpen()) Cursor().SetPageSize(rows);
    return S_OK;
}

HRESULT RecordsetObject::get_PageCount(long* pages) { return ReadPlace(&ado::Cursor::PageCount, pages); }
HRESULT RecordsetObject::get_AbsolutePage(long* page) { return ReadPlace(&ado::Cursor::AbsolutePage, page); }

HRESULT RecordsetObject::put_AbsolutePage(long page) {
    return MoveToPlace(&ado::Cursor::SetAbsolutePage, page,
                       u"Object or provider is not capable of performing requested operation: a forward-only record "
                       u"set has no pages to move to.");
}

HRESULT RecordsetObject::Supports(long cursorOptions, VARIANT_BOOL* supported) {
    if (!supported) return E_POINTER;
    if (!IsOpen()) return Refuse(kObjectClosed);
    const long have = ForwardOnly() ? adFind : kScrollable;
    *supported = (cursorOptions & ~have) == 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// ---- clones, running again ----

HRESULT RecordsetObject::Clone(long lockType, Recordset** copy) {
    if (!copy) return E_POINTER;
    *copy = nullptr;
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (ForwardOnly()) return NoBookmarks();
    if (lockType != adLockUnspecified && lockType != adLockReadOnly) return Refuse(kInvalidArgument);  // a clone only reads
    return Guard([&]() -> HRESULT {
        ComPtr<RecordsetObject> made = MakeObject<RecordsetObject>();
        made->cursorType_ = cursorType_;
        made->cursorLocation_ = cursorLocation_;
        made->pageSize_ = pageSize_;
        made->maxRecords_ = maxRecords_;
        made->source_ = source_;
        made->make_ = make_;
        made->command_ = command_;
        made->Show(connection_, std::make_unique<ado::Cursor>(Cursor().Clone()));
        *copy = made.release();
        return S_OK;
    });
}

HRESULT RecordsetObject::Requery(long options) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (options != adOptionUnspecified && (options & ~kAsyncBits) != 0) return Refuse(kInvalidArgument);
    return Guard([&]() -> HRESULT {
        jetsql::ResultSet fresh;
        HRESULT hr = MakeRows(*connection_.get(), make_, &fresh);
        if (FAILED(hr)) return hr;
        ado::RecordsetError why;
        return Cursor().Requery(std::move(fresh), &why) ? S_OK : RefuseView(why);
    });
}

// The file is held open shared for reading only, so nothing can change under
// the rows: reading them again gives what they hold.
HRESULT RecordsetObject::Resync(long affectRecords, long resyncValues) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (ForwardOnly())
        return Unavailable(u"Object or provider is not capable of performing requested operation: Resync needs a "
                           u"keyset or static cursor.");
    if (affectRecords < 1 || affectRecords > 4 || resyncValues < 1 || resyncValues > 2) return Refuse(kInvalidArgument);
    if (affectRecords == 1 && !Cursor().HasCurrent()) return Refuse(kNoCurrentRecord);  // adAffectCurrent
    return S_OK;
}

HRESULT RecordsetObject::GetString(long stringFormat, long numRows, VARIANT columnDelimiter, VARIANT rowDelimiter,
                                   VARIANT nullExpr, BSTR* text) {
    if (!text) return E_POINTER;
    *text = nullptr;
    if (!IsOpen()) return Refuse(kObjectClosed);
    ado::TextLayout layout;
    if (stringFormat != adClipString || FAILED(ReadLayout(columnDelimiter, rowDelimiter, nullExpr, &layout)))
        return Refuse(kInvalidArgument);  // the only format
    return Guard([&]() -> HRESULT {
        std::u16string out;
        ado::RecordsetError why;
        if (!Cursor().GetString(numRows, layout, &out, &why, LocaleText)) return RefuseView(why);
        return GiveText(out, text);
    });
}

// ---- refused ----

HRESULT RecordsetObject::Delete(long) { return Refuse(IsOpen() ? kNotUpdatable : kObjectClosed); }
HRESULT RecordsetObject::UpdateBatch(long) { return Refuse(IsOpen() ? kNotUpdatable : kObjectClosed); }
HRESULT RecordsetObject::CancelBatch(long) { return Refuse(IsOpen() ? kNotUpdatable : kObjectClosed); }

HRESULT RecordsetObject::Seek(VARIANT, long) { return IsOpen() ? Unavailable(kNoIndexes) : Refuse(kObjectClosed); }

HRESULT RecordsetObject::get_Index(BSTR* name) { return GiveText(u"", name); }  // no index is ever current

HRESULT RecordsetObject::put_Index(BSTR) { return Unavailable(kNoIndexes); }

HRESULT RecordsetObject::NextRecordset(VARIANT*, Recordset** next) {
    if (!next) return E_POINTER;
    *next = nullptr;
    if (!IsOpen()) return Refuse(kObjectClosed);
    return Unavailable(u"Current provider does not support returning multiple recordsets from a single execution.");
}

HRESULT RecordsetObject::Save(VARIANT, long) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    return Unavailable(u"Object or provider is not capable of performing requested operation: Save (writing the "
                       u"rows to a file or a Stream) is not supported.");
}

}  // namespace ado_com
