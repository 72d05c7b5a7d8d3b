#include "ado/com/value_variant.h"

#include <oleauto.h>

#include <cstdint>
#include <cstring>

#include "ado/com/owners.h"
#include "win/safe_array_lock.h"

namespace ado_com {
namespace {

HRESULT IntegerVariant(std::int64_t n, jet::ColumnType type, VARIANT* out) {
    switch (type) {
    case jet::ColumnType::Boolean: out->vt = VT_BOOL; out->boolVal = n ? VARIANT_TRUE : VARIANT_FALSE; return S_OK;
    case jet::ColumnType::Byte: out->vt = VT_UI1; out->bVal = BYTE(n); return S_OK;
    case jet::ColumnType::Integer: out->vt = VT_I2; out->iVal = SHORT(n); return S_OK;
    case jet::ColumnType::Currency: out->vt = VT_CY; out->cyVal.int64 = n; return S_OK;  // stored in 1/10000
    case jet::ColumnType::Double: out->vt = VT_R8; out->dblVal = double(n); return S_OK;
    default: break;
    }
    if (n >= INT32_MIN && n <= INT32_MAX) {
        out->vt = VT_I4;
        out->lVal = LONG(n);
    } else {
        out->vt = VT_R8;
        out->dblVal = double(n);
    }
    return S_OK;
}

HRESULT RealVariant(double d, jet::ColumnType type, VARIANT* out) {
    switch (type) {
    case jet::ColumnType::Single: out->vt = VT_R4; out->fltVal = float(d); return S_OK;
    case jet::ColumnType::DateTime: out->vt = VT_DATE; out->date = d; return S_OK;
    default: out->vt = VT_R8; out->dblVal = d; return S_OK;
    }
}

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

}  // namespace

HRESULT ValueToVariant(const jet::Value& value, jet::ColumnType type, VARIANT* out) {
    VariantInit(out);
    switch (value.kind) {
    case jet::Value::Kind::Null: out->vt = VT_NULL; return S_OK;
    case jet::Value::Kind::Text:
        out->bstrVal = NewBstr(value.text);
        if (!out->bstrVal) return E_OUTOFMEMORY;
        out->vt = VT_BSTR;
        return S_OK;
    case jet::Value::Kind::Integer: return IntegerVariant(value.integer, type, out);
    case jet::Value::Kind::Double: return RealVariant(value.real, type, out);
    case jet::Value::Kind::Binary: return BinaryVariant(value.binary, out);
    }
    return E_UNEXPECTED;
}

long AdoTypeOf(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Boolean: return 11;     // adBoolean
    case jet::ColumnType::Byte: return 17;        // adUnsignedTinyInt
    case jet::ColumnType::Integer: return 2;      // adSmallInt
    case jet::ColumnType::LongInteger: return 3;  // adInteger
    case jet::ColumnType::Currency: return 6;     // adCurrency
    case jet::ColumnType::Single: return 4;       // adSingle
    case jet::ColumnType::Double: return 5;       // adDouble
    case jet::ColumnType::DateTime: return 7;     // adDate
    case jet::ColumnType::Binary: return 204;     // adVarBinary
    case jet::ColumnType::Text: return 202;       // adVarWChar
    case jet::ColumnType::OleObject: return 205;  // adLongVarBinary
    case jet::ColumnType::Memo: return 203;       // adLongVarWChar
    case jet::ColumnType::AccessObjectData: return 128;  // adBinary: fixed length
    }
    return 0;
}

}  // namespace ado_com
