#pragma once
// In-memory form of an Access table: what the writer lays out and the reader gives back.
#include <cstdint>
#include <string>
#include <vector>

namespace jet {

// Column type codes as the Jet 4 table definition stores them.
enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,      // 16-bit
    LongInteger = 0x04,  // 32-bit
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    OleObject = 0x0B,
    Memo = 0x0C,
    AccessObjectData = 0x11,  // fixed 3992 bytes: the Data column of MSysAccessObjects
};

// One cell. Texts are UTF-16, as Jet 4 stores them.
struct Value {
    enum class Kind { Null, Text, Integer, Double, Binary };
    Kind kind = Kind::Null;
    std::u16string text;
    std::int64_t integer = 0;
    double real = 0.0;
    std::vector<std::uint8_t> binary;

    static Value Null() { return {}; }
    static Value FromText(std::u16string s) { Value v; v.kind = Kind::Text; v.text = std::move(s); return v; }
    static Value FromInteger(std::int64_t i) { Value v; v.kind = Kind::Integer; v.integer = i; return v; }
    static Value FromDouble(double d) { Value v; v.kind = Kind::Double; v.real = d; return v; }
    bool IsNull() const { return kind == Kind::Null; }
    bool operator==(const Value& o) const {
        return kind == o.kind && text == o.text && integer == o.integer && real == o.real && binary == o.binary;
    }
};

struct Column {
    std::u16string name;
    ColumnType type = ColumnType::Text;
    std::uint16_t size = 0;  // bytes for Text (0: 510, i.e. 255 characters); ignored for fixed types
};

struct Index {
    std::u16string name;
    std::vector<std::u16string> columns;
    bool unique = false;
    bool primaryKey = false;
};

struct Table {
    std::u16string name;
    std::vector<Column> columns;
    std::vector<Index> indexes;
    std::vector<std::vector<Value>> rows;  // each row has one Value per column
};

}  // namespace jet
