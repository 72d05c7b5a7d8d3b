#pragma once
// ADO's DataTypeEnum, the types a record set's fields report (DataTypeOf and
// TypeOf, field_info.h, say which).

namespace ado {

enum class DataType : long {
    Empty = 0,
    SmallInt = 2,           // DBTYPE_I2
    Integer = 3,            // DBTYPE_I4
    Single = 4,             // DBTYPE_R4
    Double = 5,             // DBTYPE_R8
    Currency = 6,           // DBTYPE_CY
    Date = 7,               // DBTYPE_DATE
    Boolean = 11,           // DBTYPE_BOOL
    UnsignedTinyInt = 17,   // DBTYPE_UI1
    UnsignedSmallInt = 18,  // DBTYPE_UI2
    UnsignedInt = 19,       // DBTYPE_UI4
    UnsignedBigInt = 21,    // DBTYPE_UI8
    Guid = 72,              // DBTYPE_GUID
    Binary = 128,           // DBTYPE_BYTES, fixed length
    WChar = 130,            // DBTYPE_WSTR
    VarWChar = 202,
    LongVarWChar = 203,
    VarBinary = 204,
    LongVarBinary = 205,
};

}  // namespace ado
