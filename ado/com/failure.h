#pragma once
// The errors the component raises: ADO's own numbers (ErrorValueEnum) as the
// HRESULTs ADO raises, the provider's codes as Jet gives them through OLE DB,
// and the log that a connection's Errors collection shows. How a failed call
// reaches an automation caller: the thread's IErrorInfo (for callers that ask
// through ISupportErrorInfo) and the EXCEPINFO that Invoke fills from the same
// failure (what a script's Err object shows).
#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ado/recordset_error.h"
#include "jetsql/sql.h"

namespace ado_com {

constexpr HRESULT AdoError(int number) { return HRESULT(0x800A0000u | unsigned(number)); }

const HRESULT kInvalidArgument = AdoError(3001);
const HRESULT kNoCurrentRecord = AdoError(3021);
const HRESULT kNotAvailable = AdoError(3251);     // adErrFeatureNotAvailable
const HRESULT kNotUpdatable = kNotAvailable;      // ADO's text for it when nothing else is said
const HRESULT kItemNotFound = AdoError(3265);
const HRESULT kInCollection = AdoError(3367);     // adErrObjectInCollection
const HRESULT kDataConversion = AdoError(3421);   // adErrDataConversion
const HRESULT kObjectClosed = AdoError(3704);
const HRESULT kObjectOpen = AdoError(3705);
const HRESULT kInvalidParamInfo = AdoError(3708);
const HRESULT kInvalidConnection = AdoError(3709);
const HRESULT kPropertyReadOnly = AdoError(3745);  // adErrPropNotSettable
const HRESULT kNoCommandText = HRESULT(0x80040E0Cu);   // DB_E_NOCOMMAND
const HRESULT kParamUnavailable = HRESULT(0x80040E51u);  // DB_E_PARAMUNAVAILABLE: types not derivable
const HRESULT kCommandFailed = HRESULT(0x80040E14u);   // DB_E_ERRORSINCOMMAND: syntax
const HRESULT kUnknownColumn = HRESULT(0x80040E10u);   // DB_E_PARAMNOTOPTIONAL: Jet's answer to a name it does not know
const HRESULT kUnknownTable = HRESULT(0x80040E37u);    // DB_E_NOTABLE
const HRESULT kTypeMismatch = HRESULT(0x80040E07u);    // DB_E_CANTCONVERTVALUE
const HRESULT kCantFetchBackwards = HRESULT(0x80040E24u);  // DB_E_CANTFETCHBACKWARDS
const HRESULT kOpenFailed = E_FAIL;

// ADO's own text for one of its numbers above; empty for others.
const char16_t* AdoErrorText(HRESULT hr);

// How a refusal surfaces: the HRESULT, and for the engine's faults Jet's
// error number (Error.SQLState and NativeError); the record set's own are
// ADO's numbers, which carry no SQLState.
struct FaultCode {
    HRESULT hr;
    const char16_t* sqlState;
    long native;
};
FaultCode CodeOf(jetsql::SqlFault fault);
FaultCode CodeOf(ado::RecordsetFault fault);

// Who raised an error, as Error.Source and IErrorInfo give it.
extern const char16_t kProviderSource[];  // the database engine

// One entry of the Errors collection.
struct ErrorRecord {
    HRESULT number = S_OK;
    std::u16string description;
    std::u16string source;
    std::u16string sqlState;
    long nativeError = 0;
};

// The errors of a connection's last operation, shared with the Errors objects handed out.
struct ErrorLog {
    std::vector<ErrorRecord> records;
    std::u16string LastText() const { return records.empty() ? std::u16string() : records.back().description; }
};
using SharedErrorLog = std::shared_ptr<ErrorLog>;

// Sets the thread's error information and returns hr. An empty description
// takes ADO's own text for hr.
HRESULT Raise(HRESULT hr, std::u16string_view description, std::u16string_view source, REFIID iid);

// Invoke's side: forget what an earlier call raised, then, after a call failed
// with hr, fill *out from what that call raised. False when it raised nothing.
void ForgetRaised();
bool TakeRaised(HRESULT hr, EXCEPINFO* out);

// What a call threw, as the failure it returns: out of memory is E_OUTOFMEMORY
// (no text: the reporter's own), a damaged file (jetsql::DamagedFile) E_FAIL
// with "The database file could not be read: ...", anything else a fault of
// the component, E_UNEXPECTED saying so. Only inside a catch block.
struct CaughtFailure {
    HRESULT hr;
    std::u16string text;
};
CaughtFailure FailureOfCaught();

// The component's one place that catches, as WIL's CATCH_RETURN: runs body
// (which returns an HRESULT) and turns whatever it throws into
// report(hr, text), which raises it the way the object reports; a report that
// itself runs out of memory gives E_OUTOFMEMORY.
template <class Body, class Report>
HRESULT Guarded(Body&& body, Report&& report) noexcept {
    try {
        return body();
    } catch (...) {
        try {
            const CaughtFailure caught = FailureOfCaught();
            return report(caught.hr, caught.text);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
}

}  // namespace ado_com
