#pragma once
// Registry entries of the component: its four classes under ADO's ProgIDs, and
// the type library. Registering keeps what it replaces (the CLSID each ProgID
// named before) under the component's own class key; unregistering puts it
// back and removes only keys the component made.
#include <windows.h>

namespace ado_com {

// True when this process runs under Wine (its ntdll exports wine_get_version).
bool RunningUnderWine();

// Refuses with kNotUnderWine, saying why, when underWine is false: on Windows
// the system's ADO serves, and nothing may redirect its ProgIDs.
HRESULT RegisterServer(bool underWine);
HRESULT UnregisterServer();

const HRESULT kNotUnderWine = HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);

}  // namespace ado_com
