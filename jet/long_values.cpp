#include "jet/long_values.h"

#include <algorithm>

namespace jet {

using namespace format;

namespace {

ByteVec Field(std::size_t length, std::uint8_t kind, std::uint32_t pointer) {
    ByteVec f;
    AppendU32(f, static_cast<std::uint32_t>(length) | (static_cast<std::uint32_t>(kind) << 24));
    AppendU32(f, pointer);
    AppendU32(f, 0);
    return f;
}

}  // namespace

ByteVec LongValueStore::Place(const ByteVec& data, std::vector<std::uint32_t>& pages) {
    if (data.size() <= kInlineLimit) {
        ByteVec f = Field(data.size(), kLongValueInline, 0);
        AppendBytes(f, data);
        return f;
    }
    if (data.size() <= kMaxLongValueRow) return Field(data.size(), kLongValueSingle, PlaceSingle(data, pages));
    return Field(data.size(), kLongValueChain, PlaceChain(data, pages));
}

std::uint32_t LongValueStore::PlaceSingle(const ByteVec& data, std::vector<std::uint32_t>& pages) {
    std::uint8_t row = 0;
    if (!pages.empty() && AddRow(file_.Page(pages.back()), data, row)) return RowPointer(pages.back(), row);
    const std::uint32_t page = file_.Allocate();
    InitDataPage(file_.Page(page), 0, true);
    pages.push_back(page);
    AddRow(file_.Page(page), data, row);
    return RowPointer(page, row);
}

// Each link is a row of its own page: the pointer to the next link, then a piece of the data.
std::uint32_t LongValueStore::PlaceChain(const ByteVec& data, std::vector<std::uint32_t>& pages) {
    constexpr std::size_t piece = kMaxLongValueRow - 4;
    const std::size_t links = (data.size() + piece - 1) / piece;
    std::vector<std::uint32_t> linkPages;
    for (std::size_t i = 0; i < links; ++i) {
        linkPages.push_back(file_.Allocate());
        InitDataPage(file_.Page(linkPages.back()), 0, true);
        pages.push_back(linkPages.back());
    }
    for (std::size_t i = 0; i < links; ++i) {
        ByteVec row;
        AppendU32(row, i + 1 < links ? RowPointer(linkPages[i + 1], 0) : 0);
        const std::size_t from = i * piece;
        const std::size_t to = std::min(data.size(), from + piece);
        row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                   data.begin() + static_cast<std::ptrdiff_t>(to));
        std::uint8_t rowNumber = 0;
        AddRow(file_.Page(linkPages[i]), row, rowNumber);
    }
    return RowPointer(linkPages.front(), 0);
}

}  // namespace jet
