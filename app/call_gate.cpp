#include "app/call_gate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace app {
namespace {

// One int per index, so that a pack of indices becomes a list of int parameters.
template <std::size_t>
struct WordFor {
    using type = int;
};

// The callee removes its arguments, so it must get exactly count of them.
template <std::size_t... Index>
LRESULT CallCalleeCleans(FARPROC function, const int* arguments, std::index_sequence<Index...>) {
    using Stdcall = int(__stdcall*)(typename WordFor<Index>::type...);
    return reinterpret_cast<Stdcall>(reinterpret_cast<void*>(function))(arguments[Index]...);
}

using Caller = LRESULT (*)(FARPROC, const int*);

template <std::size_t Count>
LRESULT CallStdcall(FARPROC function, const int* arguments) {
    return CallCalleeCleans(function, arguments, std::make_index_sequence<Count>());
}

template <std::size_t... Count>
constexpr std::array<Caller, sizeof...(Count)> MakeCallers(std::index_sequence<Count...>) {
    return {&CallStdcall<Count>...};
}

// The caller removes the arguments, so passing every slot, the unused ones as 0, is
// harmless. (Kept apart from the stdcall path on purpose: GCC 12 at -O2 merged a cdecl
// and a stdcall call through the same argument list into one, keeping the stdcall
// stack adjustment for both.)
LRESULT CallCallerCleans(FARPROC function, const int* arguments, std::size_t count) {
    std::array<int, CallGateMaxArguments> words{};
    std::copy(arguments, arguments + count, words.begin());
    using Cdecl = int(__cdecl*)(int, int, int, int, int, int, int, int, int, int, int, int);
    return reinterpret_cast<Cdecl>(reinterpret_cast<void*>(function))(
        words[0], words[1], words[2], words[3], words[4], words[5], words[6], words[7], words[8], words[9],
        words[10], words[11]);
}

}  // namespace

LRESULT CALLBACK CallGate(HWND function, UINT arguments, WPARAM count, LPARAM cleanup) {
    static const auto callers = MakeCallers(std::make_index_sequence<CallGateMaxArguments + 1>());
    if (!function || count > static_cast<WPARAM>(CallGateMaxArguments)) return 0;
    if (count > 0 && arguments == 0) return 0;
    const auto* words = reinterpret_cast<const int*>(static_cast<std::uintptr_t>(arguments));
    const auto entry = reinterpret_cast<FARPROC>(function);
    if (cleanup != 0) return CallCallerCleans(entry, words, count);
    return callers[count](entry, words);
}

}  // namespace app
