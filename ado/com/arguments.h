#pragma once
// The helpers that read the arguments of automation calls.
#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>

#include "ado/com/owners.h"

namespace ado_com {

// The value a VARIANT argument carries, with every level of VT_BYREF taken off.
// Fails for a missing optional argument (VT_ERROR) as for any other failure.
HRESULT ArgumentValue(const VARIANT& arg, VARIANT* out);

// True for an optional VARIANT argument that the caller left out or left empty.
bool IsMissing(const VARIANT& arg);

// Calls each with every element of a one-dimensional array argument of
// VARIANTs (or of BSTRs, as a VARIANT each) and stops at its first failure;
// kInvalidArgument for an argument that is no such array.
HRESULT ForEachElement(const VARIANT& array, const std::function<HRESULT(const VARIANT&)>& each);

// An argument as text, or as a 32-bit number.
HRESULT ArgumentText(const VARIANT& arg, std::u16string* out);
HRESULT ArgumentLong(const VARIANT& arg, long* out);

// Win32's view of a UTF-16 text: wchar_t is 16 bits on Windows.
inline const wchar_t* Wide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline const wchar_t* Wide(const std::u16string& s) { return Wide(s.c_str()); }

}  // namespace ado_com
