#pragma once
// The api_const table as the query reads it: name, value text, header file name.
#include <vector>

#include "jet/table.h"
#include "tools/constant.h"

namespace tools {

// Rows keep the order given, so a name's first row is the one a reader meets first.
// Takes the constants over: each is released once its row is made.
jet::Table MakeConstantsTable(std::vector<Constant> constants);

}  // namespace tools
