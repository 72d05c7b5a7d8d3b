#pragma once
// The program's own directory, captured once at start (Windows).
#include "core/types.h"

namespace core {

// Reads the program file's path, stores its directory and makes it current.
void CaptureProgramDirectory();
// The directory without a trailing backslash.
Text ProgramDirectory();

}  // namespace core
