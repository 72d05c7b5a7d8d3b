#include "jet/property_values.h"

#include <algorithm>

#include "jet/text_codec.h"

namespace jet {

namespace {

constexpr std::uint8_t kMagic[4] = {'M', 'R', '2', 0};
constexpr std::uint16_t kNamesBlock = 0x80;
constexpr std::uint16_t kObjectBlock = 0x00;
constexpr std::uint16_t kColumnBlock = 0x01;
constexpr std::size_t kBlockHeader = 6;  // length, type
constexpr std::size_t kValueHeader = 8;  // length, DDL flag, type, name number, data length

void AppendName(ByteVec& out, const std::u16string& name) {
    AppendU16(out, static_cast<std::uint16_t>(name.size() * 2));
    for (char16_t c : name) AppendU16(out, c);
}

Property Make(std::u16string name, ColumnType type, bool ddl, ByteVec value) {
    Property p;
    p.name = std::move(name);
    p.type = type;
    p.ddl = ddl;
    p.value = std::move(value);
    return p;
}

// Opens a block at the end of out; Close stores its length once it is complete.
std::size_t Open(ByteVec& out, std::uint16_t type) {
    const std::size_t start = out.size();
    AppendU32(out, 0);
    AppendU16(out, type);
    return start;
}

void Close(ByteVec& out, std::size_t start) { PutU32(out, start, static_cast<std::uint32_t>(out.size() - start)); }

bool ReadName(ByteView b, std::size_t& at, std::u16string& name) {
    std::uint16_t length = 0;
    ByteView bytes;
    if (!b.U16(at, length) || length % 2 != 0 || !b.Slice(at + 2, length, bytes)) return false;
    name = DecodeText(bytes);
    at += 2 + length;
    return true;
}

bool ReadValues(ByteView block, const std::vector<std::u16string>& names, PropertyBlock& out) {
    std::uint32_t nameLength = 0;
    std::size_t at = 0;
    if (!block.U32(0, nameLength) || nameLength < 4 || nameLength > block.size()) return false;
    if (nameLength > 4) {
        std::size_t nameAt = 4;
        if (!ReadName(block, nameAt, out.name) || nameAt > nameLength) return false;
    }
    at = nameLength;
    while (at < block.size()) {
        std::uint16_t length = 0, number = 0, size = 0;
        std::uint8_t ddl = 0, type = 0;
        ByteView data;
        if (!block.U16(at, length) || !block.U8(at + 2, ddl) || !block.U8(at + 3, type) || !block.U16(at + 4, number) ||
            !block.U16(at + 6, size) || length < kValueHeader + size || !block.Has(at, length) ||
            number >= names.size() || !block.Slice(at + kValueHeader, size, data))
            return false;
        out.properties.push_back(Make(names[number], static_cast<ColumnType>(type), ddl != 0, data.Copy()));
        at += length;
    }
    return true;
}

}  // namespace

Property Property::Text(std::u16string name, const std::u16string& text, bool ddl) {
    return Make(std::move(name), ColumnType::Text, ddl, EncodeTextPlain(text));
}

Property Property::Memo(std::u16string name, const std::u16string& text, bool ddl) {
    return Make(std::move(name), ColumnType::Memo, ddl, EncodeTextPlain(text));
}

Property Property::Boolean(std::u16string name, bool value, bool ddl) {
    return Make(std::move(name), ColumnType::Boolean, ddl, ByteVec{static_cast<std::uint8_t>(value ? 1 : 0)});
}

Property Property::Byte(std::u16string name, std::uint8_t value, bool ddl) {
    return Make(std::move(name), ColumnType::Byte, ddl, ByteVec{value});
}

Property Property::Integer(std::u16string name, std::int32_t value, bool ddl, std::size_t bytes) {
    ByteVec v;
    AppendU32(v, static_cast<std::uint32_t>(value));
    v.resize(bytes == 4 ? 4 : 2);
    return Make(std::move(name), ColumnType::Integer, ddl, std::move(v));
}

Property Property::Long(std::u16string name, std::int32_t value, bool ddl) {
    ByteVec v;
    AppendU32(v, static_cast<std::uint32_t>(value));
    return Make(std::move(name), ColumnType::LongInteger, ddl, std::move(v));
}

ByteVec EncodeProperties(const std::vector<PropertyBlock>& blocks) {
    std::vector<std::u16string> names;
    for (const auto& block : blocks)
        for (const auto& p : block.properties)
            if (std::find(names.begin(), names.end(), p.name) == names.end()) names.push_back(p.name);
    if (names.empty()) return {};
    ByteVec out(kMagic, kMagic + sizeof kMagic);
    std::size_t start = Open(out, kNamesBlock);
    for (const auto& name : names) AppendName(out, name);
    Close(out, start);
    for (const auto& block : blocks) {
        if (block.properties.empty()) continue;
        start = Open(out, block.name.empty() ? kObjectBlock : kColumnBlock);
        AppendU32(out, static_cast<std::uint32_t>(4 + 2 + block.name.size() * 2));
        AppendName(out, block.name);
        for (const auto& p : block.properties) {
            const auto number = std::find(names.begin(), names.end(), p.name) - names.begin();
            AppendU16(out, static_cast<std::uint16_t>(kValueHeader + p.value.size()));
            AppendU8(out, p.ddl ? 1 : 0);
            AppendU8(out, static_cast<std::uint8_t>(p.type));
            AppendU16(out, static_cast<std::uint16_t>(number));
            AppendU16(out, static_cast<std::uint16_t>(p.value.size()));
            AppendBytes(out, p.value);
        }
        Close(out, start);
    }
    return out;
}

bool DecodeProperties(ByteView bytes, std::vector<PropertyBlock>& blocks) {
    blocks.clear();
    ByteView magic;
    if (!bytes.Slice(0, sizeof kMagic, magic) || !std::equal(kMagic, kMagic + sizeof kMagic, magic.data())) return false;
    std::vector<std::u16string> names;
    for (std::size_t at = sizeof kMagic; at < bytes.size();) {
        std::uint32_t length = 0;
        std::uint16_t type = 0;
        ByteView block;
        if (!bytes.U32(at, length) || !bytes.U16(at + 4, type) || length < kBlockHeader ||
            !bytes.Slice(at + kBlockHeader, length - kBlockHeader, block))
            return false;
        if (type == kNamesBlock) {
            for (std::size_t n = 0; n < block.size();) {
                names.emplace_back();
                if (!ReadName(block, n, names.back())) return false;
            }
        } else {
            blocks.emplace_back();
            if (!ReadValues(block, names, blocks.back())) return false;
        }
        at += length;
    }
    return true;
}

}  // namespace jet
