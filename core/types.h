#pragma once
// Value types shared by every layer of the program.
#include <cstdint>
#include <string>
#include <vector>

namespace core {

// A byte string in the system ANSI code page (GBK); empty and absent are one value.
using Text = std::string;

// The system's byte array; empty is allowed.
using Bytes = std::vector<std::uint8_t>;

// The 32-bit type code of a value, as passed between the layers.
enum TypeCode : std::uint32_t {
    TC_None = 0,
    TC_Bool = 0x80000002u,
    TC_Date = 0x80000003u,
    TC_Text = 0x80000004u,
    TC_Bytes = 0x80000005u,
    TC_SubPointer = 0x80000006u,
    TC_Byte = 0x80000101u,
    TC_Short = 0x80000201u,
    TC_Int = 0x80000301u,
    TC_Long = 0x80000401u,
    TC_Float = 0x80000501u,
    TC_Double = 0x80000601u,
    TC_ComObject = 0x10030u,
    TC_Variant = 0x10031u,
};

// Added to a type code: passed by reference (argument lists), or an array (Assign).
constexpr std::uint32_t TC_ByRefOrArray = 0x20000000u;

}  // namespace core
