#pragma once
// The integer values of api_const in value order, kept in a file beside the
// database (API常量.mdb → API常量.idx) that the build writes with it: a value's
// rows are then a binary search away, where without it they take a walk of the
// whole table. The file names the database it was made from (its size, and
// api_const's definition page and row count); qalomir-find uses no other file's,
// and walks the table when the file is missing, malformed or another's.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "finder/constants_file.h"
#include "finder/integer.h"
#include "finder/mapped_file.h"

namespace finder {

class ValueIndex {
public:
    struct Row {
        std::uint32_t pointer = 0;  // where the row is stored
        bool alone = false;         // the only row of its name
    };

    // nullptr, with why, when the file cannot be read, is not a value index, or
    // was made from another database than file.
    static std::unique_ptr<ValueIndex> Open(const std::string& path, const ConstantsFile& file, std::string* why);

    // The rows whose value may be value, in stored order, each once: those kept
    // under its 64 bits and, for a 32-bit value, its 32 (callers compare, as
    // SameValue does); with win32Sources, only those from where Win32 error
    // names are declared.
    std::vector<Row> RowsFor(const Integer& value, bool win32Sources = false) const;
    std::size_t Size() const { return count_; }

private:
    ValueIndex() = default;
    std::unique_ptr<MappedFile> mapped_;
    const std::uint8_t* entries_ = nullptr;
    std::size_t count_ = 0;
};

// Rows [0, sortedUpTo) and the rest, each in stored order, merged into one, each row once.
void MergeRows(std::vector<ValueIndex::Row>& rows, std::size_t sortedUpTo);

// The index's file for a database: its name with .idx for .mdb.
std::string ValueIndexPath(const std::string& databasePath);

// Walks api_const once and writes its index to path. False, with the reason.
bool WriteValueIndex(const ConstantsFile& file, const std::string& path, std::string* error);

}  // namespace finder
