#pragma once
// A data source over the bytes of an Access (Jet 4) file, read through the jet reader.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ado/data_source.h"

namespace ado {

// Fails, saying why, for bytes that are not a readable Access database.
std::unique_ptr<DataSource> OpenAccessBytes(std::vector<std::uint8_t> bytes, std::string* error);

}  // namespace ado
