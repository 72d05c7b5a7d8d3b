#pragma once
// Variant: one OLE Automation VARIANT owned by the value, and the two
// conversions every late-bound call goes through.
#include <windows.h>
#include <oleauto.h>

#include "bridge/bridge_arg.h"
#include "core/types.h"
#include "win/variant.h"

namespace bridge {

// New values are VT_EMPTY (all zeros); copies are deep (VariantCopy).
class Variant {
public:
    // Stores the converted value; false (and VT_EMPTY) for a type code the
    // bridge cannot convert or an array that cannot be built. A type code with
    // TC_ByRefOrArray takes a BridgeArray (ArgArray); Bytes become VT_UI1 arrays.
    bool Assign(const BridgeArg& value);
    void Clear();
    // Meant for a fresh value: the old content is not released.
    void CopyFrom(const Variant& source);
    // The content as bytes (byte arrays as they are, other values through the
    // platform's coercion to a byte array); empty when there are none.
    Bytes ToBytes() const;

    VARTYPE Type() const { return value_.get().vt; }
    const VARIANT& Raw() const { return value_.get(); }
    VARIANT& Raw() { return value_.get(); }
    bool IsEmpty() const { return Type() == VT_EMPTY; }

private:
    win::OwnedVariant value_;
};

// Argument conversion: the value of arg into a cleared cell. Objects go as
// VT_UNKNOWN (the call engine handles declared object types itself); bytes and
// arrays only when allowArrays. False for an unconvertible type code.
bool ConvertArgument(const BridgeArg& arg, VARIANT& cell, bool allowArrays);

// Result conversion in its store form: value converted to typeCode and stored
// into *destination, the variable of that type (Text, double, bool, ComObject,
// Variant, ...), releasing its old content. False (nothing written) when the
// value cannot be converted; VT_RECORD never converts.
bool ConvertResult(const VARIANT& value, std::uint32_t typeCode, void* destination);

// Sets the variable of type typeCode to the empty value of its type.
void StoreEmptyResult(std::uint32_t typeCode, void* destination);

}  // namespace bridge
