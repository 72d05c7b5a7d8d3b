#pragma once
// How a failed call reaches an automation caller: the thread's IErrorInfo
// (for callers that ask through ISupportErrorInfo) and the EXCEPINFO that
// Invoke fills from the same failure (what a script's Err object shows).
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

namespace ado_com {

// Sets the thread's error information and returns hr. An empty description
// takes ADO's own text for hr.
HRESULT Raise(HRESULT hr, std::u16string_view description, std::u16string_view source, REFIID iid);

// Invoke's side: forget what an earlier call raised, then, after a call failed
// with hr, fill *out from what that call raised. False when it raised nothing.
void ForgetRaised();
bool TakeRaised(HRESULT hr, EXCEPINFO* out);

}  // namespace ado_com
