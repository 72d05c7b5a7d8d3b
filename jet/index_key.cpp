#include "jet/index_key.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace jet {

namespace {

constexpr std::uint8_t kAscendingValue = 0x7F;
constexpr std::uint8_t kNullValue = 0x00;
constexpr std::uint8_t kEndText = 0x01;
constexpr std::uint8_t kEndExtraText = 0x00;
// Jet indexes at most this many characters of a text.
constexpr std::size_t kMaxKeyCharacters = 255;

// General sort order codes of U+0000-U+007F: one or two bytes written inline;
// 0 marks a character left out of the key (U+0000); 0xFFFF one that goes to the
// trailer with the code in kUnprintableCodes. Letters fold to one code.
constexpr std::uint16_t kUnsupported = 0xFFFF;
constexpr std::uint8_t kUnprintableCodes[128] = {
    0,    0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0,    0,    0,    0,    0,    0x0B, 0x0C,
    0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C,
    0,    0,    0,    0,    0,    0,    0,    0x80, 0,    0,    0,    0,    0,    0x82, 0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0x1D,
};
// Trailer entry of an unprintable character: a big-endian position code
// (counting the inline characters before it), a separator, then its code.
constexpr std::uint16_t kUnprintablePositionFlag = 0x8000;
constexpr std::uint16_t kUnprintablePositionStart = 7;
constexpr std::uint16_t kUnprintablePositionStep = 4;
constexpr std::uint8_t kUnprintableSeparator = 0x06;
constexpr std::uint16_t kSortCodes[128] = {
    0x0000, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,  // 00
    0xFFFF, 0x0803, 0x0804, 0x0805, 0x0806, 0x0807, 0xFFFF, 0xFFFF,  // 08
    0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,  // 10
    0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,  // 18
    0x07,   0x09,   0x0A,   0x0C,   0x0E,   0x10,   0x12,   0xFFFF,  //  !"#$%&'
    0x14,   0x16,   0x18,   0x2C,   0x1A,   0xFFFF, 0x1C,   0x1E,    // ()*+,-./
    0x36,   0x38,   0x3A,   0x3C,   0x3E,   0x40,   0x42,   0x44,    // 01234567
    0x46,   0x48,   0x20,   0x22,   0x2E,   0x30,   0x32,   0x24,    // 89:;<=>?
    0x26,   0x4A,   0x4C,   0x4D,   0x4F,   0x51,   0x53,   0x55,    // @ABCDEFG
    0x57,   0x59,   0x5B,   0x5C,   0x5E,   0x60,   0x62,   0x64,    // HIJKLMNO
    0x66,   0x68,   0x69,   0x6B,   0x6D,   0x6F,   0x71,   0x73,    // PQRSTUVW
    0x75,   0x76,   0x78,   0x27,   0x29,   0x2A,   0x2B02, 0x2B03,  // XYZ[\]^_
    0x2B07, 0x4A,   0x4C,   0x4D,   0x4F,   0x51,   0x53,   0x55,    // `abcdefg
    0x57,   0x59,   0x5B,   0x5C,   0x5E,   0x60,   0x62,   0x64,    // hijklmno
    0x66,   0x68,   0x69,   0x6B,   0x6D,   0x6F,   0x71,   0x73,    // pqrstuvw
    0x75,   0x76,   0x78,   0x2B09, 0x2B0B, 0x2B0D, 0x2B0F, 0xFFFF,  // xyz{|}~
};

bool AppendText(const std::u16string& text, ByteVec& key) {
    const std::size_t n = std::min(text.size(), kMaxKeyCharacters);
    ByteVec unprintable;
    std::size_t inlineCount = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c >= 0x80) return false;
        const std::uint16_t code = kSortCodes[c];
        if (code == 0) continue;
        if (code == kUnsupported) {
            const auto position = static_cast<std::uint16_t>(
                kUnprintablePositionFlag | (kUnprintablePositionStart + kUnprintablePositionStep * inlineCount));
            unprintable.push_back(static_cast<std::uint8_t>(position >> 8));
            unprintable.push_back(static_cast<std::uint8_t>(position));
            unprintable.push_back(kUnprintableSeparator);
            unprintable.push_back(kUnprintableCodes[c]);
            continue;
        }
        if (code > 0xFF) key.push_back(static_cast<std::uint8_t>(code >> 8));
        key.push_back(static_cast<std::uint8_t>(code));
        ++inlineCount;
    }
    key.push_back(kEndText);
    if (!unprintable.empty()) {
        key.insert(key.end(), {kEndText, kEndText, kEndText});
        key.insert(key.end(), unprintable.begin(), unprintable.end());
    }
    key.push_back(kEndExtraText);
    return true;
}

// Big-endian with the sign bit flipped, so that byte order is numeric order.
void AppendSigned(std::int64_t v, int bytes, ByteVec& key) {
    const auto u = static_cast<std::uint64_t>(v);
    for (int i = bytes - 1; i >= 0; --i) {
        auto b = static_cast<std::uint8_t>(u >> (8 * i));
        if (i == bytes - 1) b ^= 0x80;
        key.push_back(b);
    }
}

// Big-endian IEEE bits: positive numbers with the sign bit flipped, negative
// ones inverted, so that byte order is numeric order.
void AppendFloating(std::uint64_t bits, int bytes, ByteVec& key) {
    const bool negative = (bits >> (8 * bytes - 1)) & 1;
    for (int i = bytes - 1; i >= 0; --i) {
        auto b = static_cast<std::uint8_t>(bits >> (8 * i));
        if (negative) b = static_cast<std::uint8_t>(~b);
        else if (i == bytes - 1) b ^= 0x80;
        key.push_back(b);
    }
}

bool AppendAscending(ColumnType type, const Value& value, ByteVec& key);

}  // namespace

bool IndexableType(ColumnType type) {
    return type == ColumnType::Text || type == ColumnType::Byte || type == ColumnType::Integer ||
           type == ColumnType::LongInteger || type == ColumnType::Double || type == ColumnType::DateTime ||
           type == ColumnType::Single;
}

bool AppendTextKeyPrefix(const std::u16string& prefix, ByteVec& key) {
    ByteVec whole;
    if (!AppendKeyValue(ColumnType::Text, Value::FromText(prefix), whole)) return false;
    // Inline codes are never kEndText, so the first one after the flag ends them.
    const auto end = std::find(whole.begin() + 1, whole.end(), kEndText);
    key.insert(key.end(), whole.begin(), end);
    return true;
}

bool AppendKeyValue(ColumnType type, const Value& value, ByteVec& key, bool ascending) {
    const std::size_t start = key.size();
    if (!AppendAscending(type, value, key)) return false;
    if (!ascending)
        for (std::size_t i = start; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(~key[i]);
    return true;
}

namespace {

bool AppendAscending(ColumnType type, const Value& value, ByteVec& key) {
    if (value.IsNull()) {
        key.push_back(kNullValue);
        return true;
    }
    key.push_back(kAscendingValue);
    switch (type) {
        case ColumnType::Text:
            return value.kind == Value::Kind::Text && AppendText(value.text, key);
        case ColumnType::Byte:
            if (value.kind != Value::Kind::Integer || value.integer < 0 || value.integer > 255) return false;
            key.push_back(static_cast<std::uint8_t>(value.integer));
            return true;
        case ColumnType::Integer:
            if (value.kind != Value::Kind::Integer || value.integer < INT16_MIN || value.integer > INT16_MAX) return false;
            AppendSigned(value.integer, 2, key);
            return true;
        case ColumnType::LongInteger:
            if (value.kind != Value::Kind::Integer || value.integer < INT32_MIN || value.integer > INT32_MAX) return false;
            AppendSigned(value.integer, 4, key);
            return true;
        case ColumnType::Double:
        case ColumnType::DateTime: {
            double d;
            if (value.kind == Value::Kind::Double) d = value.real;
            else if (value.kind == Value::Kind::Integer) d = static_cast<double>(value.integer);
            else return false;
            AppendFloating(DoubleBits(d), 8, key);
            return true;
        }
        case ColumnType::Single: {
            if (value.kind != Value::Kind::Double && value.kind != Value::Kind::Integer) return false;
            const float f = static_cast<float>(value.kind == Value::Kind::Double ? value.real : static_cast<double>(value.integer));
            std::uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            AppendFloating(bits, 4, key);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace
}  // namespace jet
