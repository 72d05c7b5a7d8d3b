#include "ado/com/field_objects.h"

#include <new>

#include "ado/com/arguments.h"
#include "ado/com/failure.h"
#include "ado/com/item_enumerator.h"
#include "ado/com/value_variant.h"
#include "jetsql/jet_text.h"

namespace ado_com {

HRESULT FieldPosition(const VARIANT& index, const ado::Cursor& cursor, std::size_t* column) {
    UniqueVariant v;
    HRESULT hr = ArgumentValue(index, v.put());
    if (FAILED(hr)) return kInvalidArgument;
    const auto& columns = cursor.Columns();
    if (v.get().vt == VT_BSTR) {
        std::u16string_view name = BstrText(v.get().bstrVal);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (jetsql::JetTextEqual(columns[i].name, name)) {
                *column = i;
                return S_OK;
            }
        }
        return kItemNotFound;
    }
    long position = 0;
    if (FAILED(ArgumentLong(v.get(), &position))) return kItemNotFound;
    if (position < 0 || std::size_t(position) >= columns.size()) return kItemNotFound;
    *column = std::size_t(position);
    return S_OK;
}

namespace {

// ADO's ActualSize: the bytes the current value takes (UTF-16 for text); a
// fixed-size value takes its defined size.
long ActualSizeOf(const jet::Value& v, long definedSize) {
    switch (v.kind) {
    case jet::Value::Kind::Null: return 0;
    case jet::Value::Kind::Text: return long(v.text.size() * 2);
    case jet::Value::Kind::Binary: return long(v.binary.size());
    default: return definedSize;
    }
}

}  // namespace

const jetsql::ResultColumn* FieldObject::OpenColumn() const {
    return rows_->cursor ? &rows_->cursor->Columns()[column_] : nullptr;
}

HRESULT FieldObject::get_Value(VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    const jetsql::ResultColumn* column = OpenColumn();
    if (!column) return Refuse(kObjectClosed);
    const jet::Value* v = rows_->cursor->Value(column_);
    if (!v) return Refuse(kNoCurrentRecord);
    return ValueToVariant(*v, *column, value);
}

HRESULT FieldObject::put_Value(VARIANT) { return Refuse(OpenColumn() ? kNotUpdatable : kObjectClosed); }

HRESULT FieldObject::get_OriginalValue(VARIANT* value) { return get_Value(value); }
HRESULT FieldObject::get_UnderlyingValue(VARIANT* value) { return get_Value(value); }

HRESULT FieldObject::get_Name(BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    const jetsql::ResultColumn* column = OpenColumn();
    if (!column) return Refuse(kObjectClosed);
    *name = NewBstr(column->name);
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT FieldObject::get_Type(long* type) {
    ado::DataType reported = ado::DataType::Empty;
    HRESULT hr = Report(&ado::FieldInfo::type, type ? &reported : nullptr);
    if (SUCCEEDED(hr)) *type = long(reported);
    return hr;
}

HRESULT FieldObject::get_DefinedSize(long* out) { return Report(&ado::FieldInfo::definedSize, out); }

HRESULT FieldObject::get_ActualSize(long* size) {
    long defined = 0;
    HRESULT hr = Report(&ado::FieldInfo::definedSize, size ? &defined : nullptr);
    if (FAILED(hr)) return hr;
    const jet::Value* v = rows_->cursor->Value(column_);
    if (!v) return Refuse(kNoCurrentRecord);
    *size = ActualSizeOf(*v, defined);
    return S_OK;
}

HRESULT FieldObject::get_Precision(unsigned char* out) { return Report(&ado::FieldInfo::precision, out); }

HRESULT FieldObject::get_NumericScale(unsigned char* out) { return Report(&ado::FieldInfo::numericScale, out); }

HRESULT FieldObject::get_Attributes(long* out) { return Report(&ado::FieldInfo::attributes, out); }

HRESULT FieldObject::AppendChunk(VARIANT) { return Refuse(OpenColumn() ? kNotUpdatable : kObjectClosed); }

HRESULT FieldsObject::get_Item(VARIANT index, Field** field) {
    if (!field) return E_POINTER;
    *field = nullptr;
    const SharedRows& rows = slot_->current;
    if (!rows->cursor) return Refuse(kObjectClosed);
    std::size_t column = 0;
    HRESULT hr = FieldPosition(index, *rows->cursor, &column);
    if (FAILED(hr)) return Refuse(hr);
    return Guard([&]() -> HRESULT {
        *field = MakeObject<FieldObject>(rows, column).release();
        return S_OK;
    });
}

HRESULT FieldsObject::get_Count(long* count) {
    if (!count) return E_POINTER;
    const SharedRows& rows = slot_->current;
    *count = rows->cursor ? long(rows->cursor->Columns().size()) : 0;
    return S_OK;
}

HRESULT FieldsObject::Refresh() { return S_OK; }

HRESULT FieldsObject::get__NewEnum(IUnknown** items) {
    if (!items) return E_POINTER;
    *items = nullptr;
    const SharedRows& rows = slot_->current;
    std::size_t n = rows->cursor ? rows->cursor->Columns().size() : 0;
    return Guard([&]() -> HRESULT {
        std::vector<ComPtr<IDispatch>> list;
        for (std::size_t i = 0; i < n; ++i) list.emplace_back(static_cast<Field*>(MakeObject<FieldObject>(rows, i).release()));
        return NewItemEnumerator(std::move(list), items);
    });
}

}  // namespace ado_com
