#include "ado/com/errors_object.h"

#include "ado/com/owners.h"
#include "bridge/bstr.h"

namespace ado_com {

HRESULT ErrorsObject::get_Description(BSTR* text) {
    if (!text) return E_POINTER;
    *text = NewBstr(log_->text);
    return *text ? S_OK : E_OUTOFMEMORY;
}

HRESULT ErrorsObject::get_Count(long* count) {
    if (!count) return E_POINTER;
    *count = log_->text.empty() ? 0 : 1;
    return S_OK;
}

HRESULT ErrorsObject::Clear() {
    log_->text.clear();
    return S_OK;
}

}  // namespace ado_com
