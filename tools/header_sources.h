#pragma once
// The database's two header sources, evaluated for one target: the mingw-w64
// headers first, then Wine's, given the version macros (_WIN32_WINNT,
// NTDDI_VERSION, WINVER, _WIN32_IE) mingw-w64's <windows.h> settles on, so that
// version-dependent branches of both match.
#include <string>
#include <vector>

#include "tools/header_evaluator.h"

namespace tools {

// Debian's mingw-w64-common and libwine-dev put them here.
constexpr const char* kMingwFolder = "/usr/share/mingw-w64/include";
constexpr const char* kWineFolders[] = {"/usr/include/wine/wine/windows", "/usr/include/wine/wine/msvcrt"};
// Debian 12's i686-w64-mingw32-gcc, which builds the program, as its own macros
// give it (__GNUC__ 12, __GNUC_MINOR__ 0: the package is 12.2, the compiler says 12.0).
constexpr const char* kMingwGnuVersion = "12.0.0";

struct SourceFolders {
    std::vector<std::string> mingw;  // the first source
    std::vector<std::string> wine;   // the third; empty: none
    std::string mingwPackage;        // for the record
    std::string winePackage;
};

// "mingw-w64-common 10.0.0-3": the Debian package that installed a folder's windows.h.
std::string InstalledPackage(const std::string& folder);

// The -D arguments that give another source mingw-w64's target version.
std::vector<std::string> VersionDefines(const HeaderSource& mingw);

// False, with a reason, as EvaluateHeaders fails. options.only names headers of
// either source; each source evaluates those it has.
bool EvaluateHeaderSources(const SourceFolders& in, const EvaluationOptions& options, HeaderConstants& out, std::string* error);

// The command line of the programs that evaluate both sources:
//   [--mingw DIR]... [--wine DIR... | --no-wine] [--only UNIT]... [--jobs N] --out FILE
// Without --mingw (--wine) the installed folders; their packages are looked up.
// False, the usage line said on standard error, on bad arguments.
bool ParseSourceArguments(int argc, char** argv, SourceFolders& folders, EvaluationOptions& options, std::string& out);

}  // namespace tools
