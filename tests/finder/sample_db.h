#pragma once
// A small API常量.mdb for exact answers: the constants the tests ask about,
// with the shapes the shipped file has (hexadecimal and decimal texts, 64-bit
// values, names that differ only in case, a name whose sources disagree,
// A/W names, reserved words, a text that is no number).
#include <cstdint>
#include <string>
#include <vector>

#include "jet/table.h"

namespace finder_test {

jet::Table SampleConstants();

// Writes the sample as a file; false with the reason in *error.
bool WriteSampleDatabase(const std::string& path, std::string* error);

// Writes the value index of the database at dbPath to indexPath, without the
// entries kept under the given keys (a 32-bit value has two: its 32 bits and its
// 64): an index that answers otherwise than a walk, to tell which one answered.
bool WriteIndexWithout(const std::string& dbPath, const std::string& indexPath, const std::vector<std::uint64_t>& keys,
                       std::string* error);

}  // namespace finder_test
