#pragma once
// BSTRs made from and read as UTF-16 text; UniqueBstr (win/unique.h) owns one.
#include <windows.h>
#include <oleauto.h>

#include <string_view>

#include "win/unique.h"

namespace win {

// A new BSTR holding the text, for the caller (or its caller) to free.
inline BSTR NewBstr(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

// The text of a BSTR, embedded NULs included; a null BSTR is empty.
inline std::u16string_view BstrText(BSTR s) {
    return s ? std::u16string_view(reinterpret_cast<const char16_t*>(s), SysStringLen(s)) : std::u16string_view();
}

}  // namespace win
