#pragma once
// The reader's view of a file: whole pages, each access checked against the file's end.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"

namespace jet {

class PageSource {
public:
    explicit PageSource(std::vector<std::uint8_t> bytes);

    std::size_t PageCount() const { return pages_.size(); }
    bool Page(std::uint32_t n, ByteView& page) const {
        if (n >= pages_.size()) return false;
        page = pages_[n];
        return true;
    }
    const std::vector<ByteView>& Pages() const { return pages_; }

    // The bytes of the row that pointer (page << 8 | row) names on a data page.
    // Deleted rows fail; overflow rows are not followed here.
    bool Row(std::uint32_t pointer, ByteView& row, std::uint16_t* flags = nullptr) const;

    // Accounts for n bytes about to be decoded into values. Every stored byte
    // is decoded about once in a sound file; rows or long values that many
    // pointers share in a damaged one exhaust this budget instead of memory.
    bool Spend(std::size_t n) const {
        if (n > budget_) return false;
        budget_ -= n;
        return true;
    }

    // Row number index of a data page; false when the page is not a data page or the entry is out of shape.
    bool RowOnPage(ByteView page, std::size_t index, ByteView& row, std::uint16_t& flags) const;

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<ByteView> pages_;
    mutable std::size_t budget_ = 0;
};

}  // namespace jet
