#include "ado/com/arguments.h"

#include "ado/com/failure.h"

namespace ado_com {

HRESULT ArgumentValue(const VARIANT& arg, VARIANT* out) {
    VariantInit(out);
    HRESULT hr = VariantCopyInd(out, const_cast<VARIANT*>(&arg));
    // A VARIANT by reference may itself hold a reference; take every level off.
    for (int depth = 0; SUCCEEDED(hr) && (out->vt & VT_BYREF) && depth < 8; ++depth) {
        VARIANT inner;
        VariantInit(&inner);
        hr = VariantCopyInd(&inner, out);
        VariantClear(out);
        *out = inner;
    }
    if (SUCCEEDED(hr) && (out->vt & VT_BYREF)) hr = DISP_E_TYPEMISMATCH;
    if (FAILED(hr)) VariantClear(out);
    return hr;
}

bool IsMissing(const VARIANT& arg) {
    UniqueVariant v;
    if (FAILED(ArgumentValue(arg, v.put()))) return false;
    return v.get().vt == VT_EMPTY || (v.get().vt == VT_ERROR && v.get().scode == DISP_E_PARAMNOTFOUND);
}

HRESULT ArgumentText(const VARIANT& arg, std::u16string* out) {
    UniqueVariant v;
    HRESULT hr = ArgumentValue(arg, v.put());
    VARIANT* value = &v.get();
    if (SUCCEEDED(hr) && value->vt == VT_ERROR) hr = DISP_E_PARAMNOTFOUND;
    if (SUCCEEDED(hr)) hr = VariantChangeType(value, value, 0, VT_BSTR);
    if (SUCCEEDED(hr)) *out = std::u16string(BstrText(value->bstrVal));
    return hr;
}

HRESULT ArgumentLong(const VARIANT& arg, long* out) {
    UniqueVariant v;
    HRESULT hr = ArgumentValue(arg, v.put());
    VARIANT* value = &v.get();
    if (SUCCEEDED(hr) && (value->vt == VT_ERROR || value->vt == VT_BSTR)) hr = DISP_E_TYPEMISMATCH;
    if (SUCCEEDED(hr)) hr = VariantChangeType(value, value, 0, VT_I4);
    if (SUCCEEDED(hr)) *out = value->lVal;
    return hr;
}

HRESULT ForEachElement(const VARIANT& array, const std::function<HRESULT(const VARIANT&)>& each) {
    UniqueVariant v;
    if (FAILED(ArgumentValue(array, v.put())) || !(v.get().vt & VT_ARRAY)) return kInvalidArgument;
    const VARTYPE element = v.get().vt & VT_TYPEMASK;
    SAFEARRAY* list = v.get().parray;
    LONG low = 0, high = -1;
    if ((element != VT_VARIANT && element != VT_BSTR) || SafeArrayGetDim(list) != 1 ||
        FAILED(SafeArrayGetLBound(list, 1, &low)) || FAILED(SafeArrayGetUBound(list, 1, &high)))
        return kInvalidArgument;
    for (LONG i = low; i <= high; ++i) {
        UniqueVariant item;
        HRESULT hr = S_OK;
        if (element == VT_VARIANT) {
            hr = SafeArrayGetElement(list, &i, item.put());
        } else {
            BSTR text = nullptr;
            hr = SafeArrayGetElement(list, &i, &text);
            item.put()->vt = VT_BSTR;
            item.get().bstrVal = text;
        }
        if (FAILED(hr)) return kInvalidArgument;
        hr = each(item.get());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

}  // namespace ado_com
