#pragma once
// Turns one row of values into the bytes of a Jet 4 data row.
#include <map>
#include <string>
#include <vector>

#include "jet/long_values.h"
#include "jet/table_plan.h"

namespace jet {

class RowEncoder {
public:
    RowEncoder(const Table& table, const TablePlan& plan, LongValueStore& longValues)
        : table_(table), plan_(plan), longValues_(longValues) {}

    // Fails on a value whose kind or size does not fit its column.
    bool Encode(const std::vector<Value>& row, ByteVec& out, std::string* error);

    // Long-value pages taken so far, by column number.
    const std::map<std::uint16_t, std::vector<std::uint32_t>>& LongValuePages() const { return lvPages_; }

private:
    bool FixedBytes(const ColumnPlan& c, const Value& v, ByteVec& out, std::string* error) const;
    bool VariableBytes(const ColumnPlan& c, const Value& v, ByteVec& out, std::string* error);
    std::string ColumnName(const ColumnPlan& c) const;

    const Table& table_;
    const TablePlan& plan_;
    LongValueStore& longValues_;
    std::map<std::uint16_t, std::vector<std::uint32_t>> lvPages_;
};

}  // namespace jet
