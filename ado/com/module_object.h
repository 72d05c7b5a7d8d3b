#pragma once
// The reference count that every object of the component carries, and the
// module lock it holds while alive (DllCanUnloadNow waits for both to end).
#include <windows.h>
#include <unknwn.h>

#include "ado/com/module.h"

namespace ado_com {

class ModuleObject {
public:
    ModuleObject(const ModuleObject&) = delete;
    ModuleObject& operator=(const ModuleObject&) = delete;

protected:
    ModuleObject() { LockModule(); }
    virtual ~ModuleObject() { UnlockModule(); }

    ULONG AddReference() { return ULONG(InterlockedIncrement(&refs_)); }
    ULONG DropReference() {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return ULONG(left);
    }

    // QueryInterface's answer: `self` (the interface asked for) with a new reference.
    HRESULT Hand(IUnknown* self, void** out) {
        if (!self) return E_NOINTERFACE;
        *out = self;
        AddReference();
        return S_OK;
    }

private:
    LONG refs_ = 1;
};

}  // namespace ado_com
