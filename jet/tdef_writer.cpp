#include "jet/tdef_writer.h"

#include <algorithm>

namespace jet {

using namespace format;

namespace {

void AppendName(ByteVec& out, const std::u16string& name) {
    AppendU16(out, static_cast<std::uint16_t>(name.size() * 2));
    for (char16_t c : name) AppendU16(out, c);
}

ByteVec ColumnEntry(const ColumnPlan& c, bool createdWithDatabase) {
    ByteVec e(kColumnEntrySize, 0);
    e[kColType] = static_cast<std::uint8_t>(c.type);
    PutU32(e, kColMagic, kTableMagic);
    PutU16(e, kColNumber, c.number);
    PutU16(e, kColVarIndex, c.fixed ? 0 : c.varIndex);
    // Access counts the columns again from 1 here, but leaves 0 in the tables
    // it makes with the database.
    PutU16(e, kColNumber2, createdWithDatabase ? 0 : static_cast<std::uint16_t>(c.number + 1));
    PutU16(e, kColMisc, kSortGeneral);  // Access records the sort order on every column
    e[kColFlags] = c.flags;
    e[kColMiscFlags] = c.compressed ? kColMiscCompressed : 0;
    PutU16(e, kColFixedOffset, c.fixed ? c.fixedOffset : 0);
    PutU16(e, kColLength, c.length);
    return e;
}

constexpr std::uint32_t kIndexMagic = 1923;
constexpr std::uint8_t kAscending = 0x01;

ByteVec RealIndexEntry(const TdefIndex& idx) {
    ByteVec e;
    AppendU32(e, kIndexMagic);
    for (std::size_t k = 0; k < kIndexColumnSlots; ++k) {
        AppendU16(e, k < idx.columns.size() ? idx.columns[k] : 0xFFFF);
        AppendU8(e, k < idx.columns.size() ? kAscending : 0);
    }
    AppendU32(e, idx.usedMap);
    AppendU32(e, idx.root);
    AppendU32(e, 0);
    AppendU8(e, idx.flags);
    e.resize(kRealIndexEntrySize, 0);
    return e;
}

ByteVec LogicalIndexEntry(const TdefIndex& idx, std::uint32_t number) {
    ByteVec e;
    AppendU32(e, kTableMagic);
    AppendU32(e, number);
    AppendU32(e, number);  // the real index behind it
    AppendU8(e, 0);        // no related table
    AppendU32(e, 0xFFFFFFFFu);
    AppendU32(e, 0);
    AppendU8(e, kCascadeNone);
    AppendU8(e, kCascadeNone);
    AppendU8(e, idx.primaryKey ? kIndexTypePrimaryKey : 0);
    e.resize(kLogicalIndexEntrySize, 0);
    return e;
}

}  // namespace

ByteVec BuildTableDefinition(const TdefInput& in) {
    const Table& t = *in.table;
    const TablePlan& plan = *in.plan;
    ByteVec d(kTdefBlockEnd, 0);
    d[0] = kPageTableDef;
    d[1] = 0x01;
    PutU32(d, kTdefMagic, kTableMagic);
    PutU32(d, kTdefRowCount, in.rowCount);
    d[kTdefAutoNumberFlag] = 0x01;
    d[kTdefType] = in.type;
    const auto columns = static_cast<std::uint16_t>(plan.columns.size());
    PutU16(d, kTdefMaxColumns, columns);
    PutU16(d, kTdefVarColumns, plan.varCount);
    PutU16(d, kTdefColumns, columns);
    const auto indexes = static_cast<std::uint32_t>(in.indexes.size());
    PutU32(d, kTdefLogicalIndexes, indexes);
    PutU32(d, kTdefRealIndexes, indexes);
    PutU32(d, kTdefUsedPages, in.usedMap);
    PutU32(d, kTdefFreePages, in.freeMap);
    for (std::uint32_t i = 0; i < indexes; ++i) {
        AppendU32(d, 0);
        AppendU32(d, in.rowCount);  // entries in the index
        AppendU32(d, 0);
    }
    for (const ColumnPlan& c : plan.columns) AppendBytes(d, ColumnEntry(c, in.createdWithDatabase));
    for (const Column& c : t.columns) AppendName(d, c.name);
    for (const auto& idx : in.indexes) AppendBytes(d, RealIndexEntry(idx));
    for (std::uint32_t i = 0; i < indexes; ++i) AppendBytes(d, LogicalIndexEntry(in.indexes[i], i));
    for (const auto& idx : in.indexes) AppendName(d, idx.name);
    for (const auto& [number, maps] : in.longValueMaps) {
        AppendU16(d, number);
        AppendU32(d, maps.first);
        AppendU32(d, maps.second);
    }
    AppendU16(d, 0xFFFF);
    PutU32(d, kTdefLength, static_cast<std::uint32_t>(d.size()));
    return d;
}

void StoreTableDefinition(const ByteVec& definition, std::uint32_t firstPage, PageFile& file) {
    constexpr std::size_t header = 8;
    std::uint32_t page = firstPage;
    std::size_t at = 0;
    while (true) {
        ByteVec& p = file.Page(page);
        const std::size_t take = std::min(definition.size() - at, kPageSize - (at == 0 ? 0 : header));
        if (at == 0) {
            std::copy(definition.begin(), definition.begin() + static_cast<std::ptrdiff_t>(take), p.begin());
        } else {
            std::copy(definition.begin() + static_cast<std::ptrdiff_t>(at),
                      definition.begin() + static_cast<std::ptrdiff_t>(at + take), p.begin() + header);
        }
        p[0] = kPageTableDef;
        p[1] = 0x01;
        const std::size_t used = (at == 0 ? 0 : header) + take;
        PutU16(p, 2, static_cast<std::uint16_t>(kPageSize - used >= 8 ? kPageSize - used - 8 : 0));
        at += take;
        if (at >= definition.size()) break;
        const std::uint32_t next = file.Allocate();
        PutU32(file.Page(page), kTdefNextPage, next);
        page = next;
    }
}

}  // namespace jet
