#pragma once
// The program file's path split into its directory and file name.
#include "core/types.h"

namespace core {

// Splits a full program path at its last backslash; a trail byte 0x5C of a
// double-byte character is not a backslash. No backslash: empty directory.
void SplitProgramPath(const Text& path, Text* dir, Text* file);

}  // namespace core
