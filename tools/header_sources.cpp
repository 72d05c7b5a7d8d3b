#include "tools/header_sources.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tools {
namespace {

std::string FirstLineOf(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(command.c_str(), "r"), pclose);
    char line[512] = "";
    if (!p || !std::fgets(line, sizeof line, p.get())) return {};
    std::string s = line;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

}  // namespace

std::string InstalledPackage(const std::string& folder) {
    std::string owner = FirstLineOf("dpkg-query -S '" + folder + "/windows.h' 2>/dev/null");
    owner = owner.substr(0, owner.find(':'));
    if (owner.empty()) return "(not from a Debian package)";
    return FirstLineOf("dpkg-query -W -f='${Package} ${Version}' '" + owner + "' 2>/dev/null");
}

std::vector<std::string> VersionDefines(const HeaderSource& mingw) {
    std::vector<std::string> defines;
    for (const char* name : {"_WIN32_WINNT", "WINVER", "NTDDI_VERSION", "_WIN32_IE"})
        for (const HeaderConstant& c : mingw.constants) {
            if (c.unit != 0 || c.name != name) continue;
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(c.value.Raw() & 0xFFFFFFFFu));
            defines.push_back(std::string(name) + "=" + hex);
            break;
        }
    return defines;
}

bool EvaluateHeaderSources(const SourceFolders& in, const EvaluationOptions& options, HeaderConstants& out, std::string* error) {
    out = HeaderConstants{};
    HeaderSource mingw;
    // mingw-w64's headers as the GCC that builds the program reads them.
    if (!EvaluateHeaders({"mingw-w64", in.mingwPackage, in.mingw, {}, kMingwGnuVersion}, options, mingw, error)) return false;
    out.sources.push_back(std::move(mingw));
    if (in.wine.empty()) return true;
    HeaderSource wine;
    // Wine's as clang: as GCC 11 or later they declare deallocators with an attribute clang lacks.
    if (!EvaluateHeaders({"Wine", in.winePackage, in.wine, VersionDefines(out.sources[0]), {}}, options, wine, error)) return false;
    out.sources.push_back(std::move(wine));
    return true;
}

namespace {

// The usage line of a program that takes these arguments; false.
bool SourceUsage(const char* program) {
    const char* slash = std::strrchr(program, '/');
    std::fprintf(stderr, "usage: %s [--mingw DIR]... [--wine DIR... | --no-wine] [--only UNIT]... [--jobs N] --out FILE\n",
                 slash ? slash + 1 : program);
    return false;
}

}  // namespace

bool ParseSourceArguments(int argc, char** argv, SourceFolders& folders, EvaluationOptions& options, std::string& out) {
    bool wine = true;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--mingw") == 0 && hasValue) folders.mingw.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--wine") == 0 && hasValue) folders.wine.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--no-wine") == 0) wine = false;
        else if (std::strcmp(argv[i], "--only") == 0 && hasValue) options.only.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--jobs") == 0 && hasValue) options.jobs = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue) out = argv[++i];
        else return SourceUsage(argv[0]);
    }
    if (out.empty() || options.jobs == 0 || (!wine && !folders.wine.empty())) return SourceUsage(argv[0]);
    if (folders.mingw.empty()) folders.mingw.push_back(kMingwFolder);
    if (folders.wine.empty() && wine) folders.wine.assign(std::begin(kWineFolders), std::end(kWineFolders));
    folders.mingwPackage = InstalledPackage(folders.mingw[0]);
    if (wine) folders.winePackage = InstalledPackage(folders.wine[0]);
    return true;
}

}  // namespace tools
