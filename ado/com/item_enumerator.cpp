#include "ado/com/item_enumerator.h"

#include <memory>
#include <new>

#include "ado/com/dispatch_object.h"
#include "ado/com/module_object.h"

namespace ado_com {
namespace {

using Items = std::shared_ptr<const std::vector<ComPtr<IDispatch>>>;

class ItemEnumerator : public IEnumVARIANT, private ModuleObject {
public:
    ItemEnumerator(Items items, std::size_t next) : items_(std::move(items)), next_(next) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IEnumVARIANT) return E_NOINTERFACE;
        return Hand(static_cast<IEnumVARIANT*>(this), out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return DropReference(); }

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
        if (!out || (wanted > 1 && !fetched)) return E_POINTER;
        ULONG given = 0;
        for (; given < wanted && next_ < items_->size(); ++given, ++next_) {
            VariantInit(&out[given]);
            out[given].vt = VT_DISPATCH;
            out[given].pdispVal = ComPtr<IDispatch>::share((*items_)[next_].get()).release();
        }
        if (fetched) *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        std::size_t left = items_->size() - next_;
        next_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return Guarded([&]() -> HRESULT {
            *out = MakeObject<ItemEnumerator>(items_, next_).release();
            return S_OK;
        }, [](HRESULT hr, const std::u16string&) { return hr; });
    }

private:
    Items items_;
    std::size_t next_;
};

}  // namespace

HRESULT NewItemEnumerator(std::vector<ComPtr<IDispatch>> items, IUnknown** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    // An enumerator raises nothing: its failures are only returned.
    return Guarded([&]() -> HRESULT {
        auto shared = std::make_shared<const std::vector<ComPtr<IDispatch>>>(std::move(items));
        *out = static_cast<IEnumVARIANT*>(MakeObject<ItemEnumerator>(std::move(shared), 0).release());
        return S_OK;
    }, [](HRESULT hr, const std::u16string&) { return hr; });
}

}  // namespace ado_com
