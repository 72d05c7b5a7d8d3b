#pragma once
// Usage maps: which pages belong to a table (or have room for new rows). A map
// is one 69-byte row; a narrow range of pages is a bitmap in the row itself,
// a wide one is a list of map pages (type 0x05) that each cover 32736 pages.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/page_file.h"

namespace jet {

// Map row for pages (any order); allocates map pages when the range is wide.
bool BuildUsageMap(const std::vector<std::uint32_t>& pages, PageFile& file, ByteVec& row, std::string* error);

// Pages a map row names; false on a malformed map. pageCount bounds the pages that exist.
bool ReadUsageMap(ByteView row, std::size_t pageCount, const std::vector<ByteView>& filePages,
                  std::vector<std::uint32_t>& pages);

}  // namespace jet
