#include "ado/com/class_factory.h"

#include <new>

#include "ado/com/command_object.h"
#include "ado/com/connection_object.h"
#include "ado/com/library.h"
#include "ado/com/module.h"
#include "ado/com/module_object.h"
#include "ado/com/parameter_objects.h"
#include "ado/com/recordset_object.h"

namespace ado_com {
namespace {

template <class Object>
class ClassFactory : public IClassFactory, private ModuleObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        return Hand(static_cast<IClassFactory*>(this), out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return DropReference(); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return Guarded([&]() -> HRESULT { return MakeObject<Object>()->QueryInterface(iid, out); },
                       [](HRESULT hr, const std::u16string&) { return hr; });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }
};

template <class Object>
HRESULT Hand(REFIID iid, void** out) {
    return Guarded([&]() -> HRESULT { return MakeObject<ClassFactory<Object>>()->QueryInterface(iid, out); },
                   [](HRESULT hr, const std::u16string&) { return hr; });
}

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid == CLSID_ConnectionClass) return Hand<ConnectionObject>(iid, out);
    if (clsid == CLSID_RecordsetClass) return Hand<RecordsetObject>(iid, out);
    if (clsid == CLSID_CommandClass) return Hand<CommandObject>(iid, out);
    if (clsid == CLSID_ParameterClass) return Hand<ParameterObject>(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace ado_com
