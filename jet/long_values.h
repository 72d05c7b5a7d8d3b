#pragma once
// Placement of memo and OLE values: small ones inside the row, larger ones as
// rows of long-value pages ("LVAL"), the largest as a chain of such rows.
#include <cstdint>
#include <vector>

#include "jet/page_file.h"

namespace jet {

class LongValueStore {
public:
    explicit LongValueStore(PageFile& file) : file_(file) {}

    // The bytes to store in the row for one value of one column: the 12-byte
    // long-value field, followed by the data itself when it stays in the row.
    // Pages taken for the column are appended to pages.
    ByteVec Place(const ByteVec& data, std::vector<std::uint32_t>& pages);

    // Longest value kept inside the row.
    static constexpr std::size_t kInlineLimit = 64;

private:
    std::uint32_t PlaceSingle(const ByteVec& data, std::vector<std::uint32_t>& pages);
    std::uint32_t PlaceChain(const ByteVec& data, std::vector<std::uint32_t>& pages);

    PageFile& file_;
};

}  // namespace jet
