#pragma once
// The GUIDs, strings and property keys of a folder of Windows headers, as a C
// compiler for 32-bit Windows gives them (libclang, target i686-w64-mingw32), unit
// by unit as header_evaluator.h evaluates the integers: <windows.h> alone, then
// each other header after it.
//   - With INITGUID defined, DEFINE_GUID, DEFINE_OLEGUID, EXTERN_GUID,
//     DEFINE_KNOWN_FOLDER, DEFINE_PROPERTYKEY and DEFINE_DEVPROPKEY define their
//     variables with initializers; every variable of type GUID, PROPERTYKEY or
//     DEVPROPKEY that has one is kept, its fields as the compiler evaluates them.
//     A GUID named IID_ is an iid, CLSID_ a clsid, any other a guid.
//   - Each own object-like macro whose body holds a string literal, or is one name,
//     initializes a variable; a string literal there is kept with the characters
//     the compiler made of it. Declared a second time with TEXT() (and tchar.h's
//     _T()) widening, a value that turns wide depends on UNICODE: its kind is
//     string, as is a NAME whose unit also gives NAMEA and NAMEW (WC_BUTTON). Every
//     other string is stringA or stringW, as its literal is narrow or wide.
#include <string>

#include "tools/header_evaluator.h"
#include "tools/header_sources.h"
#include "tools/kind_constants.h"

namespace tools {

struct KindEvaluation {
    std::size_t units = 0;
    std::vector<std::string> failed;  // "header: first error" of the units that did not compile
};

// out.origin is "SOURCE<TAB>PACKAGE<TAB>COMPILER", out.spaces the defining
// headers (paths under the folders), each (name, value, header) once: its kind
// from the best unit that gives it (header_constants.h's UnitRank), and from a unit
// that did not compile only where no unit that did gives the name. False, with a
// reason, when no folder holds windows.h or libclang cannot parse at all.
bool EvaluateHeaderKinds(const HeaderFolders& in, const EvaluationOptions& options, KindConstants& out,
                         KindEvaluation& report, std::string* error);

// Both sources, mingw-w64's then Wine's, each as header_sources.h evaluates the
// integers (Wine's with the version mingw-w64's <windows.h> settles on).
bool EvaluateKindSources(const SourceFolders& in, const EvaluationOptions& options, std::vector<KindConstants>& out,
                         std::vector<KindEvaluation>& reports, std::string* error);

}  // namespace tools
