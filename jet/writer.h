#pragma once
// Writes an Access 2000 (Jet 4) database holding the given user tables next to
// the system tables a new Access database has (MSysObjects at page 2 and the rest).
#include <cstdint>
#include <string>
#include <vector>

#include "jet/table.h"

namespace jet {

struct WriteOptions {
    // OLE Automation date stored in the catalog as the creation and update
    // time of every object; 0 means the current time.
    double created = 0.0;
    // The database's Title (its summary information). Empty: none, or when
    // writing to a path, the file's name without folder and extension, as
    // Access gives a new database.
    std::u16string title;
};

// Lays the whole file out in memory. Fails (false, with a reason in *error when
// error is not null) on a table the format cannot hold: duplicate or empty names,
// rows of the wrong width, values of the wrong kind, texts longer than their
// column, rows that do not fit a page.
bool WriteDatabase(const std::vector<Table>& tables, std::vector<std::uint8_t>& out, std::string* error,
                   const WriteOptions& options = {});

// As above, then writes the bytes to path (replacing the file).
bool WriteDatabase(const std::string& path, const std::vector<Table>& tables, std::string* error,
                   const WriteOptions& options = {});

}  // namespace jet
