#pragma once
// InvokeByName: the late-bound call engine behind every ComObject call, and the
// status it leaves in the calling thread's slot.
#include <cstddef>
#include <cstdint>

#include "bridge/bridge_arg.h"
#include "core/types.h"

namespace bridge {

enum class CallKind : int { Get = 1, Put = 2, Method = 3 };

enum class CallStatus : std::int32_t {
    Ok = 0,
    EmptyObject = -1,
    NoDispatch = -2,
    NotBound = -3,
    NoTypeInfo = -4,
    TooManyArguments = -5,
    UnsupportedArgument = -7,
    ResultNotConvertible = -8,
    BadParamCount = -9,
    BadVarType = -10,
    ServerException = -11,
    MemberNotFound = -12,
    NoNamedArgs = -13,
    Overflow = -14,
    ParamNotFound = -15,
    TypeMismatch = -16,
    ParamNotOptional = -17,
    InvokeFailed = -18,
};

// result points to a variable of type resultType (nothing when resultType is
// TC_None); on failure it receives the empty value of that type. The status is
// also left in the calling thread's slot.
CallStatus InvokeByName(const ComObject& object, const Text& name, CallKind kind,
                        const BridgeArg* args, std::size_t count, std::uint32_t resultType,
                        void* result);

// The status of the calling thread's most recent InvokeByName.
CallStatus LastCallStatus();

}  // namespace bridge
