#pragma once
// ADO's own error numbers (ErrorValueEnum) as the HRESULTs ADO raises, and the
// log that a connection's Errors collection shows.
#include <windows.h>

#include <memory>
#include <string>

namespace ado_com {

constexpr HRESULT AdoError(int number) { return HRESULT(0x800A0000u | unsigned(number)); }

const HRESULT kInvalidArgument = AdoError(3001);
const HRESULT kNoCurrentRecord = AdoError(3021);
const HRESULT kNotUpdatable = AdoError(3251);     // adErrFeatureNotAvailable
const HRESULT kItemNotFound = AdoError(3265);
const HRESULT kObjectClosed = AdoError(3704);
const HRESULT kObjectOpen = AdoError(3705);
const HRESULT kInvalidConnection = AdoError(3709);
const HRESULT kCommandFailed = HRESULT(0x80040E14u);  // DB_E_ERRORSINCOMMAND
const HRESULT kOpenFailed = E_FAIL;

// The connection's last error, shared with the Errors objects handed out.
struct ErrorLog {
    std::u16string text;
};
using SharedErrorLog = std::shared_ptr<ErrorLog>;

}  // namespace ado_com
