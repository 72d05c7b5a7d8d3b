#pragma once
// The names that may have one of some values, found through the value index
// and fed to a RunTracker as a walk of the table would feed them: a name with
// one row is that row, a name with several is read whole through the name
// index.
#include <string>
#include <vector>

#include "finder/constants_file.h"
#include "finder/integer.h"
#include "finder/name_runs.h"
#include "finder/value_index.h"

namespace finder {

// More rows than this for the values asked, and the walk is quicker: measured,
// the 16,166 rows of the value 1 take half a walk's time (bench/finder).
constexpr std::size_t kMostIndexedRows = 32768;

struct ValueAsked {
    Integer value;
    bool win32Sources = false;  // only the names of rows from where Win32 errors are declared
};

// Feeds runs the names of values and sets answered; leaves runs untouched and
// answered false when the values have more rows than kMostIndexedRows or a row
// the index names cannot be read (a walk answers instead). False, with the
// reason, when a name's rows cannot be read.
bool FeedValueRuns(const ConstantsFile& file, const ValueIndex& index, const std::vector<ValueAsked>& values,
                   RunTracker& runs, bool& answered, std::string* error);

}  // namespace finder
