#include "ado/com/parameter_objects.h"

#include <new>

#include "ado/com/ado_enums.h"
#include "ado/com/arguments.h"
#include "ado/com/command_object.h"
#include "ado/com/failure.h"
#include "ado/com/item_enumerator.h"
#include "ado/com/out_values.h"
#include "ado/com/value_variant.h"
#include "ado/field_info.h"
#include "jetsql/jet_text.h"
#include "jet/utf.h"

namespace ado_com {
namespace {

// DataTypeEnum values and the VARIANT type a value of each is converted to
// before the engine compares it (VT_EMPTY: taken as it comes; VT_ILLEGAL:
// a type Jet's statements take no values of).
struct TypeEntry {
    long type;
    VARTYPE vt;
    bool variableLength;
};
const TypeEntry kTypes[] = {
    {0, VT_EMPTY, false},           // adEmpty
    {2, VT_I2, false},              // adSmallInt
    {3, VT_I4, false},              // adInteger
    {4, VT_R4, false},              // adSingle
    {5, VT_R8, false},              // adDouble
    {6, VT_CY, false},              // adCurrency
    {7, VT_DATE, false},            // adDate
    {8, VT_BSTR, false},            // adBSTR
    {9, VT_ILLEGAL, false},         // adIDispatch
    {10, VT_ILLEGAL, false},        // adError
    {11, VT_BOOL, false},           // adBoolean
    {12, VT_EMPTY, false},          // adVariant
    {13, VT_ILLEGAL, false},        // adIUnknown
    {14, VT_DECIMAL, false},        // adDecimal
    {16, VT_I1, false},             // adTinyInt
    {17, VT_UI1, false},            // adUnsignedTinyInt
    {18, VT_UI2, false},            // adUnsignedSmallInt
    {19, VT_UI4, false},            // adUnsignedInt
    {20, VT_I8, false},             // adBigInt
    {21, VT_I8, false},             // adUnsignedBigInt
    {64, VT_ILLEGAL, false},        // adFileTime
    {72, VT_ILLEGAL, false},        // adGUID
    {128, VT_ILLEGAL, true},        // adBinary
    {129, VT_BSTR, true},           // adChar
    {130, VT_BSTR, true},           // adWChar
    {131, VT_DECIMAL, false},       // adNumeric
    {132, VT_ILLEGAL, false},       // adUserDefined
    {133, VT_DATE, false},          // adDBDate
    {134, VT_DATE, false},          // adDBTime
    {135, VT_DATE, false},          // adDBTimeStamp
    {136, VT_ILLEGAL, false},       // adChapter
    {138, VT_ILLEGAL, false},       // adPropVariant
    {139, VT_DECIMAL, false},       // adVarNumeric
    {200, VT_BSTR, true},           // adVarChar
    {201, VT_BSTR, true},           // adLongVarChar
    {202, VT_BSTR, true},           // adVarWChar
    {203, VT_BSTR, true},           // adLongVarWChar
    {204, VT_ILLEGAL, true},        // adVarBinary
    {205, VT_ILLEGAL, true},        // adLongVarBinary
};

const TypeEntry* EntryOf(long type) {
    for (const TypeEntry& e : kTypes)
        if (e.type == type) return &e;
    return nullptr;
}

bool IsDecimal(long type) { return type == adDecimal || type == adNumeric || type == adVarNumeric; }

const long kParamAttributes = 16 | 64 | 128;  // adParamSigned, adParamNullable, adParamLong

// How a failure names a parameter.
std::u16string Called(const std::u16string& name) { return name.empty() ? u"the unnamed parameter" : u"'" + name + u"'"; }

}  // namespace

// {4D8A2E61-93B7-4C0F-A5E2-1B6F7D3C9E08}
const IID IID_ParameterImplementation = {0x4d8a2e61, 0x93b7, 0x4c0f, {0xa5, 0xe2, 0x1b, 0x6f, 0x7d, 0x3c, 0x9e, 0x08}};

HRESULT ParameterObject::get_Value(VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    return VariantCopy(value, &value_.get());
}

HRESULT ParameterObject::put_Value(VARIANT value) {
    UniqueVariant taken;
    if (FAILED(ArgumentValue(value, taken.put()))) return Refuse(kInvalidArgument);
    value_ = std::move(taken);
    return S_OK;
}

HRESULT ParameterObject::get_Name(BSTR* name) { return GiveText(name_, name); }
HRESULT ParameterObject::put_Name(BSTR name) { return SetChecked(name_, std::u16string(BstrText(name))); }
HRESULT ParameterObject::get_Type(long* type) { return GiveLong(type_, type); }
HRESULT ParameterObject::put_Type(long type) { return SetChecked(type_, type, EntryOf(type) != nullptr); }
HRESULT ParameterObject::get_Direction(long* direction) { return GiveLong(direction_, direction); }

// adParamUnknown .. adParamReturnValue
HRESULT ParameterObject::put_Direction(long direction) {
    return SetChecked(direction_, direction, direction >= adParamUnknown && direction <= adParamReturnValue);
}

HRESULT ParameterObject::get_Size(long* size) { return GiveLong(size_, size); }
HRESULT ParameterObject::put_Size(long size) { return SetChecked(size_, size, size >= 0); }
HRESULT ParameterObject::get_Precision(unsigned char* digits) { return GiveByte(precision_, digits); }
HRESULT ParameterObject::put_Precision(unsigned char digits) { return SetChecked(precision_, digits); }
HRESULT ParameterObject::get_NumericScale(unsigned char* digits) { return GiveByte(scale_, digits); }
HRESULT ParameterObject::put_NumericScale(unsigned char digits) { return SetChecked(scale_, digits); }
HRESULT ParameterObject::get_Attributes(long* flags) { return GiveLong(attributes_, flags); }

HRESULT ParameterObject::put_Attributes(long flags) {
    return SetChecked(attributes_, flags, (flags & ~kParamAttributes) == 0);
}

HRESULT ParameterObject::Define(BSTR name, long type, long direction, long size, const VARIANT& value) {
    HRESULT hr = put_Name(name);
    if (SUCCEEDED(hr)) hr = put_Type(type);
    if (SUCCEEDED(hr)) hr = put_Direction(direction);
    if (SUCCEEDED(hr)) hr = put_Size(size);
    if (SUCCEEDED(hr) && !IsMissing(value)) hr = put_Value(value);
    return hr;
}

HRESULT ParameterObject::CheckDefined() const {
    const TypeEntry* entry = EntryOf(type_);
    if (type_ == 0 || !entry)
        return Refuse(kInvalidParamInfo, u"Parameter object is improperly defined. Inconsistent or incomplete "
                                         u"information was provided: " + Called(name_) + u" has no Type.");
    if (entry->variableLength && size_ == 0)
        return Refuse(kInvalidParamInfo, u"Parameter object is improperly defined. Inconsistent or incomplete "
                                         u"information was provided: " + Called(name_) +
                                             u" is of a variable-length type and needs a Size.");
    if (IsDecimal(type_) && precision_ == 0)
        return Refuse(kInvalidParamInfo, u"Parameter object is improperly defined. Inconsistent or incomplete "
                                         u"information was provided: " + Called(name_) +
                                             u" is a decimal and needs a Precision.");
    return S_OK;
}

HRESULT ParameterObject::Bound(const VARIANT* given, jetsql::TypedValue* out) const {
    if (direction_ != adParamUnknown && direction_ != adParamInput)
        return Refuse(kNotAvailable, u"Object or provider is not capable of performing requested operation: Jet's "
                                     u"statements take input parameters only, and " + Called(name_) +
                                         u" is an output or return value.");
    UniqueVariant value;
    if (FAILED(ArgumentValue(given ? *given : value_.get(), value.put()))) return Refuse(kDataConversion);
    VARIANT& v = value.get();
    const TypeEntry* entry = EntryOf(type_);
    if (entry && entry->vt == VT_ILLEGAL)
        return Refuse(kNotAvailable, u"Object or provider is not capable of performing requested operation: " +
                                         Called(name_) + u" is of a type (" + jet::Utf8ToUtf16(std::to_string(type_)) +
                                         u") that Jet's statements compare no value with.");
    const bool nothing = v.vt == VT_EMPTY || v.vt == VT_NULL || (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND);
    if (!nothing && entry && entry->vt != VT_EMPTY && FAILED(VariantChangeType(&v, &v, 0, entry->vt)))
        return Refuse(kDataConversion, std::u16string(AdoErrorText(kDataConversion)) + u" The value of " +
                                           Called(name_) + u" does not convert to its Type.");
    if (nothing) {
        *out = jetsql::TypedValue::Null();
        return S_OK;
    }
    if (FAILED(VariantToTypedValue(v, out)))
        return Refuse(kDataConversion, std::u16string(AdoErrorText(kDataConversion)) + u" The value of " +
                                           Called(name_) + u" is neither text, a number, a date nor Yes/No.");
    return S_OK;
}

ComPtr<ParameterObject> ParameterObject::FromObject(IUnknown* object) {
    ComPtr<Parameter> found;
    if (!object || FAILED(object->QueryInterface(IID_ParameterImplementation, found.put_void())) || !found) return {};
    return ComPtr<ParameterObject>(static_cast<ParameterObject*>(found.release()));
}

ComPtr<ParameterObject> ParameterObject::Described(std::size_t position, const jetsql::ParameterInfo& info) {
    ComPtr<ParameterObject> made = MakeObject<ParameterObject>();
    jet::Column column{u"", info.type, info.size};
    const ado::FieldInfo field = ado::DescribeField(jetsql::ResultColumnOf(column));
    made->name_ = u"Param" + jet::Utf8ToUtf16(std::to_string(position + 1));
    made->type_ = long(field.type);
    made->size_ = field.definedSize;
    made->precision_ = field.precision == 255 ? 0 : field.precision;
    made->attributes_ = 64;  // adParamNullable
    return made;
}

ParametersObject::ParametersObject(ComPtr<CommandObject> command, SharedParameters list)
    : command_(std::move(command)), list_(std::move(list)) {}

ParametersObject::~ParametersObject() = default;

void ParametersObject::SettleQuietly() {
    if (list_->settled || !list_->items.empty()) return;
    command_->DescribeQuietly();
}

HRESULT ParametersObject::Find(const VARIANT& index, std::size_t* at) {
    UniqueVariant v;
    if (FAILED(ArgumentValue(index, v.put()))) return kInvalidArgument;
    const auto& items = list_->items;
    if (v.get().vt == VT_BSTR) {
        std::u16string_view name = BstrText(v.get().bstrVal);
        for (*at = 0; *at < items.size(); ++*at)
            if (jetsql::JetTextEqual(items[*at]->Name(), name)) return S_OK;
        return kItemNotFound;
    }
    long position = -1;
    if (FAILED(ArgumentLong(v.get(), &position))) return kInvalidArgument;
    if (position < 0 || std::size_t(position) >= items.size()) return kItemNotFound;
    *at = std::size_t(position);
    return S_OK;
}

HRESULT ParametersObject::get_Item(VARIANT index, Parameter** item) {
    if (!item) return E_POINTER;
    *item = nullptr;
    SettleQuietly();
    std::size_t at = 0;
    HRESULT hr = Find(index, &at);
    if (FAILED(hr)) return Refuse(hr);
    *item = ComPtr<ParameterObject>(list_->items[at]).release();
    return S_OK;
}

HRESULT ParametersObject::get_Count(long* count) {
    if (!count) return E_POINTER;
    SettleQuietly();
    *count = long(list_->items.size());
    return S_OK;
}

HRESULT ParametersObject::Refresh() { return command_->DescribeParameters(); }

HRESULT ParametersObject::Append(IDispatch* object) {
    ComPtr<ParameterObject> parameter = ParameterObject::FromObject(object);
    if (!parameter) return Refuse(kInvalidArgument, u"Only a Parameter can be appended to Parameters.");
    HRESULT hr = parameter->CheckDefined();
    if (FAILED(hr)) return hr;
    for (const auto& held : list_->items)
        if (held.get() == parameter.get() || (!held->Name().empty() && jetsql::JetTextEqual(held->Name(), parameter->Name())))
            return Refuse(kInCollection);
    return Guard([&]() -> HRESULT {
        list_->items.push_back(std::move(parameter));
        list_->settled = true;
        return S_OK;
    });
}

HRESULT ParametersObject::Delete(VARIANT index) {
    std::size_t at = 0;
    HRESULT hr = Find(index, &at);
    if (FAILED(hr)) return Refuse(hr);
    list_->items.erase(list_->items.begin() + std::ptrdiff_t(at));
    list_->settled = true;
    return S_OK;
}

HRESULT ParametersObject::get__NewEnum(IUnknown** items) {
    if (!items) return E_POINTER;
    *items = nullptr;
    SettleQuietly();
    return Guard([&]() -> HRESULT {
        std::vector<ComPtr<IDispatch>> list;
        for (const auto& p : list_->items) list.push_back(ComPtr<IDispatch>::share(static_cast<Parameter*>(p.get())));
        return NewItemEnumerator(std::move(list), items);
    });
}

}  // namespace ado_com
