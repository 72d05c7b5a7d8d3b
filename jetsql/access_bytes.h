#pragma once
// A data source over the bytes of an Access (Jet 4) file, read on demand
// through the jet reader: opening reads the catalog and table definitions,
// a lookup on an indexed column descends the file's index, and rows are
// decoded only when a query reads them. A damaged file found out during a
// query throws DamagedFile (data_source.h): the file, the table and the page.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jetsql/data_source.h"

namespace jetsql {

// Fails, saying why, for bytes that are not a readable Access database.
std::unique_ptr<DataSource> OpenAccessBytes(std::vector<std::uint8_t> bytes, std::string* error);

// The same over bytes lent by the caller (a mapped view of the file named
// name, which a DamagedFile gives); keeper holds them and lives as long as
// the source.
std::unique_ptr<DataSource> OpenAccessView(std::u16string name, const std::uint8_t* data, std::size_t size,
                                           std::shared_ptr<void> keeper, std::string* error);

}  // namespace jetsql
