#include "jet/tdef_writer.h"

#include <algorithm>

namespace jet {

using namespace format;

namespace {

void AppendName(ByteVec& out, const std::u16string& name) {
    AppendU16(out, static_cast<std::uint16_t>(name.size() * 2));
    for (char16_t c : name) AppendU16(out, c);
}

ByteVec ColumnEntry(const ColumnPlan& c) {
    ByteVec e(kColumnEntrySize, 0);
    e[kColType] = static_cast<std::uint8_t>(c.type);
    PutU32(e, kColMagic, kTableMagic);
    PutU16(e, kColNumber, c.number);
    PutU16(e, kColVarIndex, c.fixed ? 0 : c.varIndex);
    PutU16(e, kColNumber2, c.number);
    if (IsTextual(c.type)) PutU16(e, kColMisc, kSortGeneral);
    e[kColFlags] = static_cast<std::uint8_t>(kColFlagUpdatable | (c.fixed ? kColFlagFixed : 0));
    e[kColMiscFlags] = c.compressed ? kColMiscCompressed : 0;
    PutU16(e, kColFixedOffset, c.fixed ? c.fixedOffset : 0);
    PutU16(e, kColLength, c.length);
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
    d[kTdefType] = in.system ? kTableSystem : kTableUser;
    const auto columns = static_cast<std::uint16_t>(plan.columns.size());
    PutU16(d, kTdefMaxColumns, columns);
    PutU16(d, kTdefVarColumns, plan.varCount);
    PutU16(d, kTdefColumns, columns);
    PutU32(d, kTdefLogicalIndexes, 0);
    PutU32(d, kTdefRealIndexes, 0);
    PutU32(d, kTdefUsedPages, in.usedMap);
    PutU32(d, kTdefFreePages, in.freeMap);
    for (const ColumnPlan& c : plan.columns) AppendBytes(d, ColumnEntry(c));
    for (const Column& c : t.columns) AppendName(d, c.name);
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
