// ReadFromBytes: one value of a chosen type out of a byte array.
#include <algorithm>
#include <cstring>

#include "core/date_parts.h"
#include "core/fatal_error.h"
#include "core/read_from_bytes.h"

namespace core {
namespace {

constexpr int TypeSizes[] = {0, 1, 2, 4, 8, 4, 8, 4, 8, 4, 0};
constexpr int TextTypeNumber = 10;

// Up to eight bytes from offset, little-endian; missing bytes read as 0.
std::uint64_t ReadLittleEndian(const Bytes& bytes, long long offset, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        const long long at = offset + i;
        if (at < 0 || at >= static_cast<long long>(bytes.size())) break;
        value |= static_cast<std::uint64_t>(bytes[static_cast<std::size_t>(at)]) << (8 * i);
    }
    return value;
}

BasicValue ValueOfType(int typeNumber, std::uint64_t raw) {
    switch (typeNumber) {
    case 1: return BasicValue::Byte(static_cast<std::uint8_t>(raw));
    case 2: return BasicValue::Short(static_cast<std::int16_t>(static_cast<std::uint16_t>(raw)));
    case 3: return BasicValue::Int(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw)));
    case 4: return BasicValue::Long(static_cast<std::int64_t>(raw));
    case 5: {
        const auto bits = static_cast<std::uint32_t>(raw);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return BasicValue::Float(value);
    }
    case 6:
    case 8: {
        double value;
        std::memcpy(&value, &raw, sizeof value);
        return typeNumber == 6 ? BasicValue::Double(value) : BasicValue::Date(ClampDate(value));
    }
    case 7: return BasicValue::Bool(static_cast<std::uint32_t>(raw) != 0);
    default: return BasicValue::SubPointer(static_cast<std::uint32_t>(raw));
    }
}

// The position after a read that ended at 0-based offset end: -1 once beyond the last byte.
int PositionAfter(long long end, std::size_t length) {
    return end >= static_cast<long long>(length) ? -1 : static_cast<int>(end + 1);
}

}  // namespace

BasicValue ReadFromBytes(const Bytes& bytes, int typeNumber, int* position) {
    if (typeNumber < 1 || typeNumber > TextTypeNumber)
        FatalError(0, "“欲取出数据的类型”参数值无效");

    const int start = position ? *position : 1;
    const bool nothingToRead = start < 1;
    const long long offset = static_cast<long long>(start) - 1;

    if (typeNumber == TextTypeNumber) {
        if (nothingToRead || offset >= static_cast<long long>(bytes.size())) {
            if (position) *position = -1;
            return BasicValue::OfText(Text());
        }
        const auto from = bytes.begin() + offset;
        const auto nul = std::find(from, bytes.end(), 0);
        if (position) *position = PositionAfter(nul - bytes.begin() + (nul != bytes.end() ? 1 : 0), bytes.size());
        return BasicValue::OfText(Text(from, nul));
    }

    const int size = TypeSizes[typeNumber];
    if (nothingToRead) {
        if (position) *position = -1;
        return ValueOfType(typeNumber, 0);
    }
    const BasicValue value = ValueOfType(typeNumber, ReadLittleEndian(bytes, offset, size));
    if (position) *position = PositionAfter(offset + size, bytes.size());
    return value;
}

}  // namespace core
