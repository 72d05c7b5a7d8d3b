#pragma once
// The reader's view of a file: whole pages, each access checked against the
// file's end. The bytes are either held here or lent by the caller (a mapped
// view of the file, which must outlive the source).
#include <cstdint>
#include <string>
#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"

namespace jet {

class PageSource {
public:
    explicit PageSource(std::vector<std::uint8_t> bytes);
    PageSource(const std::uint8_t* data, std::size_t size);
    PageSource(PageSource&&) = default;
    PageSource& operator=(PageSource&&) = default;

    std::size_t PageCount() const { return size_ / format::kPageSize; }
    std::size_t FileSize() const { return size_; }
    bool Page(std::uint32_t n, ByteView& page) const {
        if (n >= PageCount()) return false;
        page = ByteView(data_ + static_cast<std::size_t>(n) * format::kPageSize, format::kPageSize);
        return true;
    }

    // The bytes of the row that pointer (page << 8 | row) names on a data page.
    // Deleted rows fail; overflow rows are not followed here.
    bool Row(std::uint32_t pointer, ByteView& row, std::uint16_t* flags = nullptr) const;

    // Row number index of a data page; false when the page is not a data page or the entry is out of shape.
    bool RowOnPage(ByteView page, std::size_t index, ByteView& row, std::uint16_t& flags) const;

private:
    std::vector<std::uint8_t> owned_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// What one read of the file may make of it: every decoded value and every
// byte of the text and binary it holds is charged here. A sound file decodes
// into a few times its size; one whose rows are tiny but many columns wide, or
// whose rows share long values, runs out of budget instead of out of memory.
class DecodeBudget {
public:
    // Times the file's size (plus a floor for small files) that one read may decode into.
    static constexpr std::size_t kTimesFileSize = 8;
    static constexpr std::size_t kFloor = 4u << 20;

    explicit DecodeBudget(const PageSource& source)
        : limit_(source.FileSize() * kTimesFileSize + kFloor), left_(limit_) {}

    bool Spend(std::size_t n) {
        if (n > left_) return false;
        left_ -= n;
        return true;
    }
    // The text a failed Spend reports.
    std::string Exhausted() const;

private:
    std::size_t limit_;
    std::size_t left_;
};

}  // namespace jet
