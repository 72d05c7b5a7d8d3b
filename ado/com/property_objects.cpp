#include "ado/com/property_objects.h"

#include <new>

#include "ado/com/arguments.h"
#include "ado/com/failure.h"
#include "ado/com/item_enumerator.h"
#include "ado/com/out_values.h"
#include "jetsql/jet_text.h"

namespace ado_com {

HRESULT PropertyObject::get_Value(VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    return VariantCopy(value, &entry_.value.get());
}

HRESULT PropertyObject::put_Value(VARIANT) {
    return Refuse(kPropertyReadOnly, u"Property is read-only: '" + entry_.name + u"' describes the provider or the "
                                     u"open file, and this read-only connection sets none of its properties.");
}

HRESULT PropertyObject::get_Name(BSTR* name) { return GiveText(entry_.name, name); }
HRESULT PropertyObject::get_Type(long* type) { return GiveLong(entry_.type, type); }
HRESULT PropertyObject::get_Attributes(long* flags) { return GiveLong(entry_.attributes, flags); }

HRESULT PropertiesObject::get_Item(VARIANT index, Property** item) {
    if (!item) return E_POINTER;
    *item = nullptr;
    return Guard([&]() -> HRESULT {
        std::vector<PropertyEntry> list = list_();
        UniqueVariant v;
        if (FAILED(ArgumentValue(index, v.put()))) return Refuse(kInvalidArgument);
        std::size_t at = list.size();
        if (v.get().vt == VT_BSTR) {
            std::u16string_view name = BstrText(v.get().bstrVal);
            for (at = 0; at < list.size() && !jetsql::JetTextEqual(list[at].name, name);) ++at;
        } else {
            long position = -1;
            if (FAILED(ArgumentLong(v.get(), &position))) return Refuse(kInvalidArgument);
            if (position >= 0) at = std::size_t(position);
        }
        if (at >= list.size()) return Refuse(kItemNotFound);
        *item = MakeObject<PropertyObject>(std::move(list[at])).release();
        return S_OK;
    });
}

HRESULT PropertiesObject::get_Count(long* count) {
    if (!count) return E_POINTER;
    return Guard([&]() -> HRESULT {
        *count = long(list_().size());
        return S_OK;
    });
}

// The list is read afresh on every call: there is nothing to refresh.
HRESULT PropertiesObject::Refresh() { return S_OK; }

HRESULT PropertiesObject::get__NewEnum(IUnknown** items) {
    if (!items) return E_POINTER;
    *items = nullptr;
    return Guard([&]() -> HRESULT {
        std::vector<ComPtr<IDispatch>> list;
        for (PropertyEntry& entry : list_()) list.emplace_back(static_cast<Property*>(MakeObject<PropertyObject>(std::move(entry)).release()));
        return NewItemEnumerator(std::move(list), items);
    });
}

}  // namespace ado_com
