#pragma once
// Runs a parsed SELECT against a data source and keeps the rows it gives.
#include "ado/data_source.h"
#include "ado/sql.h"

namespace ado {

struct ResultSet {
    std::vector<jet::Column> columns;  // selected columns, named as stored
    std::vector<Row> rows;
};

// Fails, saying why, for an unknown table or column, or a condition on a
// column that does not hold text.
bool RunSelect(DataSource& source, const SelectStatement& statement, ResultSet* out, std::string* error);

// ParseSelect then RunSelect.
bool RunSql(DataSource& source, std::u16string_view sql, ResultSet* out, std::string* error);

}  // namespace ado
