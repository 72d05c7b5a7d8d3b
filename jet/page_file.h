#pragma once
// The writer's in-memory file: a growing list of page images, and the row
// layout of data pages (row offsets at the top, rows packed from the end).
#include <cstdint>
#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"

namespace jet {

class PageFile {
public:
    std::uint32_t Allocate() {
        pages_.emplace_back(format::kPageSize, 0);
        return static_cast<std::uint32_t>(pages_.size() - 1);
    }
    ByteVec& Page(std::uint32_t n) { return pages_.at(n); }
    std::size_t PageCount() const { return pages_.size(); }
    ByteVec Bytes() const {
        ByteVec out;
        out.reserve(pages_.size() * format::kPageSize);
        for (const auto& p : pages_) out.insert(out.end(), p.begin(), p.end());
        return out;
    }

private:
    std::vector<ByteVec> pages_;
};

// A data page owned by the table whose definition is at owner; long-value pages carry "LVAL" instead.
void InitDataPage(ByteVec& page, std::uint32_t owner, bool longValues);

// Appends row; false when the page has no room (or holds the most rows a page may).
bool AddRow(ByteVec& page, const ByteVec& row, std::uint8_t& rowNumber);

std::uint16_t FreeSpace(const ByteVec& page);

// The largest table row Jet accepts, and the largest long-value row.
constexpr std::size_t kMaxRowSize = 4060;
constexpr std::size_t kMaxLongValueRow = 4076;

// Page and row number packed the way rows refer to each other.
inline std::uint32_t RowPointer(std::uint32_t page, std::uint8_t row) { return (page << 8) | row; }

}  // namespace jet
