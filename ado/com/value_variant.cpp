#include "ado/com/value_variant.h"

#include <oleauto.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "ado/com/arguments.h"
#include "ado/field_info.h"
#include "win/safe_array_lock.h"

namespace ado_com {
namespace {

using ado::DataType;

HRESULT BinaryVariant(const std::vector<std::uint8_t>& bytes, VARIANT* out) {
    win::UniqueSafeArray array(SafeArrayCreateVector(VT_UI1, 0, ULONG(bytes.size())));
    if (!array) return E_OUTOFMEMORY;
    {
        win::SafeArrayLock data(array.get());
        if (!data) return E_UNEXPECTED;
        if (!bytes.empty()) std::memcpy(data.get(), bytes.data(), bytes.size());
    }
    out->vt = VT_ARRAY | VT_UI1;
    out->parray = array.release();
    return S_OK;
}

// A number held as start, changed to the column's width where it fits; a
// value too wide for it (a count past 2^31) keeps the width it came in.
HRESULT NarrowTo(VARTYPE target, VARIANT* start) {
    if (target == VT_EMPTY || target == start->vt) return S_OK;
    VARIANT narrowed;
    VariantInit(&narrowed);
    if (SUCCEEDED(VariantChangeType(&narrowed, start, 0, target))) *start = narrowed;
    return S_OK;
}

HRESULT IntegerVariant(std::int64_t n, DataType type, VARIANT* out) {
    switch (type) {
    case DataType::Boolean: out->vt = VT_BOOL; out->boolVal = n ? VARIANT_TRUE : VARIANT_FALSE; return S_OK;
    case DataType::Currency: out->vt = VT_CY; out->cyVal.int64 = n; return S_OK;  // held in 1/10000
    default: break;
    }
    if (n >= INT32_MIN && n <= INT32_MAX) {
        out->vt = VT_I4;
        out->lVal = LONG(n);
    } else {
        out->vt = VT_R8;
        out->dblVal = double(n);
    }
    return NarrowTo(VariantTypeOf(type), out);
}

HRESULT RealVariant(double d, DataType type, VARIANT* out) {
    switch (type) {
    case DataType::Currency:
        if (!(std::fabs(d) < 9.2e14)) break;
        out->vt = VT_CY;
        out->cyVal.int64 = std::llround(d * 10000.0);
        return S_OK;
    case DataType::Date: out->vt = VT_DATE; out->date = d; return S_OK;
    case DataType::Boolean: out->vt = VT_BOOL; out->boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE; return S_OK;
    default: break;
    }
    out->vt = VT_R8;
    out->dblVal = d;
    return NarrowTo(VariantTypeOf(type), out);
}

}  // namespace

VARTYPE VariantTypeOf(DataType type) {
    switch (type) {
    case DataType::SmallInt: return VT_I2;
    case DataType::Integer: return VT_I4;
    case DataType::Single: return VT_R4;
    case DataType::Double: return VT_R8;
    case DataType::Currency: return VT_CY;
    case DataType::Date: return VT_DATE;
    case DataType::Boolean: return VT_BOOL;
    case DataType::UnsignedTinyInt: return VT_UI1;
    case DataType::UnsignedSmallInt: return VT_UI2;
    case DataType::UnsignedInt: return VT_UI4;
    case DataType::WChar:
    case DataType::VarWChar:
    case DataType::LongVarWChar: return VT_BSTR;
    case DataType::Binary:
    case DataType::VarBinary:
    case DataType::LongVarBinary: return VT_ARRAY | VT_UI1;
    default: return VT_EMPTY;
    }
}

HRESULT ValueToVariant(const jet::Value& value, const jetsql::ResultColumn& column, VARIANT* out) {
    VariantInit(out);
    switch (value.kind) {
    case jet::Value::Kind::Null: out->vt = VT_NULL; return S_OK;
    case jet::Value::Kind::Text:
        out->bstrVal = NewBstr(value.text);
        if (!out->bstrVal) return E_OUTOFMEMORY;
        out->vt = VT_BSTR;
        return S_OK;
    case jet::Value::Kind::Integer: return IntegerVariant(value.integer, ado::TypeOf(column), out);
    case jet::Value::Kind::Double: return RealVariant(value.real, ado::TypeOf(column), out);
    case jet::Value::Kind::Binary: return BinaryVariant(value.binary, out);
    }
    return E_UNEXPECTED;
}

HRESULT VariantToTypedValue(const VARIANT& given, jetsql::TypedValue* out) {
    UniqueVariant held;
    HRESULT hr = ArgumentValue(given, held.put());
    if (FAILED(hr)) return hr;
    VARIANT& v = held.get();
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: *out = jetsql::TypedValue::Null(); return S_OK;
    case VT_BSTR: *out = jetsql::TypedValue::Text(std::u16string(BstrText(v.bstrVal))); return S_OK;
    case VT_BOOL: *out = jetsql::TypedValue::Boolean(v.boolVal != VARIANT_FALSE); return S_OK;
    case VT_DATE: *out = jetsql::TypedValue::Date(v.date); return S_OK;
    case VT_CY: *out = jetsql::TypedValue::Currency(double(v.cyVal.int64) / 10000.0); return S_OK;
    case VT_R4:
    case VT_R8:
    case VT_DECIMAL:
        hr = VariantChangeType(&v, &v, 0, VT_R8);
        if (SUCCEEDED(hr)) *out = jetsql::TypedValue::Double(v.dblVal);
        return hr;
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
        hr = VariantChangeType(&v, &v, 0, VT_I8);
        if (SUCCEEDED(hr)) *out = jetsql::TypedValue::Integer(v.llVal);
        return hr;
    default: return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace ado_com
