#pragma once
// One typed argument of a late-bound call, and the helpers that make them.
#include <cstdint>

#include "core/types.h"

namespace bridge {

using namespace core;  // the bridge speaks in the shared types

class ComObject;
class Variant;

// payload: the value itself (by value), or the address of the caller's
// variable (type code with TC_ByRefOrArray). Texts, byte arrays, objects and
// variants always travel as the address of the caller's value.
struct BridgeArg {
    std::uint64_t payload = 0;
    std::uint32_t typeCode = TC_None;  // TC_None: omitted
};

// The elements of an array handed to Variant::Assign; bools are int32 0/1,
// texts Text, objects ComObject, variants Variant.
struct BridgeArray {
    std::uint32_t elementType;
    const void* elements;
    std::uint32_t count;
};

namespace detail {
template <class T>
std::uint64_t Bits(T value) {
    std::uint64_t bits = 0;
    static_assert(sizeof(T) <= sizeof bits, "payload is 64 bits");
    __builtin_memcpy(&bits, &value, sizeof value);
    return bits;
}
inline std::uint64_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }
}  // namespace detail

inline BridgeArg ArgOmitted() { return {}; }
inline BridgeArg ArgBool(bool v) { return {v ? 1u : 0u, TC_Bool}; }
inline BridgeArg ArgDate(double v) { return {detail::Bits(v), TC_Date}; }
inline BridgeArg ArgText(const Text& v) { return {detail::Address(&v), TC_Text}; }
inline BridgeArg ArgBytes(const Bytes& v) { return {detail::Address(&v), TC_Bytes}; }
inline BridgeArg ArgByte(std::uint8_t v) { return {v, TC_Byte}; }
inline BridgeArg ArgShort(std::int16_t v) { return {detail::Bits(v), TC_Short}; }
inline BridgeArg ArgInt(std::int32_t v) { return {detail::Bits(v), TC_Int}; }
inline BridgeArg ArgLong(std::int64_t v) { return {detail::Bits(v), TC_Long}; }
inline BridgeArg ArgFloat(float v) { return {detail::Bits(v), TC_Float}; }
inline BridgeArg ArgDouble(double v) { return {detail::Bits(v), TC_Double}; }
inline BridgeArg ArgObject(const ComObject& v) { return {detail::Address(&v), TC_ComObject}; }
inline BridgeArg ArgVariant(const Variant& v) { return {detail::Address(&v), TC_Variant}; }
inline BridgeArg ArgArray(const BridgeArray& a) {
    return {detail::Address(&a), a.elementType | TC_ByRefOrArray};
}

// By reference: the bridge reads the variable and may write an output back.
inline BridgeArg RefText(Text& v) { return {detail::Address(&v), TC_Text | TC_ByRefOrArray}; }
inline BridgeArg RefInt(std::int32_t& v) { return {detail::Address(&v), TC_Int | TC_ByRefOrArray}; }
inline BridgeArg RefVariant(Variant& v) { return {detail::Address(&v), TC_Variant | TC_ByRefOrArray}; }

}  // namespace bridge
