#pragma once
// Lays out every structure and union a folder of Windows headers declares, as a C
// compiler for each Windows target does (libclang): <windows.h> in a translation
// unit of its own, then each other header in one that includes <windows.h> and
// then that header. Each record's size, alignment and fields come from the
// compiler's own record layout; nothing here computes one.
#include <string>
#include <vector>

#include "tools/header_evaluator.h"
#include "tools/header_layouts.h"

namespace tools {

// What the targets are evaluated with so that records are laid out as the Windows
// SDK lays them out where mingw-w64's defaults differ: 64-bit time_t on i686
// (mingw-w64 makes it 32-bit there unless told otherwise).
extern const std::vector<std::string> kSdkAbiDefines;

struct LayoutTargetName {
    std::string arch;    // "i686"
    std::string target;  // "i686-w64-mingw32"
};
extern const std::vector<LayoutTargetName> kLayoutTargets;  // i686, then x86_64

struct LayoutOptions {
    unsigned jobs = 2;                    // units evaluated at once
    std::vector<std::string> only;        // when not empty, the units besides windows.h: those of these headers the folders hold
    std::vector<LayoutTargetName> targets = kLayoutTargets;
};

// The records of every target, each (name) once per target: from <windows.h>'s own
// unit where it has it, else from the unit of the header that defines it, else
// from the first other unit, units that did not compile last. in.defines are given
// to the compiler (kSdkAbiDefines for the extract). False, with a reason, when no
// folder holds windows.h or libclang cannot parse at all.
bool EvaluateLayouts(const HeaderFolders& in, const LayoutOptions& options, HeaderLayouts& out, std::string* error);

}  // namespace tools
