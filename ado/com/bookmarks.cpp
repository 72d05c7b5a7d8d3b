#include "ado/com/bookmarks.h"

#include <cmath>

#include "ado/com/ado_enums.h"
#include "ado/com/arguments.h"
#include "ado/com/failure.h"

namespace ado_com {
namespace {

const double kOffset = adBookmarkLast;  // the largest BookmarkEnum place

// The number an argument holds, or false.
bool NumberOf(const VARIANT& given, double* out) {
    UniqueVariant v;
    if (FAILED(ArgumentValue(given, v.put()))) return false;
    if (v.get().vt == VT_BSTR || v.get().vt == VT_EMPTY || v.get().vt == VT_NULL || v.get().vt == VT_ERROR ||
        FAILED(VariantChangeType(&v.get(), &v.get(), 0, VT_R8)))
        return false;
    *out = v.get().dblVal;
    return true;
}

}  // namespace

VARIANT BookmarkVariant(ado::Bookmark mark) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = double(mark) + kOffset;
    return v;
}

bool ReadBookmark(const VARIANT& given, ado::Bookmark* mark) {
    double d = 0;
    if (!NumberOf(given, &d) || !(d > kOffset && d < 9e15) || d != std::floor(d)) return false;
    *mark = ado::Bookmark(d - kOffset);
    return true;
}

HRESULT ReadStart(const VARIANT& given, StartPlace* out) {
    *out = StartPlace();
    if (IsMissing(given)) return S_OK;
    double d = 0;
    if (!NumberOf(given, &d)) return kInvalidArgument;
    if (d == adBookmarkCurrent) return S_OK;
    if (d == adBookmarkFirst || d == adBookmarkLast) {
        out->kind = d == adBookmarkFirst ? StartPlace::First : StartPlace::Last;
        return S_OK;
    }
    out->kind = StartPlace::Mark;
    return ReadBookmark(given, &out->mark) ? S_OK : kInvalidArgument;
}

}  // namespace ado_com
