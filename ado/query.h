#pragma once
// Runs a parsed SELECT against a data source and keeps the rows it gives.
#include "ado/data_source.h"
#include "ado/sql.h"

namespace ado {

struct ResultSet {
    std::vector<jet::Column> columns;  // selected columns, named as stored (or as aliased)
    std::vector<Row> rows;
};

// Fails, saying why, for an unknown table or column, a comparison with a column
// that does not hold text, or a malformed LIKE pattern.
bool RunSelect(DataSource& source, const SelectStatement& statement, ResultSet* out, SqlError* error);

// ParseSelect then RunSelect.
bool RunSql(DataSource& source, std::u16string_view sql, ResultSet* out, SqlError* error);
bool RunSql(DataSource& source, std::u16string_view sql, ResultSet* out, std::string* error);

}  // namespace ado
