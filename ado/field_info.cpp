#include "ado/field_info.h"

namespace ado {

DataType DataTypeOf(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Boolean: return DataType::Boolean;
    case jet::ColumnType::Byte: return DataType::UnsignedTinyInt;
    case jet::ColumnType::Integer: return DataType::SmallInt;
    case jet::ColumnType::LongInteger: return DataType::Integer;
    case jet::ColumnType::Currency: return DataType::Currency;
    case jet::ColumnType::Single: return DataType::Single;
    case jet::ColumnType::Double: return DataType::Double;
    case jet::ColumnType::DateTime: return DataType::Date;
    case jet::ColumnType::Binary: return DataType::VarBinary;
    case jet::ColumnType::Text: return DataType::VarWChar;
    case jet::ColumnType::OleObject: return DataType::LongVarBinary;
    case jet::ColumnType::Memo: return DataType::LongVarWChar;
    case jet::ColumnType::AccessObjectData: return DataType::Binary;
    }
    return DataType::Empty;
}

namespace {

// Digits of each numeric type, as OLE DB gives its maximum precision.
unsigned char PrecisionOf(DataType type) {
    switch (type) {
    case DataType::UnsignedTinyInt: return 3;
    case DataType::SmallInt:
    case DataType::UnsignedSmallInt: return 5;
    case DataType::Integer:
    case DataType::UnsignedInt: return 10;
    case DataType::Single: return 7;
    case DataType::Double: return 15;
    case DataType::Currency: return 19;
    case DataType::UnsignedBigInt: return 20;
    default: return 255;
    }
}

bool IsLong(DataType type) { return type == DataType::LongVarWChar || type == DataType::LongVarBinary; }

bool IsVariable(DataType type) {
    return type == DataType::VarWChar || type == DataType::WChar || type == DataType::VarBinary || IsLong(type);
}

// ADO's DefinedSize: characters for text, bytes for the rest; long values
// give the largest size their type can hold.
long DefinedSizeOf(const jetsql::ResultColumn& c) {
    switch (TypeOf(c)) {
    case DataType::VarWChar:
    case DataType::WChar: return (c.size ? c.size : 510) / 2;
    case DataType::VarBinary: return c.size ? c.size : 510;
    case DataType::LongVarWChar: return 536870910;
    case DataType::LongVarBinary: return 1073741823;
    case DataType::Binary: return c.size ? c.size : 3992;
    case DataType::Boolean:
    case DataType::SmallInt:
    case DataType::UnsignedSmallInt: return 2;
    case DataType::UnsignedTinyInt: return 1;
    case DataType::Integer:
    case DataType::UnsignedInt:
    case DataType::Single: return 4;
    case DataType::Guid: return 16;
    default: return 8;
    }
}

}  // namespace

DataType TypeOf(const jetsql::ResultColumn& column) {
    return column.reportedType != 0 ? DataType(column.reportedType) : DataTypeOf(column.type);
}

FieldInfo DescribeField(const jetsql::ResultColumn& column) {
    FieldInfo info;
    info.type = TypeOf(column);
    info.definedSize = DefinedSizeOf(column);
    info.precision = PrecisionOf(info.type);
    info.attributes = kFieldMayDefer | kFieldUnknownUpdatable;
    if (!IsVariable(info.type)) info.attributes |= kFieldFixed;
    if (IsLong(info.type)) info.attributes |= kFieldLong;
    if (column.nullable) info.attributes |= kFieldIsNullable | kFieldMayBeNull;
    return info;
}

}  // namespace ado
