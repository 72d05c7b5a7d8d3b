// Feeds arbitrary bytes to the database reader: it must either refuse them with
// a reason or give back tables whose rows can be looked up, never fault or hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto db = jet::Database::OpenBytes(std::vector<std::uint8_t>(data, data + size), &error);
    if (!db) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    for (const auto& name : db->TableNames()) {
        const jet::Table* t = db->FindTable(name);
        if (!t) __builtin_trap();
        for (const auto& row : t->rows)
            if (row.size() != t->columns.size()) __builtin_trap();
        if (!t->columns.empty()) db->FindRowsEqual(*t, 0, jet::Value::FromText(u"WM_CREATE"));
    }
    return 0;
}
