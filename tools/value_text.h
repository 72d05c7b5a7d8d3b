#pragma once
// The text stored in the value column: "0x" and hexadecimal digits, or decimal.
#include <optional>
#include <string>

#include "tools/int_value.h"
#include "tools/token.h"

namespace constdb {

// A definition that is one hexadecimal literal (parentheses aside) keeps its digits
// as written, "0x0001"; the suffix goes, since readers strip at most one "L".
std::optional<std::string> SingleHexLiteralText(const Tokens& expanded);

// Otherwise: "0x" and upper-case digits without leading zeros when some operand was
// hexadecimal (negative 32-bit values as their 32-bit pattern), else decimal.
std::string FormatValueText(const IntValue& value, bool anyHexOperand);

}  // namespace constdb
