// Feeds arbitrary bytes to the database reader, whole and on demand: it must
// either refuse them with a reason or give back tables whose rows can be read
// and looked up (through the file's index too), never fault or hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/database_file.h"
#include "tests/support/jet_reader.h"

namespace {

void ReadOnDemand(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto file = jet::DatabaseFile::Open(jet::PageSource(data, size), &error);
    if (!file) {
        if (error.empty()) __builtin_trap();
        return;
    }
    for (const auto& t : file->Tables()) {
        std::size_t count = 0, seen = 0;
        const bool counted = file->CountRows(*t, count, &error);
        const bool scanned = file->Scan(*t, [&](std::uint32_t, std::vector<jet::Value>& row) {
            if (row.size() != t->def.columns.size()) __builtin_trap();
            return ++seen < 100000;
        }, &error);
        if (counted && scanned && seen < 100000 && seen != count) __builtin_trap();
        std::vector<std::uint32_t> pointers;
        std::vector<std::vector<jet::Value>> rows;
        for (bool prefix : {false, true})
            if (file->FindInIndex(*t, 0, jet::Value::FromText(u"WM_C"), prefix, pointers) ==
                jet::DatabaseFile::IndexAnswer::Answered)
                file->ReadAt(*t, pointers, rows, &error);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadOnDemand(data, size);
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
