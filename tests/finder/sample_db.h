#pragma once
// A small API常量.mdb for exact answers: the constants the tests ask about,
// with the shapes the shipped file has (hexadecimal and decimal texts, 64-bit
// values, names that differ only in case, a name whose sources disagree,
// A/W names, reserved words, a text that is no number).
#include <string>

#include "jet/table.h"

namespace finder_test {

jet::Table SampleConstants();

// Writes the sample as a file; false with the reason in *error.
bool WriteSampleDatabase(const std::string& path, std::string* error);

}  // namespace finder_test
