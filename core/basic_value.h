#pragma once
// One value of a basic type, tagged with its type code, as the text and
// number commands and the message box take it.
#include <cstdint>

#include "core/types.h"

namespace core {

struct BasicValue {
    TypeCode type = TC_None;
    // byte, short, int, long, bool (0/1) and subroutine pointer (unsigned 32 bits).
    std::int64_t integer = 0;
    // float, double and date.
    double real = 0.0;
    Text text;
    Bytes bytes;

    static BasicValue Int(std::int32_t v) { return {TC_Int, v, 0.0, {}, {}}; }
    static BasicValue Short(std::int16_t v) { return {TC_Short, v, 0.0, {}, {}}; }
    static BasicValue Byte(std::uint8_t v) { return {TC_Byte, v, 0.0, {}, {}}; }
    static BasicValue Long(std::int64_t v) { return {TC_Long, v, 0.0, {}, {}}; }
    static BasicValue Float(float v) { return {TC_Float, 0, v, {}, {}}; }
    static BasicValue Double(double v) { return {TC_Double, 0, v, {}, {}}; }
    static BasicValue Bool(bool v) { return {TC_Bool, v ? 1 : 0, 0.0, {}, {}}; }
    static BasicValue Date(double days) { return {TC_Date, 0, days, {}, {}}; }
    static BasicValue OfText(const Text& v) { return {TC_Text, 0, 0.0, v, {}}; }
    static BasicValue OfBytes(const Bytes& v) { return {TC_Bytes, 0, 0.0, {}, v}; }
    static BasicValue SubPointer(std::uint32_t address) { return {TC_SubPointer, address, 0.0, {}, {}}; }

    std::int32_t AsInt() const { return static_cast<std::int32_t>(integer); }
    std::int16_t AsShort() const { return static_cast<std::int16_t>(integer); }
    std::uint8_t AsByte() const { return static_cast<std::uint8_t>(integer); }
    std::int64_t AsLong() const { return integer; }
    float AsFloat() const { return static_cast<float>(real); }
    double AsDouble() const { return real; }
    bool AsBool() const { return integer != 0; }
    std::uint32_t AsSubPointer() const { return static_cast<std::uint32_t>(integer); }
};

}  // namespace core
