#pragma once
// Where each column of a table lives in a row and in the table definition.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/table.h"

namespace jet {

struct ColumnPlan {
    ColumnType type = ColumnType::Text;
    std::uint16_t number = 0;       // position in the table, also its bit in the null mask
    std::uint16_t varIndex = 0;     // slot in the row's offset table (variable columns)
    std::uint16_t fixedOffset = 0;  // offset after the column count (fixed columns)
    std::uint16_t length = 0;       // declared length in bytes (0 for memo and OLE)
    bool fixed = false;
    bool compressed = false;  // text stored with Unicode compression
    std::uint8_t flags = 0;   // the definition's flag byte (fixed, updatable, ...)
};

struct TablePlan {
    std::vector<ColumnPlan> columns;
    std::uint16_t varCount = 0;
    std::uint16_t fixedSize = 0;
};

// Fails on names Jet does not accept and on duplicate column names. Each
// column's flags follow from its type unless flags (one per column) gives
// them, as for the tables a new database has: those also say which columns
// are fixed, and their texts are stored uncompressed.
bool PlanTable(const Table& table, TablePlan& plan, std::string* error,
               const std::vector<std::uint8_t>* flags = nullptr);

}  // namespace jet
