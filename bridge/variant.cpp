#include "bridge/variant.h"

#include <cstring>

#include "bridge/bstr.h"
#include "bridge/com_object.h"
#include "win/safe_array_lock.h"

namespace bridge {
namespace {

template <class T>
const T* AddressOf(const BridgeArg& arg) {
    return reinterpret_cast<const T*>(static_cast<std::uintptr_t>(arg.payload));
}

// The argument's value: from the payload, or from the caller's variable.
template <class T>
T ValueOf(const BridgeArg& arg) {
    if (arg.typeCode & TC_ByRefOrArray) {
        const T* p = AddressOf<T>(arg);
        return p ? *p : T();
    }
    T value;
    std::memcpy(&value, &arg.payload, sizeof value);
    return value;
}

bool BoolOf(const BridgeArg& arg) {
    if (arg.typeCode & TC_ByRefOrArray) return ValueOf<bool>(arg);
    return static_cast<std::uint32_t>(arg.payload) != 0;
}

bool StoreObjectAsUnknown(const ComObject* object, VARIANT& cell) {
    if (!object || object->IsEmpty()) return true;  // stays VT_EMPTY
    IUnknown* unknown = nullptr;
    if (FAILED(object->Interface()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown))) ||
        !unknown)
        return true;
    cell.vt = VT_UNKNOWN;
    cell.punkVal = unknown;
    return true;
}

// The VARIANT type that values of the type code take (array elements, results).
VARTYPE VtOf(std::uint32_t typeCode) {
    switch (typeCode) {
    case TC_Bool: return VT_BOOL;
    case TC_Date: return VT_DATE;
    case TC_Text: return VT_BSTR;
    case TC_Byte: return VT_UI1;
    case TC_Short: return VT_I2;
    case TC_Int: return VT_I4;
    case TC_Long: return VT_I4;
    case TC_Float: return VT_R4;
    case TC_Double: return VT_R8;
    case TC_ComObject: return VT_UNKNOWN;
    case TC_Variant: return VT_VARIANT;
    default: return VT_EMPTY;
    }
}

void CopyElements(std::uint32_t elementType, const void* from, std::uint32_t count, void* to) {
    for (std::uint32_t i = 0; i < count; ++i) {
        switch (elementType) {
        case TC_Bool:
            static_cast<VARIANT_BOOL*>(to)[i] =
                static_cast<const std::int32_t*>(from)[i] ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case TC_Date:
        case TC_Double: static_cast<double*>(to)[i] = static_cast<const double*>(from)[i]; break;
        case TC_Text: static_cast<BSTR*>(to)[i] = AnsiBstr(static_cast<const Text*>(from)[i]).release(); break;
        case TC_Byte: static_cast<BYTE*>(to)[i] = static_cast<const BYTE*>(from)[i]; break;
        case TC_Short: static_cast<SHORT*>(to)[i] = static_cast<const std::int16_t*>(from)[i]; break;
        case TC_Int: static_cast<LONG*>(to)[i] = static_cast<const std::int32_t*>(from)[i]; break;
        case TC_Long:
            static_cast<LONG*>(to)[i] =
                static_cast<LONG>(static_cast<std::uint32_t>(static_cast<const std::int64_t*>(from)[i]));
            break;
        case TC_Float: static_cast<float*>(to)[i] = static_cast<const float*>(from)[i]; break;
        case TC_ComObject: {
            IUnknown* unknown = static_cast<const ComObject*>(from)[i].Interface();
            if (unknown) unknown->AddRef();
            static_cast<IUnknown**>(to)[i] = unknown;
            break;
        }
        case TC_Variant:
            VariantCopyInd(&static_cast<VARIANT*>(to)[i], const_cast<VARIANT*>(&static_cast<const Variant*>(from)[i].Raw()));
            break;
        }
    }
}

bool StoreArray(std::uint32_t elementType, const void* elements, std::uint32_t count, VARIANT& cell) {
    VARTYPE vt = VtOf(elementType);
    if (vt == VT_EMPTY) return false;
    SAFEARRAYBOUND bound{count, 1};
    win::UniqueSafeArray array(SafeArrayCreate(vt, 1, &bound));
    if (!array) return false;
    if (count) {
        win::SafeArrayLock data(array.get());
        if (!data) return false;
        CopyElements(elementType, elements, count, data.get());
    }
    cell.vt = VT_ARRAY | vt;
    cell.parray = array.release();
    return true;
}

bool StoreBytes(const Bytes* bytes, VARIANT& cell) {
    static const Bytes none;
    if (!bytes) bytes = &none;
    return StoreArray(TC_Byte, bytes->data(), static_cast<std::uint32_t>(bytes->size()), cell);
}

// Bytes of an array VARIANT (direct or by reference) of VT_UI1/VT_I1.
Bytes ArrayBytes(const VARIANT& v) {
    SAFEARRAY* array = (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
    VARTYPE element = v.vt & VT_TYPEMASK;
    if (!array || (element != VT_UI1 && element != VT_I1)) return Bytes();
    UINT dims = SafeArrayGetDim(array);
    std::uint64_t count = dims ? 1 : 0;
    for (UINT d = 1; d <= dims; ++d) {
        LONG lower = 0, upper = -1;
        if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper)))
            return Bytes();
        std::int64_t length = static_cast<std::int64_t>(upper) - lower + 1;
        count *= length > 0 ? static_cast<std::uint64_t>(length) : 0;
    }
    if (count == 0) return Bytes();
    win::SafeArrayLock data(array);
    if (!data) return Bytes();
    const BYTE* p = static_cast<const BYTE*>(data.get());
    return Bytes(p, p + count);
}

}  // namespace

bool ConvertArgument(const BridgeArg& arg, VARIANT& cell, bool allowArrays) {
    std::uint32_t type = arg.typeCode & ~TC_ByRefOrArray;
    if (allowArrays && (arg.typeCode & TC_ByRefOrArray)) {
        const BridgeArray* array = AddressOf<BridgeArray>(arg);
        if (!array || array->elementType != type) return false;
        return StoreArray(type, array->elements, array->count, cell);
    }
    switch (type) {
    case TC_Bool: cell.vt = VT_BOOL; cell.boolVal = BoolOf(arg) ? VARIANT_TRUE : VARIANT_FALSE; return true;
    case TC_Date: cell.vt = VT_DATE; cell.date = ValueOf<double>(arg); return true;
    case TC_Text: {
        const Text* text = AddressOf<Text>(arg);
        cell.vt = VT_BSTR;
        cell.bstrVal = text ? AnsiBstr(*text).release() : nullptr;
        return true;
    }
    case TC_Byte: cell.vt = VT_UI1; cell.bVal = ValueOf<std::uint8_t>(arg); return true;
    case TC_Short: cell.vt = VT_I2; cell.iVal = ValueOf<std::int16_t>(arg); return true;
    case TC_Int: cell.vt = VT_I4; cell.lVal = ValueOf<std::int32_t>(arg); return true;
    case TC_Long:
        cell.vt = VT_I4;
        cell.lVal = static_cast<LONG>(static_cast<std::uint32_t>(ValueOf<std::int64_t>(arg)));
        return true;
    case TC_Float: cell.vt = VT_R4; cell.fltVal = ValueOf<float>(arg); return true;
    case TC_Double: cell.vt = VT_R8; cell.dblVal = ValueOf<double>(arg); return true;
    case TC_ComObject: return StoreObjectAsUnknown(AddressOf<ComObject>(arg), cell);
    case TC_Variant: {
        const Variant* source = AddressOf<Variant>(arg);
        if (source && FAILED(VariantCopyInd(&cell, const_cast<VARIANT*>(&source->Raw())))) VariantInit(&cell);
        return true;
    }
    case TC_Bytes:
        if (!allowArrays) return false;
        return StoreBytes(AddressOf<Bytes>(arg), cell);
    default: return false;
    }
}

bool ConvertResult(const VARIANT& value, std::uint32_t typeCode, void* destination) {
    if ((value.vt & VT_TYPEMASK) == VT_RECORD || !destination) return false;
    typeCode &= ~TC_ByRefOrArray;
    if (typeCode == TC_Variant) {
        Variant& target = *static_cast<Variant*>(destination);
        target.Clear();
        if (FAILED(VariantCopyInd(&target.Raw(), const_cast<VARIANT*>(&value)))) target.Clear();
        return true;
    }
    VARTYPE vt = VtOf(typeCode);
    if (vt == VT_EMPTY) return false;
    win::OwnedVariant scratch;
    VARIANT& v = scratch.get();
    if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(&value)))) return false;
    if (FAILED(VariantChangeType(&v, &v, 0, vt))) return false;
    switch (typeCode) {
    case TC_Bool: *static_cast<bool*>(destination) = v.boolVal != 0; break;
    case TC_Date: *static_cast<double*>(destination) = v.date; break;
    case TC_Text: *static_cast<Text*>(destination) = BstrToAnsi(v.bstrVal); break;
    case TC_Byte: *static_cast<std::uint8_t*>(destination) = v.bVal; break;
    case TC_Short: *static_cast<std::int16_t*>(destination) = v.iVal; break;
    case TC_Int: *static_cast<std::int32_t*>(destination) = v.lVal; break;
    case TC_Long: *static_cast<std::int64_t*>(destination) = v.lVal; break;
    case TC_Float: *static_cast<float*>(destination) = v.fltVal; break;
    case TC_Double: *static_cast<double*>(destination) = v.dblVal; break;
    case TC_ComObject: *static_cast<ComObject*>(destination) = ComObject::FromInterface(v.punkVal); break;
    }
    return true;
}

void StoreEmptyResult(std::uint32_t typeCode, void* destination) {
    if (!destination) return;
    switch (typeCode & ~TC_ByRefOrArray) {
    case TC_Bool: *static_cast<bool*>(destination) = false; break;
    case TC_Date:
    case TC_Double: *static_cast<double*>(destination) = 0.0; break;
    case TC_Text: static_cast<Text*>(destination)->clear(); break;
    case TC_Byte: *static_cast<std::uint8_t*>(destination) = 0; break;
    case TC_Short: *static_cast<std::int16_t*>(destination) = 0; break;
    case TC_Int: *static_cast<std::int32_t*>(destination) = 0; break;
    case TC_Long: *static_cast<std::int64_t*>(destination) = 0; break;
    case TC_Float: *static_cast<float*>(destination) = 0.0f; break;
    case TC_ComObject: static_cast<ComObject*>(destination)->Clear(); break;
    case TC_Variant: static_cast<Variant*>(destination)->Clear(); break;
    }
}

bool Variant::Assign(const BridgeArg& value) {
    Clear();
    if (ConvertArgument(value, Raw(), true)) return true;
    Clear();
    return false;
}

void Variant::Clear() { value_.reset(); }

void Variant::CopyFrom(const Variant& source) {
    value_.release();  // the old content is not given back: callers copy into fresh values
    value_ = source.value_;
}

Bytes Variant::ToBytes() const {
    if (Type() & VT_ARRAY) return ArrayBytes(Raw());
    win::OwnedVariant scratch;
    VARIANT& v = scratch.get();
    if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(&Raw())))) return Bytes();
    if (FAILED(VariantChangeType(&v, &v, 0, VT_ARRAY | VT_UI1))) return Bytes();
    return ArrayBytes(v);
}

}  // namespace bridge
