#include "ado/com/field_objects.h"

#include <new>

#include "ado/com/ado_errors.h"
#include "ado/com/owners.h"
#include "ado/com/value_variant.h"
#include "ado/jet_text.h"
#include "bridge/bstr.h"

namespace ado_com {
namespace {

// The position of the field that index names, or a failure.
HRESULT ResolveIndex(const VARIANT& index, const ado::Cursor& cursor, std::size_t* column) {
    UniqueVariant v;
    HRESULT hr = ArgumentValue(index, v.Get());
    if (FAILED(hr)) return hr;
    const auto& columns = cursor.Columns();
    if ((*v).vt == VT_BSTR) {
        std::u16string_view name = BstrText((*v).bstrVal);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (ado::JetTextEqual(columns[i].name, name)) {
                *column = i;
                return S_OK;
            }
        }
        return kItemNotFound;
    }
    long position = 0;
    if (FAILED(ArgumentLong(*v, &position))) return kItemNotFound;
    if (position < 0 || std::size_t(position) >= columns.size()) return kItemNotFound;
    *column = std::size_t(position);
    return S_OK;
}

}  // namespace

HRESULT FieldObject::get_Value(VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    if (!rows_->cursor) return kObjectClosed;
    const jet::Value* v = rows_->cursor->Value(column_);
    if (!v) return kNoCurrentRecord;
    return ValueToVariant(*v, rows_->cursor->Columns()[column_].type, value);
}

HRESULT FieldObject::put_Value(VARIANT) { return rows_->cursor ? kNotUpdatable : kObjectClosed; }

HRESULT FieldObject::get_Name(BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!rows_->cursor) return kObjectClosed;
    *name = NewBstr(rows_->cursor->Columns()[column_].name);
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT FieldObject::get_Type(long* type) {
    if (!type) return E_POINTER;
    if (!rows_->cursor) return kObjectClosed;
    *type = AdoTypeOf(rows_->cursor->Columns()[column_].type);
    return S_OK;
}

HRESULT FieldsObject::get_Item(VARIANT index, Field** field) {
    if (!field) return E_POINTER;
    *field = nullptr;
    if (!rows_->cursor) return kObjectClosed;
    std::size_t column = 0;
    HRESULT hr = ResolveIndex(index, *rows_->cursor, &column);
    if (FAILED(hr)) return hr;
    *field = new (std::nothrow) FieldObject(rows_, column);
    return *field ? S_OK : E_OUTOFMEMORY;
}

HRESULT FieldsObject::get_Count(long* count) {
    if (!count) return E_POINTER;
    *count = rows_->cursor ? long(rows_->cursor->Columns().size()) : 0;
    return S_OK;
}

}  // namespace ado_com
