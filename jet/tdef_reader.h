#pragma once
// Parses a table definition (page type 0x02 and its continuation pages).
#include <cstdint>
#include <string>
#include <vector>

#include "jet/page_source.h"
#include "jet/table_plan.h"

namespace jet {

struct IndexDef {
    Index index;
    std::vector<std::uint16_t> columnNumbers;  // null-mask numbers of the key columns
    std::vector<bool> ascending;               // per key column
    std::uint32_t firstPage = 0;               // root of the index tree
    std::uint8_t flags = 0;                    // of the real index: unique, ignore nulls, required
    std::uint8_t cascadeUpdates = 0, cascadeDeletes = 0;  // as the logical entry stores them
};

struct TableDef {
    std::uint32_t page = 0;
    std::uint8_t type = 0;  // kTableUser or kTableSystem
    std::uint32_t rowCount = 0;
    std::uint16_t varCount = 0;
    std::uint32_t usedMap = 0;
    std::vector<Column> columns;      // in column-number order
    std::vector<ColumnPlan> layout;   // parallel to columns
    std::vector<IndexDef> indexes;
};

bool ReadTableDef(const PageSource& source, std::uint32_t page, TableDef& def, std::string* error);

}  // namespace jet
