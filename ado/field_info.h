#pragma once
// What a record set's Field reports of its column beyond name and value, as
// ADO with the Jet provider reports it: Type, DefinedSize, Precision,
// NumericScale and Attributes.
#include "ado/data_type.h"
#include "jetsql/query.h"

namespace ado {

// ADO's FieldAttributeEnum (the same bits as OLE DB's DBCOLUMNFLAGS).
enum FieldAttribute : long {
    kFieldMayDefer = 0x2,
    kFieldUpdatable = 0x4,
    kFieldUnknownUpdatable = 0x8,
    kFieldFixed = 0x10,
    kFieldIsNullable = 0x20,
    kFieldMayBeNull = 0x40,
    kFieldLong = 0x80,
};

struct FieldInfo {
    DataType type = DataType::Empty;
    long definedSize = 0;        // characters for text, bytes for the rest
    unsigned char precision = 255;     // digits of a number; 255 for the rest
    unsigned char numericScale = 255;  // 255: no decimal type here has a scale
    long attributes = 0;
};

// adVarWChar for text, adLongVarWChar for memo, adInteger for a long
// integer, ...; a fixed-length object column is adBinary.
DataType DataTypeOf(jet::ColumnType type);

// ADO's Type for a result column: the type its rows' maker asked for
// (reportedType: a schema rowset's OLE DB types), else its Jet type's.
DataType TypeOf(const jetsql::ResultColumn& column);

// Jet reports every column deferrable and of unknown updatability; numbers,
// dates and Yes/No fixed; memo and OLE long; every column but Yes/No nullable.
FieldInfo DescribeField(const jetsql::ResultColumn& column);

}  // namespace ado
