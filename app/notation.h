#pragma once
// Decimal and hexadecimal notation of a 32-bit value, and the declaration text.
#include "core/types.h"

// Hexadecimal digits with or without a leading "0x"; 0 when nothing reads.
int HexTextToInt(const Text& text);
// StrToIntExA of shlwapi.dll, found by name at every call; result stays as it
// was when the library or the function cannot be found.
void CallStrToIntEx(const Text& text, int flags, int& result);
// Upper-case digits, no prefix, no leading zeros; negative values as 32-bit patterns.
Text IntToHexText(int value);
// ".版本 2", an empty line, then ".常量 name, "decimal"".
Text BuildDeclarationText(const Text& name, const Text& decimal);
