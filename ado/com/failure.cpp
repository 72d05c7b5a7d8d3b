#include "ado/com/failure.h"

#include <oleauto.h>

#include "ado/com/ado_errors.h"
#include "ado/com/owners.h"

namespace ado_com {
namespace {

struct Raised {
    HRESULT hr = S_OK;
    std::u16string description, source;
};
thread_local Raised lastRaised;

}  // namespace

const char16_t kProviderSource[] = u"Microsoft JET Database Engine";

const char16_t* AdoErrorText(HRESULT hr) {
    switch (hr) {
    case kInvalidArgument:
        return u"Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
    case kNoCurrentRecord:
        return u"Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
               u"current record.";
    case kNotUpdatable:
        return u"Current Recordset does not support updating. This may be a limitation of the provider, or of the "
               u"selected locktype.";
    case kItemNotFound: return u"Item cannot be found in the collection corresponding to the requested name or ordinal.";
    case kObjectClosed: return u"Operation is not allowed when the object is closed.";
    case kObjectOpen: return u"Operation is not allowed when the object is open.";
    case kInvalidConnection:
        return u"The connection cannot be used to perform this operation. It is either closed or invalid in this "
               u"context.";
    case kCantFetchBackwards: return u"Rowset does not support fetching backward.";
    case E_OUTOFMEMORY: return u"Out of memory.";
    default: return u"";
    }
}

HRESULT Raise(HRESULT hr, std::u16string_view description, std::u16string_view source, REFIID iid) {
    lastRaised.hr = hr;
    lastRaised.description = description.empty() ? std::u16string(AdoErrorText(hr)) : std::u16string(description);
    lastRaised.source = std::u16string(source);
    ComPtr<ICreateErrorInfo> made;
    if (SUCCEEDED(CreateErrorInfo(made.put()))) {
        made->SetGUID(iid);
        made->SetSource(const_cast<LPOLESTR>(Wide(lastRaised.source)));
        made->SetDescription(const_cast<LPOLESTR>(Wide(lastRaised.description)));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(made->QueryInterface(IID_IErrorInfo, info.put_void()))) SetErrorInfo(0, info.get());
    }
    return hr;
}

void ForgetRaised() { lastRaised = Raised(); }

bool TakeRaised(HRESULT hr, EXCEPINFO* out) {
    if (!out || lastRaised.hr != hr || SUCCEEDED(hr)) return false;
    *out = EXCEPINFO();
    out->scode = hr;
    out->bstrSource = NewBstr(lastRaised.source);
    out->bstrDescription = NewBstr(lastRaised.description);
    ForgetRaised();
    return true;
}

}  // namespace ado_com
