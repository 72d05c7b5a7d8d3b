#pragma once
// The parser and the runner with their failure as text alone, as most tests
// read it.
#include <string>
#include <string_view>

#include "jetsql/query.h"
#include "jetsql/sql.h"

namespace jetsql {

inline bool ParseSelect(std::u16string_view sql, SelectStatement* out, std::string* error) {
    SqlError why;
    if (ParseSelect(sql, out, &why)) return true;
    if (error) *error = std::move(why.text);
    return false;
}

inline bool RunSql(DataSource& source, std::u16string_view sql, ResultSet* out, std::string* error) {
    SqlError why;
    if (RunSql(source, sql, {}, out, &why)) return true;
    if (error) *error = std::move(why.text);
    return false;
}

}  // namespace jetsql
