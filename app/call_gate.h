#pragma once
// A window procedure that calls a stdcall or cdecl function with arguments
// from an int array, for use through CallWindowProcA:
//   window  = the function's address
//   message = the address of the first of the int arguments
//   wParam  = the number of arguments (at most CallGateMaxArguments)
//   lParam  = not 0 when the caller removes the arguments (cdecl)
// Returns the function's 32-bit result, or 0 without a call when the address
// is null or the count is out of range.
#include <windows.h>

namespace app {

constexpr int CallGateMaxArguments = 12;

LRESULT CALLBACK CallGate(HWND function, UINT arguments, WPARAM count, LPARAM cleanup);

}  // namespace app
