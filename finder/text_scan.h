#pragma once
// Every live row of a table, walked page by page from the table's usage map,
// with only the chosen text columns decoded, each into a buffer reused from
// row to row. jet's row reader makes every value of every row anew; a question
// that reads the whole table (a value, a pattern without a fixed start) takes
// a fraction of the time this way (bench/finder).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database_file.h"

namespace finder {

struct TextRow {
    std::uint32_t pointer = 0;               // where the row is stored: page << 8 | row
    std::vector<std::u16string_view> texts;  // one per column asked, valid until the next row; a null is empty
};

// Calls visit for each live row in stored order until it returns false. The
// columns must be variable-length texts. Fails, naming the table and page, on
// a row out of shape and when the pages do not hold the rows the table's
// definition counts.
bool ScanTexts(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
               const std::function<bool(const TextRow&)>& visit, std::string* error);

}  // namespace finder
