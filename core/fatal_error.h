#pragma once
// The one path by which the program gives up. Portable code calls FatalError;
// the Windows runtime installs the handler that shows the dialog and ends the
// process. Without a handler the process aborts.
#include "core/types.h"

namespace core {

using FatalHandler = void (*)(int number, const Text& message);

// Installs the handler and returns the previous one.
FatalHandler SetFatalHandler(FatalHandler handler);

[[noreturn]] void FatalError(int number, const Text& message);

// The dialog's text: "运行时出错!", then the optional number and message lines.
Text FatalErrorText(int number, const Text& message);

// The message for an allocation of the given size that failed.
Text AllocationFailureMessage(long long size);

}  // namespace core
