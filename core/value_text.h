#pragma once
// ToText: the text form of every basic value.
#include "core/basic_value.h"
#include "core/types.h"

namespace core {

Text ToText(const BasicValue& value);
// Shorthands for the common types, so that a double or a bool never passes as an int.
Text ToText(int value);
Text ToText(double value);
Text ToText(bool value);

}  // namespace core
