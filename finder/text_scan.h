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

// Copies count pages from first on into to; false when the file cannot be read.
using PageReader = std::function<bool(std::uint32_t first, std::size_t count, std::uint8_t* to)>;

// Calls visit for each live row in stored order until it returns false. With
// read, the data pages are read through it, a run of them at a time into room
// of its own, rather than through the file's mapping: touching every page of a
// mapping costs more than copying it, and keeps it resident. The
// columns must be variable-length texts. Fails, naming the table and page, on
// a row out of shape, and after the last row when the pages held another
// number of rows than the table's definition counts (then the rows visited are
// not the table's).
bool ScanTexts(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
               const std::function<bool(const TextRow&)>& visit, const PageReader& read, std::string* error);

// Whether every pointer names a live row of the table (one a reader can then
// visit without failing halfway).
bool LiveRowsAt(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::uint32_t>& pointers);

// Calls visit for the rows stored at pointers, in that order, decoded as
// ScanTexts decodes them. Fails, naming the table and page, on a pointer that
// names no live row of the table.
bool ReadTextsAt(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
                 const std::vector<std::uint32_t>& pointers, const std::function<bool(const TextRow&)>& visit,
                 std::string* error);

}  // namespace finder
