#include "app/call_gate.h"

#include <array>
#include <cstdint>
#include <utility>

namespace {

template <std::size_t>
using Word = int;

// The function called with count int arguments taken from the array in order:
// stdcall when the callee removes them, cdecl when the caller does.
template <std::size_t... Index>
LRESULT CallWithArguments(FARPROC function, const int* arguments, bool callerCleans,
                          std::index_sequence<Index...>) {
    using Stdcall = int(__stdcall*)(Word<Index>...);
    using Cdecl = int(__cdecl*)(Word<Index>...);
    void* entry = reinterpret_cast<void*>(function);
    if (callerCleans) return reinterpret_cast<Cdecl>(entry)(arguments[Index]...);
    return reinterpret_cast<Stdcall>(entry)(arguments[Index]...);
}

using Caller = LRESULT (*)(FARPROC, const int*, bool);

template <std::size_t Count>
LRESULT CallWith(FARPROC function, const int* arguments, bool callerCleans) {
    return CallWithArguments(function, arguments, callerCleans, std::make_index_sequence<Count>());
}

template <std::size_t... Count>
constexpr std::array<Caller, sizeof...(Count)> MakeCallers(std::index_sequence<Count...>) {
    return {&CallWith<Count>...};
}

}  // namespace

LRESULT CALLBACK CallGate(HWND function, UINT arguments, WPARAM count, LPARAM cleanup) {
    static const auto callers = MakeCallers(std::make_index_sequence<CallGateMaxArguments + 1>());
    if (!function || count > static_cast<WPARAM>(CallGateMaxArguments)) return 0;
    if (count > 0 && arguments == 0) return 0;
    const auto* words = reinterpret_cast<const int*>(static_cast<std::uintptr_t>(arguments));
    return callers[count](reinterpret_cast<FARPROC>(function), words, cleanup != 0);
}
