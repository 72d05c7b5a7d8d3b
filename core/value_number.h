#pragma once
// ToNumber: the numeric value of every basic value; texts are read as decimal
// numbers after full-width characters are folded to ASCII.
#include "core/basic_value.h"
#include "core/types.h"

namespace core {

double ToNumber(const BasicValue& value);
double ToNumber(const Text& text);

// Truncated toward zero to 64 bits, of which the low 32 remain; a magnitude of
// 2^63 or more, or not a number, gives 0.
std::int32_t TruncateToInt32(double number);

}  // namespace core
