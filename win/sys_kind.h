#pragma once
// The system kind of this build's type libraries: win32 for a 32-bit module, win64
// for a 64-bit one. It names the key RegisterTypeLib writes and seeds the name
// hashes type libraries are searched by.
#include <windows.h>
#include <oleauto.h>

namespace win {

constexpr SYSKIND kModuleSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

}  // namespace win
