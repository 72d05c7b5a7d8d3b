#pragma once
// The class objects of the creatable classes (Connection, Recordset, Command, Parameter), as DllGetClassObject hands them out.
#include <windows.h>
#include <unknwn.h>

namespace ado_com {

// Creates the class object for clsid, or fails with CLASS_E_CLASSNOTAVAILABLE.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

}  // namespace ado_com
