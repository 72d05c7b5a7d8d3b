#pragma once
// What the component's objects share: the module's lifetime count and the
// type information of the library embedded in the module (resource TYPELIB 1).
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace ado_com {

// The module that holds this code: the DLL, or a test program linking it in.
HMODULE ThisModule();

// Its full path, or empty if Windows cannot say.
std::u16string ModulePath();

void LockModule();
void UnlockModule();
bool ModuleInUse();

// The dispatch view of an interface (what GetTypeInfo hands out: members as
// methods and properties, without the HRESULT and retval plumbing), and its
// vtable view, through which Invoke calls.
HRESULT DispatchTypeInfo(REFIID iid, ITypeInfo** out);
HRESULT VtableTypeInfo(REFIID iid, ITypeInfo** out);

}  // namespace ado_com
