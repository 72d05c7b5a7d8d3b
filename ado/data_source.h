#pragma once
// What the component reads tables through: the Access file via the jet reader,
// or tables held in memory. Names are matched the way Jet matches them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ado/jet_text.h"
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

    // The rows whose text in `column` begins with `prefix` (compared as
    // JetTextEqual compares), in stored order. This answer walks every row;
    // a source with an index on the column answers from the index instead.
    virtual std::vector<Row> LookupPrefix(const TableShape& table, std::size_t column, std::u16string_view prefix) {
        std::vector<Row> found;
        for (Row& row : ReadAll(table)) {
            const jet::Value& v = row.at(column);
            if (v.kind == jet::Value::Kind::Text && JetTextStartsWith(v.text, prefix))
                found.push_back(std::move(row));
        }
        return found;
    }

    // How many rows the table holds. This answer reads them all; a source that
    // knows the count answers without decoding rows.
    virtual std::size_t CountRows(const TableShape& table) { return ReadAll(table).size(); }
};

}  // namespace ado
