#pragma once
// Property values as the catalog keeps them (the LvProp column of
// MSysObjects): "MR2\0", a block with every property name once, then one
// block of values per object: the object's own (unnamed) and one per column.
// Each value carries its type (the column type codes) and whether it is the
// engine's own (DDL: enforced by Jet) or only Access's.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/bytes.h"
#include "jet/table.h"

namespace jet {

struct Property {
    std::u16string name;
    ColumnType type = ColumnType::Text;
    bool ddl = false;
    ByteVec value;

    static Property Text(std::u16string name, const std::u16string& text, bool ddl);
    static Property Memo(std::u16string name, const std::u16string& text, bool ddl);
    static Property Boolean(std::u16string name, bool value, bool ddl);
    static Property Byte(std::u16string name, std::uint8_t value, bool ddl);
    // Access stores some integer properties in four bytes rather than two.
    static Property Integer(std::u16string name, std::int32_t value, bool ddl, std::size_t bytes = 2);
    static Property Long(std::u16string name, std::int32_t value, bool ddl);

    bool operator==(const Property& o) const {
        return name == o.name && type == o.type && ddl == o.ddl && value == o.value;
    }
};

struct PropertyBlock {
    std::u16string name;  // the column's; empty for the object itself
    std::vector<Property> properties;

    bool operator==(const PropertyBlock& o) const { return name == o.name && properties == o.properties; }
};

// The stored form; empty when no block holds a property (the object then has none).
ByteVec EncodeProperties(const std::vector<PropertyBlock>& blocks);

// False when bytes are not property values or are out of shape.
bool DecodeProperties(ByteView bytes, std::vector<PropertyBlock>& blocks);

}  // namespace jet
