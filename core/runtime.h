#pragma once
// Start and end of the program's run time (Windows).
#include "core/fatal_error.h"
#include "core/types.h"

namespace core {

// OLE, program directory, unresolved external table, fatal handler.
void StartRuntime();

// The routine run at a normal end (not after a fatal error). Null unregisters.
void RegisterExitRoutine(void (*routine)());

// Runs the exit routine, releases the external libraries, OleUninitialize, exits.
[[noreturn]] void EndProgram(int exitCode);

}  // namespace core
