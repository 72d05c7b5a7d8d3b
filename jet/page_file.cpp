#include "jet/page_file.h"

#include <algorithm>

namespace jet {

using namespace format;

void InitDataPage(ByteVec& page, std::uint32_t owner, bool longValues) {
    std::fill(page.begin(), page.end(), 0);
    page[0] = kPageData;
    page[1] = 0x01;
    PutU16(page, kDataFreeSpace, static_cast<std::uint16_t>(kPageSize - kDataRowTable));
    if (longValues) {
        std::copy(kLongValueTag, kLongValueTag + 4, page.begin() + kDataOwner);
    } else {
        PutU32(page, kDataOwner, owner);
    }
}

std::uint16_t FreeSpace(const ByteVec& page) {
    return static_cast<std::uint16_t>(page[kDataFreeSpace] | (page[kDataFreeSpace + 1] << 8));
}

bool AddRow(ByteVec& page, const ByteVec& row, std::uint8_t& rowNumber) {
    const std::size_t count = page[kDataRowCount] | (page[kDataRowCount + 1] << 8);
    const std::size_t free = FreeSpace(page);
    if (count >= kMaxRowsPerPage || row.size() + 2 > free) return false;
    std::size_t previous = kPageSize;
    if (count > 0) {
        const std::size_t at = kDataRowTable + 2 * (count - 1);
        previous = (page[at] | (page[at + 1] << 8)) & kRowOffsetMask;
    }
    const std::size_t start = previous - row.size();
    std::copy(row.begin(), row.end(), page.begin() + static_cast<std::ptrdiff_t>(start));
    PutU16(page, kDataRowTable + 2 * count, static_cast<std::uint16_t>(start));
    PutU16(page, kDataRowCount, static_cast<std::uint16_t>(count + 1));
    PutU16(page, kDataFreeSpace, static_cast<std::uint16_t>(free - row.size() - 2));
    rowNumber = static_cast<std::uint8_t>(count);
    return true;
}

}  // namespace jet
