#pragma once
// Reads every function declaration and typedef name of a folder of Windows headers
// as a C compiler for 32-bit Windows does (libclang, target i686-w64-mingw32, as
// the constants' evaluator): <windows.h> in a translation unit of its own, then
// each other header in one that includes <windows.h> and then it. Types are kept
// as the headers spell them (clang's spelling of each parameter's declared type).
#include <string>
#include <vector>

#include "tools/header_functions.h"

namespace tools {

struct FunctionScanOptions {
    std::vector<std::string> folders;  // the include path; every *.h under it is a unit
    std::string package;               // where the headers come from, for the record
    std::string gnuVersion;            // the GCC the compiler presents itself as
    unsigned jobs = 2;
    std::vector<std::string> only;     // when not empty, the headers besides windows.h read
};

// False, with a reason, when no folder holds windows.h or libclang cannot parse at all.
bool ScanHeaderFunctions(const FunctionScanOptions& in, HeaderFunctions& out, std::string* error);

}  // namespace tools
