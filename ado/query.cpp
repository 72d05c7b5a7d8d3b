#include "ado/query.h"

#include "ado/jet_text.h"
#include "ado/utf8.h"

namespace ado {
namespace {

bool FindColumn(const TableShape& table, std::u16string_view name, std::size_t* index, std::string* error) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (JetTextEqual(table.columns[i].name, name)) {
            *index = i;
            return true;
        }
    }
    *error = "The table '" + ToUtf8(table.name) + "' has no column '" + ToUtf8(name) + "'.";
    return false;
}

bool HoldsText(const jet::Column& c) { return c.type == jet::ColumnType::Text || c.type == jet::ColumnType::Memo; }

struct Criterion {
    std::size_t column;
    std::u16string_view text;
};

bool Matches(const Row& row, const std::vector<Criterion>& where) {
    for (const Criterion& c : where) {
        const jet::Value& v = row.at(c.column);
        if (v.kind != jet::Value::Kind::Text || !JetTextEqual(v.text, c.text)) return false;
    }
    return true;
}

}  // namespace

bool RunSelect(DataSource& source, const SelectStatement& statement, ResultSet* out, std::string* error) {
    const TableShape* table = source.FindTable(statement.table);
    if (!table) {
        *error = "The table '" + ToUtf8(statement.table) + "' does not exist.";
        return false;
    }
    std::vector<std::size_t> selected;
    if (statement.allColumns) {
        for (std::size_t i = 0; i < table->columns.size(); ++i) selected.push_back(i);
    } else {
        for (const std::u16string& name : statement.columns) {
            std::size_t i;
            if (!FindColumn(*table, name, &i, error)) return false;
            selected.push_back(i);
        }
    }
    std::vector<Criterion> where;
    for (const Condition& c : statement.where) {
        std::size_t i;
        if (!FindColumn(*table, c.column, &i, error)) return false;
        if (!HoldsText(table->columns[i])) {
            *error = "Data type mismatch in criteria expression: '" + ToUtf8(c.column) + "' does not hold text.";
            return false;
        }
        where.push_back({i, c.literal});
    }

    std::vector<Row> rows = where.empty() ? source.ReadAll(*table)
                                          : source.Lookup(*table, where.front().column, where.front().text);
    ResultSet result;
    for (std::size_t i : selected) result.columns.push_back(table->columns[i]);
    for (const Row& row : rows) {
        if (!Matches(row, where)) continue;
        Row picked;
        picked.reserve(selected.size());
        for (std::size_t i : selected) picked.push_back(row.at(i));
        result.rows.push_back(std::move(picked));
    }
    *out = std::move(result);
    return true;
}

bool RunSql(DataSource& source, std::u16string_view sql, ResultSet* out, std::string* error) {
    SelectStatement statement;
    return ParseSelect(sql, &statement, error) && RunSelect(source, statement, out, error);
}

}  // namespace ado
