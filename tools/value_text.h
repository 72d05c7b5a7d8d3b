#pragma once
// The text stored in the value column: "0x" and hexadecimal digits, or decimal.
#include <string>

#include "tools/int_value.h"
#include "tools/sdk_constants.h"

namespace tools {

// A definition that is one hexadecimal literal (parentheses aside) keeps its digits
// as written, "0x0001" (literal_notation.h). Otherwise: "0x" and upper-case digits
// without leading zeros when some operand was hexadecimal (negative 32-bit values
// as their 32-bit pattern), else decimal.
std::string FormatValueText(const IntValue& value, bool anyHexOperand);

// A metadata value, written as headers write values of its kind (as the names that
// both sources define show): HRESULT and NTSTATUS in hexadecimal, and so any value
// whose top bit is set, except small negative numbers (-256 to -1): signed types
// show their sign, pointers the unsigned number their cast gives ((HWND)-1 is
// 4294967295). Everything else is decimal.
std::string SdkValueText(const IntValue& value, SdkKind kind);

}  // namespace tools
