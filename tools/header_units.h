#pragma once
// How every evaluation of the headers sets up its translation units: the compiler's
// arguments for a target, <windows.h> parsed once and saved precompiled, and the
// source of a unit that includes it and then its own headers.
#include <clang-c/Index.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "tools/clang_unit.h"
#include "tools/header_evaluator.h"
#include "tools/header_folders.h"

namespace tools {

// The target every evaluation of the headers compiles for: 32-bit Windows, the product's.
constexpr const char* kHeaderTarget = "i686-w64-mingw32";

// C for `target`, the folders as the system include path, the source's defines.
std::vector<std::string> UnitCompilerArgs(const HeaderFolders& in, const Folders& folders, const std::string& target);

// <windows.h> alone, as a header to precompile; null, with libclang's reason, when
// it could not even be parsed.
clang::Unit ParseBaseUnit(CXIndex index, const std::string& name, std::vector<std::string> args, unsigned flags,
                          std::string* error);

// Saves the base unit to `path`; false when it had errors (a header with errors
// cannot be saved) or could not be written: every unit then reads <windows.h> itself.
bool SavePrecompiled(CXTranslationUnit base, const Folders& folders, const std::string& path);

// A unit's source: <windows.h> unless precompiled, then each header.
std::string UnitIncludes(const std::string& pch, const std::vector<std::string>& headers);

// The arguments of a unit that reads <windows.h> precompiled, where it is.
std::vector<std::string> WithPrecompiled(std::vector<std::string> args, const std::string& pch);

// Which cursors are a unit's own. Reading <windows.h>'s unit (no base), every one
// is, and its places are kept; reading another unit, those <windows.h>'s did not meet.
class OwnPlaces {
public:
    explicit OwnPlaces(const std::unordered_set<std::string>* base) : base_(base) {}
    bool Own(const clang::Place& p);
    // The places <windows.h>'s unit met, for the units after it.
    std::unordered_set<std::string> Take() { return std::move(met_); }

private:
    const std::unordered_set<std::string>* base_;
    std::unordered_set<std::string> met_;
};

}  // namespace tools
