#pragma once
// IEnumVARIANT over a collection's items as they were when _NewEnum was asked
// for: what For Each (VBScript) and Enumerator (JScript) walk.
#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "ado/com/owners.h"

namespace ado_com {

// Hands out a new enumerator over items (each VT_DISPATCH) in *out.
HRESULT NewItemEnumerator(std::vector<ComPtr<IDispatch>> items, IUnknown** out);

}  // namespace ado_com
