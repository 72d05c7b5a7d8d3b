#pragma once
// What the component reads tables through: the Access file via the jet reader,
// or tables held in memory. Names are matched the way Jet matches them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "jet/table.h"

namespace ado {

using Row = std::vector<jet::Value>;

struct TableShape {
    std::u16string name;              // as stored
    std::vector<jet::Column> columns;  // in stored order
};

class DataSource {
public:
    virtual ~DataSource() = default;

    // The table of that name, or null. The shape lives as long as the source.
    virtual const TableShape* FindTable(std::u16string_view name) = 0;

    // Every row of the table, in stored order.
    virtual std::vector<Row> ReadAll(const TableShape& table) = 0;

    // The rows whose text in column `column` equals `text` (JetTextEqual), found
    // without reading every row of the table.
    virtual std::vector<Row> Lookup(const TableShape& table, std::size_t column, std::u16string_view text) = 0;
};

}  // namespace ado
