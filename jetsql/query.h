#pragma once
// Runs a parsed SELECT against a data source and keeps the rows it gives.
#include <cstdint>

#include "jetsql/data_source.h"
#include "jetsql/sql.h"

namespace jetsql {

// One column of a result: its name (as stored, aliased, or Expr1000...), the
// Jet type its values have, and whether it may hold Null. reportedType: how
// whoever made the rows wants the column reported, in the numbering of the
// layer that reports it (ADO's DataTypeEnum for a record set);
// 0, as the engine leaves it, for "by its Jet type".
struct ResultColumn : jet::Column {
    bool nullable = true;  // may hold Null (a Yes/No column or a COUNT never does)
    long reportedType = 0;
};

// A column of a table as a result reports it.
ResultColumn ResultColumnOf(const jet::Column& column);

struct ResultSet {
    std::vector<ResultColumn> columns;
    std::vector<Row> rows;  // each has one value per column
};

// The values of a statement's `?` placeholders, in the order they stand.
using Parameters = std::vector<TypedValue>;

// Fails, saying why (SqlError's fault), for an unknown table or column, an
// ambiguous name, values Jet cannot compare, a malformed LIKE pattern, fewer
// parameter values than placeholders (MissingParameter) or more (ExtraParameter).
bool RunSelect(DataSource& source, const SelectStatement& statement, const Parameters& parameters, ResultSet* out,
               SqlError* error);

// ParseSelect then RunSelect.
bool RunSql(DataSource& source, std::u16string_view sql, const Parameters& parameters, ResultSet* out,
            SqlError* error);

// What the engine can say of a `?` before it runs: the type of the column it
// is compared with (text for a LIKE pattern), or nothing (`? = ?`).
struct ParameterInfo {
    bool typeKnown = false;
    jet::ColumnType type = jet::ColumnType::Text;
    std::uint16_t size = 0;  // the column's, as jet::Column::size (bytes of text)
    std::u16string column;   // the column it is compared with, if any
};

// One entry per `?` of sql, in order. Fails as RunSelect would for the
// statement itself (names are checked; parameter values are not needed).
bool DescribeParameters(DataSource& source, std::u16string_view sql, std::vector<ParameterInfo>* out,
                        SqlError* error);

}  // namespace jetsql
