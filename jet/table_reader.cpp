#include "jet/table_reader.h"

#include <cstring>
#include <set>

#include "jet/failure.h"

#include "jet/text_codec.h"
#include "jet/usage_map.h"

namespace jet {

using namespace format;

namespace {

// Decodes one row; every value it makes is charged to the budget.
class RowDecoder {
public:
    RowDecoder(const PageSource& source, const TableDef& def, DecodeBudget& budget)
        : source_(source), def_(def), budget_(budget) {}

    bool Decode(ByteView row, std::vector<Value>& values, std::string& why) const;

private:
    bool FixedValue(const ColumnPlan& c, ByteView row, Value& v) const;
    bool VariableValue(const ColumnPlan& c, ByteView bytes, Value& v, std::string& why) const;
    bool LongValue(ByteView field, ByteVec& data, std::string& why) const;

    const PageSource& source_;
    const TableDef& def_;
    DecodeBudget& budget_;
};

std::size_t HeldBytes(const Value& v) {
    return sizeof(Value) + v.text.size() * sizeof(char16_t) + v.binary.size();
}

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
    if (!budget_.Spend(length)) { why = budget_.Exhausted(); return false; }
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
    // The empty values first: a short row of a wide table is what amplifies.
    if (!budget_.Spend(def_.layout.size() * sizeof(Value))) { why = budget_.Exhausted(); return false; }
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
        if (!budget_.Spend(HeldBytes(values[i]) - sizeof(Value))) { why = budget_.Exhausted(); return false; }
    }
    return true;
}


// The row that an entry of the row table leads to: itself, or where it moved.
bool Follow(const PageSource& source, ByteView row, std::uint16_t flags, ByteView& out) {
    if (!(flags & kRowOverflow)) {
        out = row;
        return true;
    }
    // The row moved to another page; Jet marks it there as deleted so that
    // scans skip it, and only this pointer reaches it.
    std::uint32_t pointer = 0;
    ByteView target;
    std::uint16_t targetFlags = 0;
    return row.U32(0, pointer) && source.Page(pointer >> 8, target) &&
           source.RowOnPage(target, pointer & 0xFF, out, targetFlags) && !(targetFlags & kRowOverflow);
}

std::string RowName(std::size_t r) { return "row " + std::to_string(r); }

}  // namespace

TableRows::TableRows(const PageSource& source, const TableDef& def, const std::string& name)
    : source_(source), def_(def), where_{name, def.page} {}

bool TableRows::Failed(std::string* error, const Where& where, const std::string& why) const {
    failedAt_ = where;
    return Fail(error, where, why);
}

bool TableRows::OwnedDataPage(std::uint32_t p, ByteView& page) const {
    std::uint32_t owner = 0;
    return source_.Page(p, page) && page.data()[0] == kPageData && page.U32(kDataOwner, owner) && owner == def_.page;
}

bool TableRows::Locate(std::string* error) {
    ByteView mapRow;
    if (!source_.Row(def_.usedMap, mapRow)) return Failed(error, where_, "usage map missing");
    std::vector<std::uint32_t> named;
    if (!ReadUsageMap(mapRow, source_, named)) return Failed(error, where_.Page(def_.usedMap >> 8), "usage map damaged");
    // Pages that are not this table's data pages are left out: maps may lag
    // behind reuse. Rows lost with a page are caught by the count below.
    pages_.clear();
    std::size_t live = 0;
    for (std::uint32_t p : named) {
        ByteView page;
        if (!OwnedDataPage(p, page)) continue;
        pages_.push_back(p);
        std::uint16_t count = 0;
        page.U16(kDataRowCount, count);
        for (std::size_t r = 0; r < count; ++r) {
            ByteView row, target;
            std::uint16_t flags = 0;
            if (!source_.RowOnPage(page, r, row, flags))
                return Failed(error, where_.Page(p), RowName(r) + " out of shape");
            if (flags & kRowDeleted) continue;
            if (!Follow(source_, row, flags, target))
                return Failed(error, where_.Page(p), "the overflow target of " + RowName(r) + " is missing");
            ++live;
        }
    }
    if (live != def_.rowCount)
        return Failed(error, where_,
                    "the file is damaged: the table definition counts " + std::to_string(def_.rowCount) +
                        " rows, its data pages hold " + std::to_string(live));
    return true;
}

bool TableRows::ForEach(DecodeBudget* budget, const std::function<bool(std::uint32_t, std::vector<Value>&)>& visit,
                        std::string* error) const {
    std::vector<Value> values;
    std::string why;
    for (std::uint32_t p : pages_) {
        ByteView page;
        source_.Page(p, page);
        std::uint16_t count = 0;
        page.U16(kDataRowCount, count);
        for (std::size_t r = 0; r < count; ++r) {
            ByteView row, target;
            std::uint16_t flags = 0;
            source_.RowOnPage(page, r, row, flags);  // checked by Locate
            if (flags & kRowDeleted) continue;
            Follow(source_, row, flags, target);
            DecodeBudget own(source_);
            if (!RowDecoder(source_, def_, budget ? *budget : own).Decode(target, values, why))
                return Failed(error, where_.Page(p), why + " (" + RowName(r) + ")");
            if (!visit((p << 8) | static_cast<std::uint32_t>(r), values)) return true;
        }
    }
    return true;
}

bool TableRows::ReadAll(std::vector<std::vector<Value>>& rows, DecodeBudget& budget, std::string* error,
                        std::vector<std::uint32_t>* pointers) const {
    rows.clear();
    if (pointers) pointers->clear();
    rows.reserve(def_.rowCount);
    return ForEach(&budget,
                   [&](std::uint32_t pointer, std::vector<Value>& values) {
                       rows.push_back(std::move(values));
                       if (pointers) pointers->push_back(pointer);
                       return true;
                   },
                   error);
}

bool TableRows::ReadAt(std::uint32_t pointer, std::vector<Value>& values, DecodeBudget& budget,
                       std::string* error) const {
    ByteView page, row, target;
    std::uint16_t flags = 0;
    const std::uint32_t p = pointer >> 8;
    if (!OwnedDataPage(p, page) || !source_.RowOnPage(page, pointer & 0xFF, row, flags) || (flags & kRowDeleted) ||
        !Follow(source_, row, flags, target))
        return Failed(error, where_.Page(p), "the file is damaged: an index names " + RowName(pointer & 0xFF) +
                                               ", which is not a row of the table");
    std::string why;
    if (!RowDecoder(source_, def_, budget).Decode(target, values, why))
        return Failed(error, where_.Page(p), why + " (" + RowName(pointer & 0xFF) + ")");
    return true;
}

}  // namespace jet
