// The entry points of the in-process server.
#include "ado/com/class_factory.h"
#include "ado/com/module.h"
#include "ado/com/registration.h"

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return ado_com::GetClassObject(clsid, iid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return ado_com::ModuleInUse() ? S_FALSE : S_OK; }

HRESULT STDAPICALLTYPE DllRegisterServer() { return ado_com::RegisterServer(ado_com::RunningUnderWine()); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return ado_com::UnregisterServer(); }

}
