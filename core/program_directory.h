#pragma once
// The program's own directory, captured once at start.
#include "core/types.h"

namespace core {

// Splits a full program path at its last backslash; a trail byte 0x5C of a
// double-byte character is not a backslash. No backslash: empty directory.
void SplitProgramPath(const Text& path, Text* dir, Text* file);

#ifdef _WIN32
// Reads the program file's path, stores its directory and makes it current.
void CaptureProgramDirectory();
// The directory without a trailing backslash.
Text ProgramDirectory();
#endif

}  // namespace core
