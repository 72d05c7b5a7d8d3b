#pragma once
// The one statement form the component answers:
//   SELECT * | col [, col ...] FROM table [WHERE col = 'text' [AND col = 'text' ...]] [;]
// Keywords in any case; identifiers bare (letters, digits, '_', any non-ASCII
// character) or in [brackets]; a quote inside a literal is written twice.
#include <string>
#include <string_view>
#include <vector>

namespace ado {

struct Condition {
    std::u16string column;
    std::u16string literal;
};

struct SelectStatement {
    bool allColumns = false;             // SELECT *
    std::vector<std::u16string> columns;  // as written, when not allColumns
    std::u16string table;
    std::vector<Condition> where;        // joined by AND; empty: every row
};

// Parses sql into *out. On failure returns false and says why in *error.
bool ParseSelect(std::u16string_view sql, SelectStatement* out, std::string* error);

}  // namespace ado
