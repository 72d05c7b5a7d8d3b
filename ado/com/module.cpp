#include "ado/com/module.h"

#include <oleauto.h>

#include <mutex>
#include <string>

#include "bridge/com_ptr.h"

namespace ado_com {
namespace {

LONG objectCount = 0;

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(ThisModule(), &path[0], DWORD(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Loaded once per process; type information objects are free-threaded.
class Library {
public:
    HRESULT Get(ITypeLib** out) {
        std::lock_guard<std::mutex> hold(lock_);
        if (!lib_) {
            std::wstring path = ModulePath();
            HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib_.Put());
            if (FAILED(hr)) return hr;
        }
        *out = lib_.Get();
        (*out)->AddRef();
        return S_OK;
    }

private:
    std::mutex lock_;
    ComPtr<ITypeLib> lib_;
};

Library& TheLibrary() {
    static Library* library = new Library();  // outlives every object; not torn down at unload
    return *library;
}

}  // namespace

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

void LockModule() { InterlockedIncrement(&objectCount); }
void UnlockModule() { InterlockedDecrement(&objectCount); }
bool ModuleInUse() { return objectCount != 0; }

HRESULT DispatchTypeInfo(REFIID iid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = TheLibrary().Get(lib.Put());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(iid, out);
}

HRESULT VtableTypeInfo(REFIID iid, ITypeInfo** out) {
    ComPtr<ITypeInfo> dispatch;
    HRESULT hr = DispatchTypeInfo(iid, dispatch.Put());
    if (FAILED(hr)) return hr;
    // A dual interface's dispatch view refers to its vtable view as implemented type -1.
    HREFTYPE vtable = 0;
    if (FAILED(dispatch->GetRefTypeOfImplType(UINT(-1), &vtable))) {
        *out = dispatch.Detach();
        return S_OK;
    }
    return dispatch->GetRefTypeInfo(vtable, out);
}

}  // namespace ado_com
