#pragma once
// Evaluates every integer constant of a folder of Windows headers as a C compiler
// for 32-bit Windows does (libclang, target i686-w64-mingw32): <windows.h> in a
// translation unit of its own, then each other header in one that includes
// <windows.h> and then that header. Object-like macros and enum members are
// evaluated, sizeof and pointer casts included; the names a unit adds to what
// <windows.h> defines are its own.
#include <string>
#include <vector>

#include "tools/header_constants.h"

namespace tools {

struct HeaderFolders {
    std::string source;                // "mingw-w64", "Wine"
    std::string package;               // where the headers come from, for the record
    std::vector<std::string> folders;  // the include path; every *.h and *.rh under it is a unit
    std::vector<std::string> defines;  // NAME=VALUE, given to the compiler
    std::string gnuVersion;            // the GCC the compiler presents itself as; empty: clang's own choice
};

struct EvaluationOptions {
    unsigned jobs = 2;                // units evaluated at once
    std::vector<std::string> only;    // when not empty, the units besides windows.h: those of these headers the folders hold
};

// A source's constants, each (name, value, file) once: from <windows.h>'s own unit
// where it has it, else from the unit of the header that defines it, else from
// the first other unit, units that did not compile last. False, with a reason, when
// no folder holds windows.h or libclang cannot parse at all.
bool EvaluateHeaders(const HeaderFolders& in, const EvaluationOptions& options, HeaderSource& out, std::string* error);

// What evaluates them: libclang's version, the target and the GCC it presents itself as.
std::string CompilerDescription(const HeaderFolders& in);

}  // namespace tools
