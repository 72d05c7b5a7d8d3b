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

    BasicValue() = default;
    explicit BasicValue(std::int32_t v) : type(TC_Int), integer(v) {}
    explicit BasicValue(std::int16_t v) : type(TC_Short), integer(v) {}
    explicit BasicValue(std::uint8_t v) : type(TC_Byte), integer(v) {}
    explicit BasicValue(std::int64_t v) : type(TC_Long), integer(v) {}
    explicit BasicValue(float v) : type(TC_Float), real(v) {}
    explicit BasicValue(double v) : type(TC_Double), real(v) {}
    explicit BasicValue(bool v) : type(TC_Bool), integer(v ? 1 : 0) {}
    explicit BasicValue(const Text& v) : type(TC_Text), text(v) {}
    explicit BasicValue(const char* v) : type(TC_Text), text(v ? v : "") {}
    explicit BasicValue(const Bytes& v) : type(TC_Bytes), bytes(v) {}

    static BasicValue Int(std::int32_t v) { return BasicValue(v); }
    static BasicValue Short(std::int16_t v) { return BasicValue(v); }
    static BasicValue Byte(std::uint8_t v) { return BasicValue(v); }
    static BasicValue Long(std::int64_t v) { return BasicValue(v); }
    static BasicValue Float(float v) { return BasicValue(v); }
    static BasicValue Double(double v) { return BasicValue(v); }
    static BasicValue Bool(bool v) { return BasicValue(v); }
    static BasicValue Date(double days) {
        BasicValue value;
        value.type = TC_Date;
        value.real = days;
        return value;
    }
    static BasicValue OfText(const Text& v) { return BasicValue(v); }
    static BasicValue OfBytes(const Bytes& v) { return BasicValue(v); }
    static BasicValue SubPointer(std::uint32_t address) {
        BasicValue value;
        value.type = TC_SubPointer;
        value.integer = address;
        return value;
    }

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
