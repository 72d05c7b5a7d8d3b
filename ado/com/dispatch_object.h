#pragma once
// Reference counting and IDispatch for one dual interface of the library:
// callers bind names through the type information that GetTypeInfo gives, and
// Invoke calls the vtable through the same library (DispInvoke), so argument
// coercion, optional arguments and defaults are oleaut32's.
#include <windows.h>
#include <oleauto.h>

#include "ado/com/module.h"
#include "bridge/com_ptr.h"

namespace ado_com {

template <class Interface, const IID* Iid>
class DispatchObject : public Interface {
public:
    DispatchObject() { LockModule(); }
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;
    virtual ~DispatchObject() { UnlockModule(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *Iid || IsPrivateInterface(iid))
            *out = static_cast<Interface*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return ULONG(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return DispatchTypeInfo(*Iid, out);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = DispatchTypeInfo(*Iid, info.Put());
        return FAILED(hr) ? hr : DispGetIDsOfNames(info.Get(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = VtableTypeInfo(*Iid, info.Put());
        if (FAILED(hr)) return hr;
        return DispInvoke(static_cast<Interface*>(this), info.Get(), id, flags, params, result, exception, argError);
    }

protected:
    // A derived object may answer one more interface id with itself.
    virtual bool IsPrivateInterface(REFIID) const { return false; }

private:
    LONG refs_ = 1;
};

// Creates an object with its first reference, owned by the result.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
    return ComPtr<T>::Attach(new T(static_cast<Args&&>(args)...));
}

}  // namespace ado_com
