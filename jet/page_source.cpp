#include "jet/page_source.h"

namespace jet {

using namespace format;

PageSource::PageSource(std::vector<std::uint8_t> bytes)
    : owned_(std::move(bytes)), data_(owned_.data()), size_(owned_.size()) {}

PageSource::PageSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

bool PageSource::RowOnPage(ByteView page, std::size_t index, ByteView& row, std::uint16_t& flags) const {
    std::uint16_t count = 0;
    if (page.data()[0] != kPageData || !page.U16(kDataRowCount, count) || index >= count) return false;
    const std::size_t tableEnd = kDataRowTable + 2 * static_cast<std::size_t>(count);
    std::uint16_t entry = 0;
    if (!page.U16(kDataRowTable + 2 * index, entry)) return false;
    flags = entry & static_cast<std::uint16_t>(~kRowOffsetMask);
    const std::size_t start = entry & kRowOffsetMask;
    std::size_t end = kPageSize;
    if (index > 0) {
        std::uint16_t previous = 0;
        if (!page.U16(kDataRowTable + 2 * (index - 1), previous)) return false;
        end = previous & kRowOffsetMask;
    }
    if (start < tableEnd || start > end || end > kPageSize) return false;
    return page.Slice(start, end - start, row);
}

bool PageSource::Row(std::uint32_t pointer, ByteView& row, std::uint16_t* flags) const {
    ByteView page;
    std::uint16_t f = 0;
    if (!Page(pointer >> 8, page) || !RowOnPage(page, pointer & 0xFF, row, f)) return false;
    if (flags) *flags = f;
    return (f & kRowDeleted) == 0;
}

std::string DecodeBudget::Exhausted() const {
    return "the file decodes into more than " + std::to_string(kTimesFileSize) +
           " times its size plus 4 MiB (" + std::to_string(limit_ >> 20) +
           " MiB), the most one read may hold: its rows share storage or are far wider than their bytes";
}

}  // namespace jet
