#pragma once
// The catalog (MSysObjects) and the rights (MSysACEs) of a new Access 2000
// database: the containers, the database object and its property sets, one
// row per table, and for each object the rights Access gives it.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/system_tables.h"
#include "jet/table.h"

namespace jet {

struct CatalogTable {
    const Table* table = nullptr;
    std::uint32_t tdefPage = 0;
    const SystemTable* system = nullptr;  // null for the user's tables
};

struct CatalogSettings {
    double created = 0.0;   // OLE date of every object
    std::u16string title;   // the database's Title, as Access takes it from the file name; may be empty
};

// Fills catalog and aces (MSysObjects and MSysACEs) with a row for every
// object, in the order Access creates them; user tables come last.
void FillCatalog(const std::vector<CatalogTable>& tables, const CatalogSettings& settings, Table& catalog,
                 Table& aces);

}  // namespace jet
