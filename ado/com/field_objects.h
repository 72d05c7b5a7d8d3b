#pragma once
// The Fields collection of a record set and its Field objects. A Field reads
// the current row of the opening it came from at the moment its Value is
// asked for; the collection always shows the record set's current opening.
#include <cstddef>

#include "ado/com/failure.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"
#include "ado/com/open_rows.h"
#include "ado/field_info.h"

namespace ado_com {

// The position of the field that index names (by name, or 0-based), or
// kItemNotFound / kInvalidArgument.
HRESULT FieldPosition(const VARIANT& index, const ado::Cursor& cursor, std::size_t* column);

class FieldObject : public DispatchObject<Field, &IID_Field> {
public:
    FieldObject(SharedRows rows, std::size_t column) : rows_(std::move(rows)), column_(column) {}

    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_Type(long* type) override;
    HRESULT STDMETHODCALLTYPE get_DefinedSize(long* size) override;
    HRESULT STDMETHODCALLTYPE get_ActualSize(long* size) override;
    HRESULT STDMETHODCALLTYPE get_OriginalValue(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_UnderlyingValue(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_Precision(unsigned char* digits) override;
    HRESULT STDMETHODCALLTYPE get_NumericScale(unsigned char* digits) override;
    HRESULT STDMETHODCALLTYPE get_Attributes(long* flags) override;
    HRESULT STDMETHODCALLTYPE AppendChunk(VARIANT data) override;

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Field"; }

private:
    const jetsql::ResultColumn* OpenColumn() const;
    // One thing the Field reports of its column; refused once closed.
    template <class T>
    HRESULT Report(T ado::FieldInfo::*member, T* out) const {
        if (!out) return E_POINTER;
        const jetsql::ResultColumn* column = OpenColumn();
        if (!column) return Refuse(kObjectClosed);
        *out = ado::DescribeField(*column).*member;
        return S_OK;
    }

    SharedRows rows_;
    std::size_t column_;
};

class FieldsObject : public DispatchObject<Fields, &IID_Fields> {
public:
    explicit FieldsObject(SharedSlot slot) : slot_(std::move(slot)) {}

    // Index: a field name (compared as Jet compares names) or a 0-based position.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, Field** field) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** items) override;

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Fields"; }

private:
    SharedSlot slot_;
};

}  // namespace ado_com
