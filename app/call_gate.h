#pragma once
// A window procedure that calls a function with arguments from an array of
// pointer-sized words, for use through CallWindowProcA:
//   window  = the function's address
//   message = the number of arguments (at most CallGateMaxArguments)
//   wParam  = the address of the first argument word
//   lParam  = not 0 when the caller removes the arguments (cdecl); on x64, which
//             has one calling convention, it changes nothing
// Returns the function's result (32 bits on i686, 64 on x64), or 0 without a
// call when the address is null or the count is out of range.
#include <windows.h>

#include <cstdint>

namespace app {

constexpr int CallGateMaxArguments = 12;

// One argument: an int, or an address, widened to the size of an address.
using CallWord = std::intptr_t;

LRESULT CALLBACK CallGate(HWND function, UINT count, WPARAM arguments, LPARAM cleanup);

}  // namespace app
