#pragma once
// The system tables that Access creates in a new database, and the catalog rows
// (MSysObjects) that name every table.
#include <cstdint>
#include <vector>

#include "jet/table.h"

namespace jet {

// MSysObjects first (it must sit at page 2), then the other system tables, all empty.
std::vector<Table> SystemTables();

// Object flags of a table in the catalog.
std::uint32_t CatalogFlags(const Table& table, bool system);

// Fills catalog (MSysObjects) with the containers, the database object and one
// row per table; tables[i] has its definition at tdefPages[i]. Every object
// gets a full-access entry for the default Admin user in aces (MSysACEs).
void FillCatalog(Table& catalog, Table& aces, const std::vector<const Table*>& tables,
                 const std::vector<std::uint32_t>& tdefPages, std::size_t systemCount, double created);

}  // namespace jet
