#include "app/call_gate.h"

#include <algorithm>
#include <array>
#include <utility>

namespace app {
namespace {

// The caller removes the arguments, so passing every slot, the unused ones as 0, is
// harmless. (Kept apart from the stdcall path on purpose: GCC 12 at -O2 merged a cdecl
// and a stdcall call through the same argument list into one, keeping the stdcall
// stack adjustment for both.)
LRESULT CallCallerCleans(FARPROC function, const CallWord* arguments, std::size_t count) {
    std::array<CallWord, CallGateMaxArguments> words{};
    std::copy(arguments, arguments + count, words.begin());
    using Cdecl = CallWord(__cdecl*)(CallWord, CallWord, CallWord, CallWord, CallWord, CallWord, CallWord,
                                     CallWord, CallWord, CallWord, CallWord, CallWord);
    return reinterpret_cast<Cdecl>(reinterpret_cast<void*>(function))(
        words[0], words[1], words[2], words[3], words[4], words[5], words[6], words[7], words[8], words[9],
        words[10], words[11]);
}

#if defined(__i386__) || defined(_M_IX86)

// One word per index, so that a pack of indices becomes a list of word parameters.
template <std::size_t>
struct WordFor {
    using type = CallWord;
};

// The callee removes its arguments, so it must get exactly count of them.
template <std::size_t... Index>
LRESULT CallCalleeCleans(FARPROC function, const CallWord* arguments, std::index_sequence<Index...>) {
    using Stdcall = CallWord(__stdcall*)(typename WordFor<Index>::type...);
    return reinterpret_cast<Stdcall>(reinterpret_cast<void*>(function))(arguments[Index]...);
}

using Caller = LRESULT (*)(FARPROC, const CallWord*);

template <std::size_t Count>
LRESULT CallStdcall(FARPROC function, const CallWord* arguments) {
    return CallCalleeCleans(function, arguments, std::make_index_sequence<Count>());
}

template <std::size_t... Count>
constexpr std::array<Caller, sizeof...(Count)> MakeCallers(std::index_sequence<Count...>) {
    return {&CallStdcall<Count>...};
}

LRESULT CallWithConvention(FARPROC function, const CallWord* arguments, std::size_t count, bool callerCleans) {
    static const auto callers = MakeCallers(std::make_index_sequence<CallGateMaxArguments + 1>());
    if (callerCleans) return CallCallerCleans(function, arguments, count);
    return callers[count](function, arguments);
}

#else

// x64 has one calling convention, in which the caller always removes what it passed.
LRESULT CallWithConvention(FARPROC function, const CallWord* arguments, std::size_t count, bool) {
    return CallCallerCleans(function, arguments, count);
}

#endif

}  // namespace

LRESULT CALLBACK CallGate(HWND function, UINT count, WPARAM arguments, LPARAM cleanup) {
    if (!function || count > static_cast<UINT>(CallGateMaxArguments)) return 0;
    if (count > 0 && arguments == 0) return 0;
    return CallWithConvention(reinterpret_cast<FARPROC>(function), reinterpret_cast<const CallWord*>(arguments),
                              count, cleanup != 0);
}

}  // namespace app
