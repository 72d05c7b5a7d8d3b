#pragma once
// What a property get hands back through its out-parameter: a null pointer is
// refused, text goes into a new BSTR for the caller to free.
#include <windows.h>
#include <oleauto.h>

#include <string_view>

#include "win/bstr.h"

namespace ado_com {

inline HRESULT GiveText(std::u16string_view text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = win::NewBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

inline HRESULT GiveLong(long value, long* out) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

inline HRESULT GiveByte(unsigned char value, unsigned char* out) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

// Execute's RecordsAffected: a SELECT changes no records (-1, as Jet says so);
// an argument left out is left alone.
inline void GiveNoRecordsAffected(VARIANT* out) {
    if (!out || out->vt == VT_ERROR) return;
    VariantClear(out);
    out->vt = VT_I4;
    out->lVal = -1;
}

}  // namespace ado_com
