#include "finder/text_scan.h"

#include "jet/failure.h"
#include "jet/format.h"
#include "jet/usage_map.h"
#include "jet/utf.h"

namespace finder {
namespace {

using jet::ByteView;
using namespace jet::format;

// Where a row keeps its variable-length columns: the offset table that ends
// just before the null mask, counted from the back.
struct RowLayout {
    ByteView row;
    std::size_t maskAt = 0, varTable = 0;
    std::uint16_t columns = 0, varCount = 0, end = 0;

    bool Read(ByteView r) {
        row = r;
        if (!row.U16(0, columns)) return false;
        const std::size_t maskSize = (static_cast<std::size_t>(columns) + 7) / 8;
        if (row.size() < 2 + maskSize) return false;
        maskAt = row.size() - maskSize;
        if (maskAt < 4 || !row.U16(maskAt - 2, varCount) || maskAt < 4 + 2 * static_cast<std::size_t>(varCount))
            return false;
        varTable = maskAt - 4;
        return row.U16(maskAt - 4 - 2 * static_cast<std::size_t>(varCount), end);
    }
    bool Present(std::uint16_t number) const {
        return number < columns && (row.data()[maskAt + number / 8] & (1u << (number % 8))) != 0;
    }
    // The column's bytes; empty when the row has no value for it.
    bool Text(const jet::ColumnPlan& c, ByteView& bytes) const {
        bytes = ByteView();
        if (!Present(c.number) || c.varIndex >= varCount) return true;
        std::uint16_t start = 0, stop = end;
        row.U16(varTable - 2 * static_cast<std::size_t>(c.varIndex), start);
        if (c.varIndex + 1u < varCount) row.U16(varTable - 2 * (static_cast<std::size_t>(c.varIndex) + 1), stop);
        return start <= stop && row.Slice(start, stop - start, bytes);
    }
};

// jet::DecodeText into room that every row reuses: a text has no more
// characters than bytes, and no row is longer than a page.
std::u16string_view DecodeInto(ByteView bytes, char16_t* to) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t length = 0;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        bool compressed = true;
        for (std::size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                to[length++] = p[i++];
            } else {
                if (i + 1 >= n) break;
                to[length++] = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
                i += 2;
            }
        }
    } else {
        for (std::size_t i = 0; i + 1 < n; i += 2) to[length++] = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
    }
    return std::u16string_view(to, length);
}

bool OwnedDataPage(const jet::PageSource& source, std::uint32_t p, std::uint32_t owner, ByteView& page) {
    std::uint32_t pageOwner = 0;
    return source.Page(p, page) && page.data()[0] == kPageData && page.U32(kDataOwner, pageOwner) &&
           pageOwner == owner;
}

// A row that moved to another page: jet follows it, and rows keeps its texts.
bool MovedRow(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
              std::vector<std::vector<jet::Value>>& rows, TextRow& out, std::string* error) {
    if (!file.ReadAt(table, {out.pointer}, rows, error)) return false;
    for (std::size_t i = 0; i < columns.size(); ++i) out.texts[i] = rows[0][columns[i]].text;
    return true;
}

}  // namespace

bool ScanTexts(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
               const std::function<bool(const TextRow&)>& visit, std::string* error) {
    // jet walks the pages once first and checks them against the stored count.
    std::size_t count = 0;
    if (!file.CountRows(table, count, error)) return false;
    const jet::PageSource& source = file.Pages();
    const jet::Where where{jet::Utf16ToUtf8(table.name), table.def.page};
    ByteView mapRow;
    std::vector<std::uint32_t> pages;
    if (!source.Row(table.def.usedMap, mapRow) || !jet::ReadUsageMap(mapRow, source, pages))
        return jet::Fail(error, where, "usage map damaged");
    TextRow out;
    out.texts.resize(columns.size());
    std::vector<char16_t> room(columns.size() * kPageSize);
    std::vector<std::vector<jet::Value>> moved;
    RowLayout layout;
    for (std::uint32_t p : pages) {
        ByteView page;
        if (!OwnedDataPage(source, p, table.def.page, page)) continue;
        std::uint16_t rows = 0;
        page.U16(kDataRowCount, rows);
        for (std::size_t r = 0; r < rows; ++r) {
            ByteView row;
            std::uint16_t flags = 0;
            out.pointer = (p << 8) | static_cast<std::uint32_t>(r);
            if (!source.RowOnPage(page, r, row, flags))
                return jet::Fail(error, where.Page(p), "row " + std::to_string(r) + " out of shape");
            if (flags & kRowDeleted) continue;
            if (flags & kRowOverflow) {
                if (!MovedRow(file, table, columns, moved, out, error)) return false;
            } else {
                if (!layout.Read(row))
                    return jet::Fail(error, where.Page(p), "row " + std::to_string(r) + " out of shape");
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    ByteView bytes;
                    if (!layout.Text(table.def.layout[columns[i]], bytes))
                        return jet::Fail(error, where.Page(p), "row " + std::to_string(r) + ": a text runs past the row");
                    out.texts[i] = DecodeInto(bytes, room.data() + i * kPageSize);
                }
            }
            if (!visit(out)) return true;
        }
    }
    return true;
}

}  // namespace finder
