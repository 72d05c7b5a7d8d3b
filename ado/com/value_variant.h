#pragma once
// A stored value as ADO hands it out: Null as VT_NULL, text as VT_BSTR, numbers
// in the width of their column, binary data as a byte array.
#include <windows.h>
#include <oaidl.h>

#include "jet/table.h"

namespace ado_com {

HRESULT ValueToVariant(const jet::Value& value, jet::ColumnType type, VARIANT* out);

// ADO's DataTypeEnum for a column type.
long AdoTypeOf(jet::ColumnType type);

}  // namespace ado_com
