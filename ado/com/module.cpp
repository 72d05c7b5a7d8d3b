#include "ado/com/module.h"

#include <oleauto.h>

#include <string>
#include <vector>

#include "ado/com/arguments.h"

namespace ado_com {
namespace {

LONG objectCount = 0;

// Loaded once per process, with the two views of each interface looked up once;
// type information objects are free-threaded.
class Library {
public:
    HRESULT Get(REFIID iid, bool vtable, ITypeInfo** out) {
        Hold hold(lock_);
        if (!lib_) {
            HRESULT hr = LoadTypeLibEx(Wide(ModulePath()), REGKIND_NONE, lib_.put());
            if (FAILED(hr)) return hr;
        }
        for (Views& v : views_) {
            if (IsEqualIID(v.iid, iid)) return Hand(vtable ? v.vtable : v.dispatch, out);
        }
        Views v{iid, {}, {}};
        HRESULT hr = lib_->GetTypeInfoOfGuid(iid, v.dispatch.put());
        if (FAILED(hr)) return hr;
        // A dual interface's dispatch view refers to its vtable view as implemented type -1.
        HREFTYPE ref = 0;
        if (FAILED(v.dispatch->GetRefTypeOfImplType(UINT(-1), &ref)) ||
            FAILED(v.dispatch->GetRefTypeInfo(ref, v.vtable.put())))
            v.vtable = v.dispatch;
        views_.push_back(v);
        return Hand(vtable ? v.vtable : v.dispatch, out);
    }

private:
    struct Views {
        IID iid;
        ComPtr<ITypeInfo> dispatch, vtable;
    };
    static HRESULT Hand(const ComPtr<ITypeInfo>& info, ITypeInfo** out) {
        *out = info.get();
        (*out)->AddRef();
        return S_OK;
    }
    // A slim lock rather than std::mutex, whose errors bring the C++ library's
    // system_error machinery into the component.
    struct Hold {
        explicit Hold(SRWLOCK& lock) : lock(lock) { AcquireSRWLockExclusive(&lock); }
        ~Hold() { ReleaseSRWLockExclusive(&lock); }
        SRWLOCK& lock;
    };
    SRWLOCK lock_ = SRWLOCK_INIT;
    ComPtr<ITypeLib> lib_;
    std::vector<Views> views_;
};

Library& TheLibrary() {
    static Library* library = new Library();  // outlives every object; not torn down at unload
    return *library;
}

}  // namespace

std::u16string ModulePath() {
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(ThisModule(), reinterpret_cast<wchar_t*>(&path[0]), DWORD(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

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
    return TheLibrary().Get(iid, false, out);
}

HRESULT VtableTypeInfo(REFIID iid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return TheLibrary().Get(iid, true, out);
}

}  // namespace ado_com
