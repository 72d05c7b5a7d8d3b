#pragma once
// Reads every row of a table from the data pages its usage map names.
#include <string>

#include "jet/page_source.h"
#include "jet/tdef_reader.h"

namespace jet {

// Fills table (name left as is) with the columns, indexes and rows of def.
bool ReadTableRows(const PageSource& source, const TableDef& def, Table& table, std::string* error);

}  // namespace jet
