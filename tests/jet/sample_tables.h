#pragma once
// Tables for the tests: the lookup table's shape and generated tables of every column type.
#include <cstddef>
#include <string>

#include "jet/table.h"

namespace jet_test {

// api_const with rows names NAME_0..NAME_{n-1}, values, and remarks that are
// sometimes Chinese, sometimes empty and sometimes null.
jet::Table ApiConstTable(std::size_t rows);

// One column of every type the writer stores, rows derived from seed.
jet::Table MixedTable(const std::u16string& name, std::size_t rows, unsigned seed);

std::u16string Repeat(const std::u16string& piece, std::size_t times);

}  // namespace jet_test
