#pragma once
// The tables a new Access 2000 database has besides the user's, as Access
// defines them: columns and indexes with their flags, and who may do what
// with each.
#include <cstdint>
#include <vector>

#include "jet/security_ids.h"
#include "jet/table.h"

namespace jet {

struct SystemTable {
    Table table;
    bool engine = true;  // made by the engine with the database; else added by Access
    std::uint8_t definitionType = 0;        // kTableSystem, or kTableUser for Access's own
    std::vector<std::uint8_t> columnFlags;  // the definition's flag byte per column
    std::vector<std::uint8_t> indexFlags;   // per index
    std::vector<Ace> rights;
};

// MSysObjects first (it must sit at page 2), then MSysACEs and the rest, all empty.
std::vector<SystemTable> SystemTables();

}  // namespace jet
