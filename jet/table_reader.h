#pragma once
// Reads every row of a table from the data pages its usage map names.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/page_source.h"
#include "jet/tdef_reader.h"

namespace jet {

// Fills table (name left as is) with the columns, indexes and rows of def;
// rowPointers, when given, receives where each row is stored (page << 8 | row).
bool ReadTableRows(const PageSource& source, const TableDef& def, Table& table, std::string* error,
                   std::vector<std::uint32_t>* rowPointers = nullptr);

}  // namespace jet
