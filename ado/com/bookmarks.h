#pragma once
// Bookmarks as the record set hands them out and takes them back: numbers
// (VT_R8) offset so that none reads as one of BookmarkEnum's places
// (adBookmarkCurrent 0, adBookmarkFirst 1, adBookmarkLast 2), which Move,
// GetRows and Find take in the same argument; and that argument read.
#include <windows.h>
#include <oaidl.h>

#include "ado/cursor.h"

namespace ado_com {

VARIANT BookmarkVariant(ado::Bookmark mark);

// False for anything but a number that a bookmark was given as.
bool ReadBookmark(const VARIANT& given, ado::Bookmark* mark);

// A Start argument: left out it is the current row.
struct StartPlace {
    enum Kind { Current, First, Last, Mark } kind = Current;
    ado::Bookmark mark = 0;
};
// kInvalidArgument for anything that is neither a BookmarkEnum place nor a bookmark.
HRESULT ReadStart(const VARIANT& given, StartPlace* out);

}  // namespace ado_com
