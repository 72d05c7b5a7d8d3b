#include "jet/table_reader.h"

#include <cstring>
#include <set>

#include "jet/text_codec.h"
#include "jet/usage_map.h"

namespace jet {

using namespace format;

namespace {

// A chain of long-value rows longer than the file has pages must be a loop.
class RowDecoder {
public:
    RowDecoder(const PageSource& source, const TableDef& def) : source_(source), def_(def) {}

    bool Decode(ByteView row, std::vector<Value>& values, std::string& why) const;

private:
    bool FixedValue(const ColumnPlan& c, ByteView row, Value& v) const;
    bool VariableValue(const ColumnPlan& c, ByteView bytes, Value& v, std::string& why) const;
    bool LongValue(ByteView field, ByteVec& data, std::string& why) const;

    const PageSource& source_;
    const TableDef& def_;
};

// A number or date from the start of bytes; false when bytes are too short.
bool ScalarValue(ColumnType type, ByteView bytes, Value& v) {
    std::uint8_t b = 0;
    std::uint16_t s = 0;
    std::uint32_t l = 0;
    std::uint64_t q = 0;
    switch (type) {
        case ColumnType::Byte:
            if (!bytes.U8(0, b)) return false;
            v = Value::FromInteger(b);
            return true;
        case ColumnType::Integer:
            if (!bytes.U16(0, s)) return false;
            v = Value::FromInteger(static_cast<std::int16_t>(s));
            return true;
        case ColumnType::LongInteger:
            if (!bytes.U32(0, l)) return false;
            v = Value::FromInteger(static_cast<std::int32_t>(l));
            return true;
        case ColumnType::Single: {
            if (!bytes.U32(0, l)) return false;
            float f;
            std::memcpy(&f, &l, sizeof f);
            v = Value::FromDouble(f);
            return true;
        }
        case ColumnType::Double:
        case ColumnType::DateTime:
            if (!bytes.U64(0, q)) return false;
            v = Value::FromDouble(BitsDouble(q));
            return true;
        case ColumnType::Currency:
            if (!bytes.U64(0, q)) return false;
            v = Value::FromDouble(static_cast<double>(static_cast<std::int64_t>(q)) / 10000.0);
            return true;
        case ColumnType::Text:  // a fixed-length text
            v = Value::FromText(DecodeText(bytes));
            return true;
        default:
            // Types this reader does not interpret (GUID, decimal, ...) come back as bytes.
            v.kind = Value::Kind::Binary;
            v.binary = bytes.Copy();
            return true;
    }
}

bool RowDecoder::FixedValue(const ColumnPlan& c, ByteView row, Value& v) const {
    const std::size_t at = 2 + static_cast<std::size_t>(c.fixedOffset);
    const std::size_t size = FixedSize(c.type) ? FixedSize(c.type) : c.length;
    ByteView bytes;
    return row.Slice(at, size, bytes) && ScalarValue(c.type, bytes, v);
}

bool RowDecoder::LongValue(ByteView field, ByteVec& data, std::string& why) const {
    std::uint32_t header = 0, pointer = 0;
    if (!field.U32(0, header) || !field.U32(4, pointer) || field.size() < kLongValueFieldSize) {
        why = "long value field too short";
        return false;
    }
    const std::size_t length = header & 0x3FFFFFFF;
    const std::uint8_t kind = static_cast<std::uint8_t>(header >> 24) & 0xC0;
    if (!source_.Spend(length)) { why = "long values share storage beyond what the file holds"; return false; }
    ByteView part;
    if (kind == kLongValueInline) {
        if (!field.Slice(kLongValueFieldSize, length, part)) { why = "inline long value runs past its field"; return false; }
        data = part.Copy();
        return true;
    }
    if (kind == kLongValueSingle) {
        if (!source_.Row(pointer, part) || !part.Slice(0, length, part)) { why = "long value row missing or short"; return false; }
        data = part.Copy();
        return true;
    }
    if (length > source_.PageCount() * kPageSize) { why = "long value longer than the file"; return false; }
    data.clear();
    std::set<std::uint32_t> seen;
    while (data.size() < length) {
        if (pointer == 0 || !seen.insert(pointer).second) { why = "long value chain broken"; return false; }
        std::uint32_t next = 0;
        if (!source_.Row(pointer, part) || !part.U32(0, next)) { why = "long value chain row missing"; return false; }
        const std::size_t take = std::min(length - data.size(), part.size() - 4);
        data.insert(data.end(), part.data() + 4, part.data() + 4 + take);
        pointer = next;
    }
    return true;
}

bool RowDecoder::VariableValue(const ColumnPlan& c, ByteView bytes, Value& v, std::string& why) const {
    ByteVec data;
    switch (c.type) {
        case ColumnType::Text:
            v = Value::FromText(DecodeText(bytes));
            return true;
        case ColumnType::Memo:
            if (!LongValue(bytes, data, why)) return false;
            v = Value::FromText(DecodeText(ByteView(data.data(), data.size())));
            return true;
        case ColumnType::OleObject:
            if (!LongValue(bytes, data, why)) return false;
            v.kind = Value::Kind::Binary;
            v.binary = std::move(data);
            return true;
        case ColumnType::Binary:
            v.kind = Value::Kind::Binary;
            v.binary = bytes.Copy();
            return true;
        default:
            // Access also keeps some numbers among the variable-length columns.
            if (!ScalarValue(c.type, bytes, v)) { why = "variable column shorter than its type"; return false; }
            return true;
    }
}

bool RowDecoder::Decode(ByteView row, std::vector<Value>& values, std::string& why) const {
    std::uint16_t rowColumns = 0;
    if (!row.U16(0, rowColumns)) { why = "row too short"; return false; }
    if (!source_.Spend(row.size())) { why = "rows share storage beyond what the file holds"; return false; }
    const std::size_t maskSize = (static_cast<std::size_t>(rowColumns) + 7) / 8;
    if (row.size() < 2 + maskSize) { why = "row too short for its null mask"; return false; }
    const std::size_t maskAt = row.size() - maskSize;
    const auto present = [&](std::uint16_t n) {
        return n < rowColumns && (row.data()[maskAt + n / 8] & (1u << (n % 8))) != 0;
    };
    std::uint16_t varLength = 0;
    std::size_t varTable = 0;
    std::uint16_t eod = 0;
    if (def_.varCount > 0) {
        if (maskAt < 4 || !row.U16(maskAt - 2, varLength) || maskAt < 4 + 2 * static_cast<std::size_t>(varLength)) {
            why = "row too short for its offset table";
            return false;
        }
        varTable = maskAt - 4;  // entry i is at varTable - 2 * i
        row.U16(maskAt - 4 - 2 * static_cast<std::size_t>(varLength), eod);
    }
    values.assign(def_.layout.size(), Value{});
    for (std::size_t i = 0; i < def_.layout.size(); ++i) {
        const ColumnPlan& c = def_.layout[i];
        if (c.type == ColumnType::Boolean) {
            values[i] = Value::FromInteger(present(c.number) ? 1 : 0);
            continue;
        }
        if (!present(c.number)) continue;
        if (c.fixed) {
            if (!FixedValue(c, row, values[i])) { why = "fixed column runs past the row"; return false; }
            continue;
        }
        if (c.varIndex >= varLength) continue;
        std::uint16_t start = 0, end = eod;
        row.U16(varTable - 2 * static_cast<std::size_t>(c.varIndex), start);
        if (c.varIndex + 1u < varLength) row.U16(varTable - 2 * (static_cast<std::size_t>(c.varIndex) + 1), end);
        ByteView bytes;
        if (start > end || !row.Slice(start, end - start, bytes)) { why = "variable column runs past the row"; return false; }
        if (!VariableValue(c, bytes, values[i], why)) return false;
    }
    return true;
}

bool Fail(std::string* error, const TableDef& def, const std::string& why) {
    if (error) *error = "table at page " + std::to_string(def.page) + ": " + why;
    return false;
}

}  // namespace

bool ReadTableRows(const PageSource& source, const TableDef& def, Table& table, std::string* error,
                   std::vector<std::uint32_t>* rowPointers) {
    if (rowPointers) rowPointers->clear();
    table.columns = def.columns;
    table.indexes.clear();
    for (const auto& idx : def.indexes) table.indexes.push_back(idx.index);
    table.rows.clear();
    ByteView mapRow;
    std::vector<std::uint32_t> pages;
    if (!source.Row(def.usedMap, mapRow)) return Fail(error, def, "usage map missing");
    if (!ReadUsageMap(mapRow, source.PageCount(), source.Pages(), pages)) return Fail(error, def, "usage map damaged");
    const RowDecoder decoder(source, def);
    std::string why;
    for (std::uint32_t p : pages) {
        ByteView page;
        std::uint32_t owner = 0;
        source.Page(p, page);
        // Pages that are not this table's data pages are left alone: maps may lag behind reuse.
        if (page.data()[0] != kPageData || !page.U32(kDataOwner, owner) || owner != def.page) continue;
        std::uint16_t count = 0;
        page.U16(kDataRowCount, count);
        for (std::size_t r = 0; r < count; ++r) {
            ByteView row;
            std::uint16_t flags = 0;
            if (!source.RowOnPage(page, r, row, flags))
                return Fail(error, def, "row " + std::to_string(r) + " of page " + std::to_string(p) + " out of shape");
            if (flags & kRowDeleted) continue;
            if (flags & kRowOverflow) {
                // The row moved to another page; Jet marks it there as deleted so
                // that scans skip it, and only this pointer reaches it.
                std::uint32_t pointer = 0;
                ByteView target;
                std::uint16_t targetFlags = 0;
                if (!row.U32(0, pointer) || !source.Page(pointer >> 8, target) ||
                    !source.RowOnPage(target, pointer & 0xFF, row, targetFlags) || (targetFlags & kRowOverflow))
                    return Fail(error, def, "overflow row of page " + std::to_string(p) + " missing");
            }
            std::vector<Value> values;
            if (!decoder.Decode(row, values, why))
                return Fail(error, def, why + " (row " + std::to_string(r) + " of page " + std::to_string(p) + ")");
            table.rows.push_back(std::move(values));
            if (rowPointers) rowPointers->push_back((p << 8) | static_cast<std::uint32_t>(r));
        }
    }
    return true;
}

}  // namespace jet
