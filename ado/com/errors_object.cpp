#include "ado/com/errors_object.h"

#include <new>

#include "ado/com/arguments.h"
#include "ado/com/item_enumerator.h"
#include "ado/com/out_values.h"

namespace ado_com {
HRESULT ErrorObject::get_Description(BSTR* text) { return GiveText(record_.description, text); }
HRESULT ErrorObject::get_Number(long* number) { return GiveLong(long(record_.number), number); }
HRESULT ErrorObject::get_Source(BSTR* source) { return GiveText(record_.source, source); }
HRESULT ErrorObject::get_SQLState(BSTR* state) { return GiveText(record_.sqlState, state); }
HRESULT ErrorObject::get_NativeError(long* code) { return GiveLong(record_.nativeError, code); }
HRESULT ErrorObject::get_HelpFile(BSTR* file) { return GiveText(u"", file); }
HRESULT ErrorObject::get_HelpContext(long* context) { return GiveLong(0, context); }

HRESULT ErrorsObject::get_Item(VARIANT index, VARIANT* item) {
    if (!item) return E_POINTER;
    VariantInit(item);
    if (IsMissing(index)) {
        // The collection read as a value: the text of what failed last.
        item->bstrVal = NewBstr(log_->LastText());
        if (!item->bstrVal) return E_OUTOFMEMORY;
        item->vt = VT_BSTR;
        return S_OK;
    }
    long position = 0;
    if (FAILED(ArgumentLong(index, &position))) return Refuse(kInvalidArgument);
    if (position < 0 || std::size_t(position) >= log_->records.size()) return Refuse(kItemNotFound);
    return Guard([&]() -> HRESULT {
        item->pdispVal = static_cast<Error*>(MakeObject<ErrorObject>(log_->records[std::size_t(position)]).release());
        item->vt = VT_DISPATCH;
        return S_OK;
    });
}

HRESULT ErrorsObject::get_Count(long* count) { return GiveLong(long(log_->records.size()), count); }

HRESULT ErrorsObject::Clear() {
    log_->records.clear();
    return S_OK;
}

HRESULT ErrorsObject::get_Description(BSTR* text) { return GiveText(log_->LastText(), text); }

HRESULT ErrorsObject::Refresh() { return S_OK; }

HRESULT ErrorsObject::get__NewEnum(IUnknown** items) {
    if (!items) return E_POINTER;
    *items = nullptr;
    return Guard([&]() -> HRESULT {
        std::vector<ComPtr<IDispatch>> list;
        for (const ErrorRecord& r : log_->records) list.emplace_back(MakeObject<ErrorObject>(r).release());
        return NewItemEnumerator(std::move(list), items);
    });
}

}  // namespace ado_com
