#pragma once
// The Properties collection of a connection (the provider's dynamic
// properties, read afresh on each call) and the Property objects it hands
// out (each a copy of one entry). Every property here describes the file or
// the provider and is read-only.
#include <functional>
#include <string>
#include <vector>

#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"

namespace ado_com {

struct PropertyEntry {
    std::u16string name;
    UniqueVariant value;
    long type = 8;           // DataTypeEnum: adBSTR
    long attributes = 512;   // PropertyAttributesEnum: adPropRead
};
using PropertyList = std::function<std::vector<PropertyEntry>()>;

class PropertyObject : public DispatchObject<Property, &IID_Property> {
public:
    explicit PropertyObject(PropertyEntry entry) : entry_(std::move(entry)) {}

    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_Type(long* type) override;
    HRESULT STDMETHODCALLTYPE get_Attributes(long* flags) override;

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Property"; }

private:
    PropertyEntry entry_;
};

class PropertiesObject : public DispatchObject<Properties, &IID_Properties> {
public:
    explicit PropertiesObject(PropertyList list) : list_(std::move(list)) {}

    // Index: a property name (without regard to case) or a 0-based position.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, Property** item) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** items) override;

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Properties"; }

private:
    PropertyList list_;
};

}  // namespace ado_com
