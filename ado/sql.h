#pragma once
// The statements the component answers, in Jet's SQL:
//   SELECT [TOP n] * | COUNT(*) [AS name] | col [AS name] [, ...] FROM table
//     [WHERE condition] [ORDER BY col [ASC|DESC] [, ...]] [;]
// where a condition is `col = 'text'`, `col <> 'text'`, `col LIKE 'pattern'`,
// joined by AND, OR, NOT and parentheses. Keywords in any case; identifiers
// bare (letters, digits, '_', any non-ASCII character) or in [brackets]; text
// in '...' or "..." with the quote doubled inside.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ado {

// Why a statement was refused; each maps to the error code Jet gives for it.
enum class SqlFault { Syntax, ReadOnly, UnknownTable, UnknownColumn, TypeMismatch };

struct SqlError {
    SqlFault fault = SqlFault::Syntax;
    std::string text;
};

struct Comparison {
    enum class Op { Equal, NotEqual, Like };
    std::u16string column;
    Op op = Op::Equal;
    std::u16string literal;
};

struct Condition {
    enum class Kind { Compare, And, Or, Not };
    Kind kind = Kind::Compare;
    Comparison compare;             // for Compare
    std::vector<Condition> parts;   // operands of And, Or (two or more) and Not (one)
};

struct SortKey {
    std::u16string column;
    bool descending = false;
};

struct SelectItem {
    std::u16string column;
    std::u16string alias;  // empty: the column's own name
};

struct SelectStatement {
    bool allColumns = false;  // SELECT *
    bool count = false;       // SELECT COUNT(*)
    std::u16string countAlias;
    std::vector<SelectItem> columns;  // as written, when neither of the above
    std::u16string table;
    bool hasWhere = false;
    Condition where;
    std::vector<SortKey> orderBy;
    long top = -1;  // -1: every row
};

// Parses sql into *out. On failure returns false and says why in *error.
bool ParseSelect(std::u16string_view sql, SelectStatement* out, SqlError* error);
bool ParseSelect(std::u16string_view sql, SelectStatement* out, std::string* error);

}  // namespace ado
