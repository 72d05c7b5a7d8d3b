#include "jet/usage_map.h"

#include <algorithm>
#include <map>

namespace jet {

using namespace format;

bool BuildUsageMap(const std::vector<std::uint32_t>& pages, PageFile& file, ByteVec& row, std::string* error) {
    row.assign(kMapRowLength, 0);
    if (pages.empty()) return true;
    const auto [lo, hi] = std::minmax_element(pages.begin(), pages.end());
    if (*hi - *lo < kInlineMapPages) {
        // Counted from page 0 as Jet does when that reaches far enough.
        const std::uint32_t start = *hi < kInlineMapPages ? 0 : *lo;
        row[0] = kMapInline;
        PutU32(row, 1, start);
        for (std::uint32_t p : pages) row[5 + (p - start) / 8] |= static_cast<std::uint8_t>(1u << ((p - start) % 8));
        return true;
    }
    row[0] = kMapReference;
    std::map<std::size_t, std::uint32_t> mapPages;
    for (std::uint32_t p : pages) {
        const std::size_t slot = p / kMapPageBits;
        if (slot >= kReferenceMapSlots) {
            if (error) *error = "database too large for its usage maps";
            return false;
        }
        auto it = mapPages.find(slot);
        if (it == mapPages.end()) {
            const std::uint32_t mp = file.Allocate();
            ByteVec& page = file.Page(mp);
            page[0] = kPageUsageMap;
            page[1] = 0x01;
            it = mapPages.emplace(slot, mp).first;
            PutU32(row, 1 + 4 * slot, mp);
        }
        const std::size_t bit = p % kMapPageBits;
        file.Page(it->second)[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    return true;
}

bool ReadUsageMap(ByteView row, const PageSource& source, std::vector<std::uint32_t>& pages) {
    pages.clear();
    const std::size_t pageCount = source.PageCount();
    std::uint8_t type = 0;
    if (!row.U8(0, type)) return false;
    if (type == kMapInline) {
        std::uint32_t start = 0;
        if (!row.U32(1, start)) return false;
        for (std::size_t i = 5; i < row.size(); ++i) {
            for (int b = 0; b < 8; ++b) {
                if (!(row.data()[i] & (1u << b))) continue;
                const std::uint64_t p = static_cast<std::uint64_t>(start) + (i - 5) * 8 + b;
                if (p >= pageCount) return false;
                pages.push_back(static_cast<std::uint32_t>(p));
            }
        }
        return true;
    }
    if (type != kMapReference) return false;
    for (std::size_t slot = 0; 1 + 4 * slot + 4 <= row.size(); ++slot) {
        std::uint32_t mp = 0;
        row.U32(1 + 4 * slot, mp);
        if (mp == 0) continue;
        ByteView mapPage;
        if (!source.Page(mp, mapPage) || mapPage.data()[0] != kPageUsageMap) return false;
        const std::uint8_t* bits = mapPage.data() + 4;
        for (std::size_t i = 0; i < kPageSize - 4; ++i) {
            if (!bits[i]) continue;
            for (int b = 0; b < 8; ++b) {
                if (!(bits[i] & (1u << b))) continue;
                const std::uint64_t p = static_cast<std::uint64_t>(slot) * kMapPageBits + i * 8 + b;
                if (p >= pageCount) return false;
                pages.push_back(static_cast<std::uint32_t>(p));
            }
        }
    }
    return true;
}

}  // namespace jet
