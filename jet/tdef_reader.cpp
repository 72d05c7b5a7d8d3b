#include "jet/tdef_reader.h"

#include <algorithm>
#include <numeric>
#include <set>

#include "jet/failure.h"
#include "jet/text_codec.h"

namespace jet {

using namespace format;

namespace {

// Jet's own limit on columns; the index limit is far more than Jet allows and
// only bounds the work a damaged count can cause.
constexpr std::size_t kMaxColumns = 255;
constexpr std::size_t kMaxIndexes = 1024;
constexpr std::size_t kMaxDefinitionPages = 256;

Where Definition(std::uint32_t page) { return Where{"", page}; }

// The definition bytes: the first page whole, then each continuation page after its 8-byte header.
bool Gather(const PageSource& source, std::uint32_t first, ByteVec& out, std::string* error) {
    std::set<std::uint32_t> seen;
    std::uint32_t page = first;
    while (page != 0) {
        ByteView p;
        if (!source.Page(page, p))
            return Fail(error, Definition(first),
                        "table definition: page " + std::to_string(page) + " is outside the file");
        if (p.data()[0] != kPageTableDef)
            return Fail(error, Definition(first),
                        "table definition: page " + std::to_string(page) + " is not a table definition");
        if (!seen.insert(page).second || seen.size() > kMaxDefinitionPages)
            return Fail(error, Definition(first), "table definition: continuation pages form a loop");
        const std::size_t skip = out.empty() ? 0 : 8;
        out.insert(out.end(), p.data() + skip, p.data() + kPageSize);
        std::uint32_t next = 0;
        p.U32(kTdefNextPage, next);
        page = next;
    }
    return true;
}

bool ReadName(ByteView d, std::size_t& at, std::u16string& name) {
    std::uint16_t length = 0;
    ByteView bytes;
    if (!d.U16(at, length) || !d.Slice(at + 2, length, bytes)) return false;
    name = DecodeText(bytes);
    at += 2 + length;
    return true;
}

// The counts the definition's fixed block gives, checked against Jet's limits.
struct Counts {
    std::uint16_t columns = 0;
    std::uint32_t logicalIndexes = 0, realIndexes = 0;
};

bool ReadFixedBlock(ByteView d, TableDef& def, Counts& counts, std::string* error) {
    std::uint16_t varCount = 0;
    std::uint8_t type = 0;
    d.U8(kTdefType, type);
    d.U32(kTdefRowCount, def.rowCount);
    d.U16(kTdefVarColumns, varCount);
    d.U16(kTdefColumns, counts.columns);
    d.U32(kTdefLogicalIndexes, counts.logicalIndexes);
    d.U32(kTdefRealIndexes, counts.realIndexes);
    d.U32(kTdefUsedPages, def.usedMap);
    def.type = type;
    def.varCount = varCount;
    if (counts.columns == 0 || counts.columns > kMaxColumns)
        return Fail(error, Definition(def.page), "table definition: " + std::to_string(counts.columns) +
                                                     " columns, where Jet allows 1 to " + std::to_string(kMaxColumns));
    if (counts.logicalIndexes > kMaxIndexes || counts.realIndexes > kMaxIndexes)
        return Fail(error, Definition(def.page), "table definition: implausible index count");
    return true;
}

// The column entries, then their names; into def in column-number order.
bool ReadColumns(ByteView d, std::size_t& at, std::size_t count, TableDef& def, std::string* error) {
    std::vector<std::pair<Column, ColumnPlan>> cols(count);
    for (auto& [column, plan] : cols) {
        ByteView e;
        if (!d.Slice(at, kColumnEntrySize, e))
            return Fail(error, Definition(def.page), "table definition: column entries run past the end");
        std::uint8_t t = 0, flags = 0, misc = 0;
        e.U8(kColType, t);
        e.U8(kColFlags, flags);
        e.U8(kColMiscFlags, misc);
        e.U16(kColNumber, plan.number);
        e.U16(kColVarIndex, plan.varIndex);
        e.U16(kColFixedOffset, plan.fixedOffset);
        e.U16(kColLength, plan.length);
        plan.type = static_cast<ColumnType>(t);
        plan.flags = flags;
        plan.fixed = (flags & kColFlagFixed) != 0;
        plan.compressed = (misc & kColMiscCompressed) != 0;
        column.type = plan.type;
        column.size = plan.length;
        at += kColumnEntrySize;
    }
    for (auto& col : cols)
        if (!ReadName(d, at, col.first.name))
            return Fail(error, Definition(def.page), "table definition: column names run past the end");
    std::stable_sort(cols.begin(), cols.end(), [](const auto& a, const auto& b) { return a.second.number < b.second.number; });
    for (auto& [column, plan] : cols) {
        def.columns.push_back(column);
        def.layout.push_back(plan);
    }
    return true;
}

// A real index: the B-tree itself, which logical indexes name.
struct RealIndex {
    std::vector<std::uint16_t> columns;
    std::vector<bool> ascending;
    std::uint32_t first = 0;
    std::uint8_t flags = 0;
};

bool ReadRealIndexes(ByteView d, std::size_t& at, std::uint32_t page, std::vector<RealIndex>& reals,
                     std::string* error) {
    for (auto& r : reals) {
        ByteView e;
        if (!d.Slice(at, kRealIndexEntrySize, e))
            return Fail(error, Definition(page), "table definition: index entries run past the end");
        for (std::size_t k = 0; k < kIndexColumnSlots; ++k) {
            std::uint16_t number = 0;
            std::uint8_t order = 0;
            e.U16(kRealIndexColumnMap + kRealIndexColumnSlotSize * k, number);
            e.U8(kRealIndexColumnMap + kRealIndexColumnSlotSize * k + 2, order);
            if (number == kRealIndexNoColumn) continue;
            r.columns.push_back(number);
            r.ascending.push_back((order & kRealIndexAscending) != 0);
        }
        e.U32(kRealIndexFirstPage, r.first);
        e.U8(kRealIndexFlags, r.flags);
        at += kRealIndexEntrySize;
    }
    return true;
}

// A logical index: the index as the catalog names it, over a real one.
struct LogicalIndex {
    std::uint32_t real = 0;
    std::uint8_t type = 0, cascadeUpdates = 0, cascadeDeletes = 0;
};

bool ReadLogicalIndexes(ByteView d, std::size_t& at, std::uint32_t page, std::vector<LogicalIndex>& logicals,
                        std::string* error) {
    for (auto& l : logicals) {
        ByteView e;
        if (!d.Slice(at, kLogicalIndexEntrySize, e))
            return Fail(error, Definition(page), "table definition: index entries run past the end");
        e.U32(kLogicalRealIndex, l.real);
        e.U8(kLogicalCascadeUpdates, l.cascadeUpdates);
        e.U8(kLogicalCascadeDeletes, l.cascadeDeletes);
        e.U8(kLogicalIndexType, l.type);
        at += kLogicalIndexEntrySize;
    }
    return true;
}

// The logical indexes' names, each index into def with its real index's
// columns (by name) and pages; one naming no real index is left out.
bool ReadIndexes(ByteView d, std::size_t& at, const std::vector<RealIndex>& reals,
                 const std::vector<LogicalIndex>& logicals, TableDef& def, std::string* error) {
    for (const LogicalIndex& l : logicals) {
        IndexDef idx;
        if (!ReadName(d, at, idx.index.name))
            return Fail(error, Definition(def.page), "table definition: index names run past the end");
        if (l.real >= reals.size()) continue;
        const RealIndex& r = reals[l.real];
        idx.columnNumbers = r.columns;
        idx.ascending = r.ascending;
        idx.firstPage = r.first;
        idx.flags = r.flags;
        idx.cascadeUpdates = l.cascadeUpdates;
        idx.cascadeDeletes = l.cascadeDeletes;
        idx.index.unique = (r.flags & kIndexUnique) != 0;
        idx.index.primaryKey = l.type == kIndexTypePrimaryKey;
        for (std::uint16_t number : r.columns)
            for (std::size_t c = 0; c < def.layout.size(); ++c)
                if (def.layout[c].number == number) idx.index.columns.push_back(def.columns[c].name);
        def.indexes.push_back(std::move(idx));
    }
    return true;
}

}  // namespace

// The definition's parts in the order they lie: the fixed block, one count
// block per real index, the column entries and names, the real and logical
// index entries, the index names.
bool ReadTableDef(const PageSource& source, std::uint32_t page, TableDef& def, std::string* error) {
    ByteVec bytes;
    if (!Gather(source, page, bytes, error)) return false;
    const ByteView d(bytes.data(), bytes.size());
    def = TableDef{};
    def.page = page;
    Counts counts;
    if (!ReadFixedBlock(d, def, counts, error)) return false;
    std::size_t at = kTdefBlockEnd + kRealIndexCountSize * counts.realIndexes;
    std::vector<RealIndex> reals(counts.realIndexes);
    std::vector<LogicalIndex> logicals(counts.logicalIndexes);
    return ReadColumns(d, at, counts.columns, def, error) && ReadRealIndexes(d, at, page, reals, error) &&
           ReadLogicalIndexes(d, at, page, logicals, error) && ReadIndexes(d, at, reals, logicals, def, error);
}

}  // namespace jet
