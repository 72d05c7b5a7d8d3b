#pragma once
// IUnknown, ISupportErrorInfo and IDispatch for one dual interface of the
// library: callers bind names through the type information that GetTypeInfo
// gives, and Invoke calls the vtable through the same library (DispInvoke),
// so argument coercion, optional arguments and defaults are oleaut32's. A
// failure the object raised reaches Invoke's caller as DISP_E_EXCEPTION with
// its number, source and text.
#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

#include "ado/com/failure.h"
#include "ado/com/module.h"
#include "ado/com/module_object.h"
#include "ado/com/owners.h"

namespace ado_com {

template <class Interface, const IID* Iid>
class DispatchObject : public Interface, public ISupportErrorInfo, protected ModuleObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *Iid || IsPrivateInterface(iid))
            return Hand(static_cast<Interface*>(this), out);
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return DropReference(); }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == *Iid ? S_OK : S_FALSE;
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
        HRESULT hr = DispatchTypeInfo(*Iid, info.put());
        return FAILED(hr) ? hr : DispGetIDsOfNames(info.get(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = VtableTypeInfo(*Iid, info.put());
        if (FAILED(hr)) return hr;
        ForgetRaised();
        // JScript's Enumerator asks for _NewEnum as a method, VBScript's For Each
        // as method or property; ADO answers both.
        if (id == DISPID_NEWENUM) flags |= DISPATCH_METHOD | DISPATCH_PROPERTYGET;
        hr = DispInvoke(static_cast<Interface*>(this), info.get(), id, flags, params, result, exception, argError);
        if (hr == DISP_E_MEMBERNOTFOUND && (flags & DISPATCH_PROPERTYPUT))
            return PutThroughDefault(id, params, exception, argError);
        if (FAILED(hr) && hr != DISP_E_EXCEPTION && TakeRaised(hr, exception)) return DISP_E_EXCEPTION;
        return hr;
    }

protected:
    DispatchObject() = default;

    // ADO's shorthand `rs("name") = v`, `cmd.Parameters(0) = v`, `cmd(0) = v`: a
    // put with arguments on a member that has no put goes to the default
    // member of the object the member gives for those arguments.
    HRESULT PutThroughDefault(DISPID id, DISPPARAMS* params, EXCEPINFO* exception, UINT* argError) {
        if (!params || params->cArgs < 2 || params->cNamedArgs != 1 ||
            params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_MEMBERNOTFOUND;
        DISPPARAMS get{params->rgvarg + 1, nullptr, params->cArgs - 1, 0};
        UniqueVariant target;
        HRESULT hr =
            Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &get, target.put(), exception, argError);
        if (FAILED(hr)) return hr;
        if (target.get().vt != VT_DISPATCH || !target.get().pdispVal) return DISP_E_MEMBERNOTFOUND;
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS put{params->rgvarg, &named, 1, 1};
        return target.get().pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, exception,
                                             argError);
    }

    // A derived object may answer one more interface id with itself.
    virtual bool IsPrivateInterface(REFIID) const { return false; }
    // The name that this object's errors give as their source.
    virtual const char16_t* ErrorSource() const = 0;

    // Raises hr from this object (ADO's text for it when none is given) and returns it.
    HRESULT Refuse(HRESULT hr, std::u16string_view text = {}) const { return Raise(hr, text, ErrorSource(), *Iid); }

    // Runs body; what it throws is refused from this object (Guarded, failure.h).
    template <class Body>
    HRESULT Guard(Body&& body) const noexcept {
        return Guarded(static_cast<Body&&>(body), [this](HRESULT hr, const std::u16string& text) { return Refuse(hr, text); });
    }

    // A property put: a value out of the property's range is refused.
    template <class T>
    HRESULT SetChecked(T& slot, T value, bool inRange = true) const {
        if (!inRange) return Refuse(kInvalidArgument);
        slot = std::move(value);
        return S_OK;
    }

    // A property that only a closed object takes: an open one refuses first, then a
    // value out of the property's range.
    template <class T>
    HRESULT SetWhileClosed(bool open, T& slot, T value, bool inRange = true) const {
        return open ? Refuse(kObjectOpen) : SetChecked(slot, std::move(value), inRange);
    }
};

// Creates an object with its first reference, owned by the result: the one
// way the component makes its objects. Throws std::bad_alloc, which Guard
// turns into E_OUTOFMEMORY.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
    return ComPtr<T>(new T(static_cast<Args&&>(args)...));
}

}  // namespace ado_com
