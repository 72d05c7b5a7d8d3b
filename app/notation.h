#pragma once
// Decimal and hexadecimal notation of a 32-bit value, and the declaration text.
#include "core/types.h"

namespace app {

// Hexadecimal digits with or without a leading "0x"; 0 when nothing reads.
int HexTextToInt(const core::Text& text);
// StrToIntExA of shlwapi.dll, found by name at every call; result stays as it
// was when the library or the function cannot be found.
void CallStrToIntEx(const core::Text& text, int flags, int& result);
// Upper-case digits, no prefix, no leading zeros; negative values as 32-bit patterns.
core::Text IntToHexText(int value);
// ".版本 2", an empty line, then ".常量 name, "decimal"".
core::Text BuildDeclarationText(const core::Text& name, const core::Text& decimal);

}  // namespace app
