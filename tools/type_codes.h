#pragma once
// The integer types of the extracts in data/, one code a record: i8 u8 i16 u16
// i32 u32 i64 u64, and the metadata's ptr for pointer-sized types (a 32-bit
// unsigned address). Values are decimal, with a sign for negative ones.
#include <optional>
#include <string>
#include <string_view>

#include "tools/int_value.h"

namespace tools {

// The type a code names; nothing for an unknown code.
std::optional<IntType> TypeOfCode(std::string_view code);

// The code of a promoted type (i32, u32, i64 or u64).
const char* CodeOfType(IntType type);

// A value of the given type; nothing when the text is not a decimal number of that
// type. A pointer takes the metadata's signed numbers ((HWND)-1) as its cast does.
std::optional<IntValue> ParseTypedValue(std::string_view text, IntType type, bool pointer = false);

// The decimal text ParseTypedValue reads back.
std::string TypedValueText(const IntValue& value);

}  // namespace tools
