#include "jet/row_encoder.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "jet/failure.h"
#include "jet/text_codec.h"
#include "jet/utf.h"

namespace jet {

using namespace format;

namespace {

bool AsDouble(const Value& v, double& d) {
    if (v.kind == Value::Kind::Double) { d = v.real; return true; }
    if (v.kind == Value::Kind::Integer) { d = static_cast<double>(v.integer); return true; }
    return false;
}

bool InRange(const Value& v, std::int64_t lo, std::int64_t hi) {
    return v.kind == Value::Kind::Integer && v.integer >= lo && v.integer <= hi;
}

// Memo texts longer than this are never compressed, as Jet does.
constexpr std::size_t kMaxCompressedMemo = 1024;

}  // namespace

std::string RowEncoder::ColumnName(const ColumnPlan& c) const {
    return Utf16ToUtf8(table_.name) + "." + Utf16ToUtf8(table_.columns[c.number].name);
}

bool RowEncoder::FixedBytes(const ColumnPlan& c, const Value& v, ByteVec& out, std::string* error) const {
    const std::string bad = "value of the wrong kind or range for column " + ColumnName(c);
    double d = 0;
    switch (c.type) {
        case ColumnType::Byte:
            if (!InRange(v, 0, 255)) return Fail(error, bad);
            AppendU8(out, static_cast<std::uint8_t>(v.integer));
            return true;
        case ColumnType::Integer:
            if (!InRange(v, INT16_MIN, INT16_MAX)) return Fail(error, bad);
            AppendU16(out, static_cast<std::uint16_t>(v.integer));
            return true;
        case ColumnType::LongInteger:
            if (!InRange(v, INT32_MIN, INT32_MAX)) return Fail(error, bad);
            AppendU32(out, static_cast<std::uint32_t>(v.integer));
            return true;
        case ColumnType::Single: {
            if (!AsDouble(v, d)) return Fail(error, bad);
            const float f = static_cast<float>(d);
            std::uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            AppendU32(out, bits);
            return true;
        }
        case ColumnType::Double:
        case ColumnType::DateTime:
            if (!AsDouble(v, d)) return Fail(error, bad);
            AppendU64(out, DoubleBits(d));
            return true;
        case ColumnType::Currency: {
            // Stored in ten-thousandths of a unit.
            if (!AsDouble(v, d) || !(std::fabs(d) < 9.2e14)) return Fail(error, bad);
            AppendU64(out, static_cast<std::uint64_t>(std::llround(d * 10000.0)));
            return true;
        }
        case ColumnType::AccessObjectData:
            if (v.kind != Value::Kind::Binary || v.binary.size() > FixedSize(c.type)) return Fail(error, bad);
            out = v.binary;
            out.resize(FixedSize(c.type), 0);
            return true;
        default:
            return Fail(error, bad);
    }
}

bool RowEncoder::VariableBytes(const ColumnPlan& c, const Value& v, ByteVec& out, std::string* error) {
    const std::string bad = "value of the wrong kind for column " + ColumnName(c);
    switch (c.type) {
        case ColumnType::Text:
            if (v.kind != Value::Kind::Text) return Fail(error, bad);
            if (v.text.size() * 2 > c.length) return Fail(error, "text too long for column " + ColumnName(c));
            out = EncodeText(v.text, c.compressed);
            return true;
        case ColumnType::Binary:
            if (v.kind != Value::Kind::Binary) return Fail(error, bad);
            if (v.binary.size() > c.length) return Fail(error, "binary value too long for column " + ColumnName(c));
            out = v.binary;
            return true;
        case ColumnType::Memo:
            if (v.kind != Value::Kind::Text) return Fail(error, bad);
            if (v.text.size() * 2 >= (1u << 24)) return Fail(error, "memo too long for column " + ColumnName(c));
            out = longValues_.Place(EncodeText(v.text, c.compressed && v.text.size() <= kMaxCompressedMemo),
                                    lvPages_[c.number]);
            return true;
        case ColumnType::OleObject:
            if (v.kind != Value::Kind::Binary) return Fail(error, bad);
            if (v.binary.size() >= (1u << 24)) return Fail(error, "OLE value too long for column " + ColumnName(c));
            out = longValues_.Place(v.binary, lvPages_[c.number]);
            return true;
        default:  // a number kept among the variable columns
            return FixedBytes(c, v, out, error);
    }
}

bool RowEncoder::Encode(const std::vector<Value>& row, ByteVec& out, std::string* error) {
    const std::size_t columns = plan_.columns.size();
    if (row.size() != columns)
        return Fail(error, "row of " + std::to_string(row.size()) + " values in table '" + Utf16ToUtf8(table_.name) +
                               "' of " + std::to_string(columns) + " columns");
    out.clear();
    AppendU16(out, static_cast<std::uint16_t>(columns));
    out.resize(2 + plan_.fixedSize, 0);
    ByteVec nullMask((columns + 7) / 8, 0);
    const auto present = [&](std::uint16_t n) { nullMask[n / 8] |= static_cast<std::uint8_t>(1u << (n % 8)); };
    for (const ColumnPlan& c : plan_.columns) {
        const Value& v = row[c.number];
        if (!c.fixed || v.IsNull()) continue;
        if (c.type == ColumnType::Boolean) {
            if (v.kind != Value::Kind::Integer) return Fail(error, "value of the wrong kind for column " + ColumnName(c));
            if (v.integer != 0) present(c.number);
            continue;
        }
        ByteVec bytes;
        if (!FixedBytes(c, v, bytes, error)) return false;
        std::copy(bytes.begin(), bytes.end(), out.begin() + 2 + c.fixedOffset);
        present(c.number);
    }
    if (plan_.varCount > 0) {
        std::vector<std::uint16_t> offsets;
        for (const ColumnPlan& c : plan_.columns) {
            if (c.fixed) continue;
            offsets.push_back(static_cast<std::uint16_t>(out.size()));
            const Value& v = row[c.number];
            if (v.IsNull()) continue;
            ByteVec bytes;
            if (!VariableBytes(c, v, bytes, error)) return false;
            AppendBytes(out, bytes);
            present(c.number);
            if (out.size() > kMaxRowSize) break;
        }
        AppendU16(out, static_cast<std::uint16_t>(out.size()));
        for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) AppendU16(out, *it);
        AppendU16(out, plan_.varCount);
    }
    AppendBytes(out, nullMask);
    if (out.size() > kMaxRowSize) return Fail(error, "row too large for a page in table '" + Utf16ToUtf8(table_.name) + "'");
    return true;
}

}  // namespace jet
