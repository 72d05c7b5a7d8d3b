#pragma once
// Values as ADO hands them out and takes them in: Null as VT_NULL, text as
// VT_BSTR, numbers in the width their column reports (Field.Type), binary
// data as a byte array; and a VARIANT given as a statement's parameter, as
// the engine's typed value.
#include <windows.h>
#include <oaidl.h>

#include "ado/data_type.h"
#include "jetsql/query.h"

namespace ado_com {

HRESULT ValueToVariant(const jet::Value& value, const jetsql::ResultColumn& column, VARIANT* out);

// The VARIANT type that values of an ADO data type travel in (VT_EMPTY for
// a type the component does not convert to).
VARTYPE VariantTypeOf(ado::DataType type);

// A parameter value: text, integers, reals, currency, dates, Yes/No, Null or
// Empty. DISP_E_TYPEMISMATCH for anything else (arrays, objects).
HRESULT VariantToTypedValue(const VARIANT& value, jetsql::TypedValue* out);

}  // namespace ado_com
