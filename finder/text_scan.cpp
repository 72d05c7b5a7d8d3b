#include "finder/text_scan.h"

#include <algorithm>

#include "jet/failure.h"
#include "jet/format.h"
#include "jet/text_codec.h"
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

// A row that moved to another page: jet follows it, and rows keeps its texts.
bool MovedRow(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
              std::vector<std::vector<jet::Value>>& rows, TextRow& out, std::string* error) {
    if (!file.ReadAt(table, {out.pointer}, rows, error)) return false;
    for (std::size_t i = 0; i < columns.size(); ++i) out.texts[i] = rows[0][columns[i]].text;
    return true;
}

// A data page of the table (a page of another table, or of no table, is not).
bool OwnDataPage(const jet::StoredTable& table, ByteView page) {
    std::uint32_t owner = 0;
    return page.data()[0] == kPageData && page.U32(kDataOwner, owner) && owner == table.def.page;
}

// The page of the row a pointer names, when that is a live row of the table.
bool PageOfLiveRow(const jet::DatabaseFile& file, const jet::StoredTable& table, std::uint32_t pointer, ByteView& page) {
    ByteView row;
    std::uint16_t flags = 0;
    return file.Pages().Page(pointer >> 8, page) && OwnDataPage(table, page) &&
           file.Pages().RowOnPage(page, pointer & 0xFF, row, flags) && (flags & kRowDeleted) == 0;
}

// One walk over the table's data pages: what it has read and where it is.
class Walk {
public:
    Walk(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
         const std::function<bool(const TextRow&)>& visit)
        : file_(file), table_(table), columns_(columns), visit_(visit),
          where_{jet::Utf16ToUtf8(table.name), table.def.page}, room_(columns.size() * kPageSize) {
        out_.texts.resize(columns.size());
    }

    const jet::Where& Where() const { return where_; }
    std::size_t Live() const { return live_; }

    // The rows of page p, whose bytes are page; stop when a visit asked to.
    bool Page(std::uint32_t p, ByteView page, bool& stop, std::string* error) {
        if (!OwnPage(page)) return true;
        std::uint16_t rows = 0;
        page.U16(kDataRowCount, rows);
        for (std::size_t r = 0; r < rows && !stop; ++r) {
            bool live = false;
            if (!Row(p, r, page, live, error)) return false;
            if (live) stop = !visit_(out_);
        }
        return true;
    }

    // The row a pointer names; false, saying where, when it is not a live row of the table.
    bool At(std::uint32_t pointer, std::string* error) {
        const std::uint32_t p = pointer >> 8;
        ByteView page;
        bool live = false;
        if (!PageOfLiveRow(file_, table_, pointer, page))
            return jet::Fail(error, where_.Page(p), "row " + std::to_string(pointer & 0xFF) + " is no live row of the table");
        if (!Row(p, pointer & 0xFF, page, live, error)) return false;
        visit_(out_);  // every row asked for is read
        return true;
    }

private:
    bool OwnPage(ByteView page) const { return OwnDataPage(table_, page); }
    // Row r of page p into out_, live when it is not deleted.
    bool Row(std::uint32_t p, std::size_t r, ByteView page, bool& live, std::string* error) {
        ByteView row;
        std::uint16_t flags = 0;
        out_.pointer = (p << 8) | static_cast<std::uint32_t>(r);
        if (!file_.Pages().RowOnPage(page, r, row, flags)) return OutOfShape(p, r, error);
        live = (flags & kRowDeleted) == 0;
        if (!live) return true;
        ++live_;
        if (flags & kRowOverflow) return MovedRow(file_, table_, columns_, moved_, out_, error);
        return Texts(row) || OutOfShape(p, r, error);
    }
    bool Texts(ByteView row) {
        if (!layout_.Read(row)) return false;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            ByteView bytes;
            if (!layout_.Text(table_.def.layout[columns_[i]], bytes)) return false;
            // A text has no more characters than bytes, and no row is longer than a page.
            char16_t* room = room_.data() + i * kPageSize;
            out_.texts[i] = std::u16string_view(room, jet::DecodeTextInto(bytes, room));
        }
        return true;
    }
    bool OutOfShape(std::uint32_t p, std::size_t r, std::string* error) const {
        return jet::Fail(error, where_.Page(p), "row " + std::to_string(r) + " out of shape");
    }

    const jet::DatabaseFile& file_;
    const jet::StoredTable& table_;
    const std::vector<std::size_t>& columns_;
    const std::function<bool(const TextRow&)>& visit_;
    jet::Where where_;
    TextRow out_;
    std::vector<char16_t> room_;
    std::vector<std::vector<jet::Value>> moved_;
    RowLayout layout_;
    std::size_t live_ = 0;
};

// Pages taken a run of consecutive ones at a time, into room this walk reuses.
constexpr std::size_t kPagesPerRead = 64;

}  // namespace

bool LiveRowsAt(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::uint32_t>& pointers) {
    ByteView page;
    return std::all_of(pointers.begin(), pointers.end(),
                       [&](std::uint32_t pointer) { return PageOfLiveRow(file, table, pointer, page); });
}

bool ReadTextsAt(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
                 const std::vector<std::uint32_t>& pointers, const std::function<bool(const TextRow&)>& visit,
                 std::string* error) {
    Walk walk(file, table, columns, visit);
    for (std::uint32_t pointer : pointers)
        if (!walk.At(pointer, error)) return false;
    return true;
}

bool ScanTexts(const jet::DatabaseFile& file, const jet::StoredTable& table, const std::vector<std::size_t>& columns,
               const std::function<bool(const TextRow&)>& visit, const PageReader& read, std::string* error) {
    const jet::PageSource& source = file.Pages();
    Walk walk(file, table, columns, visit);
    ByteView mapRow;
    std::vector<std::uint32_t> pages;
    if (!source.Row(table.def.usedMap, mapRow) || !jet::ReadUsageMap(mapRow, source, pages))
        return jet::Fail(error, walk.Where(), "usage map damaged");
    std::vector<std::uint8_t> room(read ? kPagesPerRead * kPageSize : 0);
    bool stop = false;
    for (std::size_t at = 0; at < pages.size() && !stop;) {
        std::size_t run = 1;
        while (read && run < kPagesPerRead && at + run < pages.size() && pages[at + run] == pages[at] + run) ++run;
        if (read && !read(pages[at], run, room.data()))
            return jet::Fail(error, walk.Where().Page(pages[at]), "the file could not be read");
        for (std::size_t k = 0; k < run && !stop; ++k) {
            ByteView page;
            if (read) page = ByteView(room.data() + k * kPageSize, kPageSize);
            else if (!source.Page(pages[at + k], page)) continue;
            if (!walk.Page(pages[at + k], page, stop, error)) return false;
        }
        at += run;
    }
    // jet's own check, made here in the same walk rather than in one of its own
    // first: a page lost to damage must not make a shorter table.
    if (!stop && walk.Live() != table.def.rowCount)
        return jet::Fail(error, walk.Where(),
                         "the file is damaged: the table definition counts " + std::to_string(table.def.rowCount) +
                             " rows, its data pages hold " + std::to_string(walk.Live()));
    return true;
}

}  // namespace finder
