#pragma once
// ToNumber: the numeric value of every basic value; texts are read as decimal
// numbers after full-width characters are folded to ASCII.
#include "core/basic_value.h"
#include "core/types.h"

namespace core {

double ToNumber(const BasicValue& value);
double ToNumber(const Text& text);

}  // namespace core
