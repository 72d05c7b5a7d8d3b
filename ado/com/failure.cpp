#include "ado/com/failure.h"

#include <oleauto.h>

#include <exception>
#include <new>

#include "ado/com/arguments.h"
#include "jetsql/data_source.h"
#include "jet/utf.h"

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
    case kInCollection: return u"Object is already in collection. Cannot append.";
    case kDataConversion: return u"Application uses a value of the wrong type for the current operation.";
    case kInvalidParamInfo:
        return u"Parameter object is improperly defined. Inconsistent or incomplete information was provided.";
    case kPropertyReadOnly: return u"Property is read-only.";
    case kNoCommandText: return u"Command text was not set for the command object.";
    case kParamUnavailable:
        return u"Provider cannot derive parameter information and SetParameterInfo has not been called.";
    case E_OUTOFMEMORY: return u"Out of memory.";
    default: return u"";
    }
}

FaultCode CodeOf(jetsql::SqlFault fault) {
    switch (fault) {
    case jetsql::SqlFault::Syntax:
    case jetsql::SqlFault::Unsupported: return {kCommandFailed, u"3000", 3000};
    case jetsql::SqlFault::ReadOnly: return {E_FAIL, u"3027", 3027};
    case jetsql::SqlFault::UnknownTable: return {kUnknownTable, u"3078", 3078};
    case jetsql::SqlFault::UnknownColumn:
    case jetsql::SqlFault::MissingParameter: return {kUnknownColumn, u"3061", 3061};
    case jetsql::SqlFault::TypeMismatch: return {kTypeMismatch, u"3464", 3464};
    case jetsql::SqlFault::Ambiguous: return {kCommandFailed, u"3079", 3079};
    case jetsql::SqlFault::NotAggregated: return {kCommandFailed, u"3122", 3122};
    case jetsql::SqlFault::ExtraParameter: return {kInvalidArgument, u"", 0};
    }
    return {kCommandFailed, u"3000", 3000};
}

FaultCode CodeOf(ado::RecordsetFault fault) {
    switch (fault) {
    case ado::RecordsetFault::BadArgument: return {kInvalidArgument, u"", 0};
    case ado::RecordsetFault::UnknownField: return {kItemNotFound, u"", 0};
    case ado::RecordsetFault::NoCurrentRecord: return {kNoCurrentRecord, u"", 0};
    }
    return {kInvalidArgument, u"", 0};
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

CaughtFailure FailureOfCaught() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return {E_OUTOFMEMORY, {}};
    } catch (const jetsql::DamagedFile& damaged) {
        return {E_FAIL, u"The database file could not be read: " + jet::Utf8ToUtf16(damaged.what())};
    } catch (const std::exception& fault) {
        return {E_UNEXPECTED, u"The component failed (a fault of its own, not of the file): " +
                                  jet::Utf8ToUtf16(fault.what())};
    } catch (...) {
        return {E_UNEXPECTED, u"The component failed (a fault of its own, not of the file)."};
    }
}

}  // namespace ado_com
