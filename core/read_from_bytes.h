#pragma once
// ReadFromBytes: one value of a chosen type out of a byte array.
#include "core/basic_value.h"
#include "core/types.h"

namespace core {

// typeNumber: 1 byte, 2 short, 3 int, 4 long, 5 float, 6 double, 7 bool, 8 date,
// 9 subroutine pointer, 10 text; anything else is fatal. position is 1-based,
// moved past what was read, and -1 once beyond the last byte.
BasicValue ReadFromBytes(const Bytes& bytes, int typeNumber, int* position = nullptr);

}  // namespace core
