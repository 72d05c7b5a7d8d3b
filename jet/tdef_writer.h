#pragma once
// Table definition bytes (page type 0x02), before they are split across pages.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "jet/page_file.h"
#include "jet/table_plan.h"

namespace jet {

struct TdefIndex {
    std::u16string name;
    std::vector<std::uint16_t> columns;  // column numbers, ascending order each
    std::uint32_t usedMap = 0;           // row pointer of the map of its pages
    std::uint32_t root = 0;
    std::uint8_t flags = format::kIndexAccess2000;  // unique, ignore nulls, required
    bool primaryKey = false;
};

struct TdefInput {
    const Table* table = nullptr;
    const TablePlan* plan = nullptr;
    std::uint8_t type = format::kTableUser;
    bool createdWithDatabase = false;  // one of the tables every new database has
    std::uint32_t rowCount = 0;
    std::uint32_t usedMap = 0;  // row pointers of the usage maps
    std::uint32_t freeMap = 0;
    // Per memo/OLE column: its number and the pointers of its two usage maps.
    std::vector<std::pair<std::uint16_t, std::pair<std::uint32_t, std::uint32_t>>> longValueMaps;
    std::vector<TdefIndex> indexes;
};

// The definition as one byte string; its first 8 bytes are the page header of the first page.
ByteVec BuildTableDefinition(const TdefInput& in);

// Writes definition into the first page and as many continuation pages as it needs.
void StoreTableDefinition(const ByteVec& definition, std::uint32_t firstPage, PageFile& file);

}  // namespace jet
