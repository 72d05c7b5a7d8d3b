#pragma once
// Registry entries of the component: the two classes under ADO's ProgIDs, and
// the type library.
#include <windows.h>

namespace ado_com {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace ado_com
