#pragma once
// Usage maps: which pages belong to a table (or have room for new rows). A map
// is one 69-byte row; a narrow range of pages is a bitmap in the row itself,
// a wide one is a list of map pages (type 0x05) that each cover 32736 pages.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/page_file.h"
#include "jet/page_source.h"

namespace jet {

// Map row for pages (any order); allocates map pages when the range is wide.
bool BuildUsageMap(const std::vector<std::uint32_t>& pages, PageFile& file, ByteVec& row, std::string* error);

// Pages a map row names, in ascending order; false on a malformed map or one
// that names a page past the file's end.
bool ReadUsageMap(ByteView row, const PageSource& source, std::vector<std::uint32_t>& pages);

}  // namespace jet
