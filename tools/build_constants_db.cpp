// build_constants_db [--constants FILE | --headers DIR... [--wine-headers DIR...]] [--sdk FILE]
//                    [--differences FILE] [--types FILE [--layouts FILE] [--functions FILE] [--type-differences FILE]]
//                    [--kinds FILE [--header-kinds FILE]] [--error-texts FILE] --out FILE
// Merges the headers' constants (as a compiler evaluated them: the extract in data/,
// or the folders given, evaluated now) with the Windows SDK metadata's, writes them
// to an Access database, then reports what it found.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/build_database.h"
#include "tools/header_sources.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: build_constants_db [--constants FILE | --headers DIR... [--wine-headers DIR...]] [--sdk FILE]\n"
                 "                          [--differences FILE] [--types FILE [--layouts FILE] [--functions FILE]\n"
                 "                          [--type-differences FILE]] [--kinds FILE [--header-kinds FILE]] [--error-texts FILE]\n"
                 "                          --out FILE\n");
    return 2;
}

// The folders evaluated by extract_header_constants (which needs libclang), into a
// file beside the database, read back and removed.
bool EvaluateNow(const tools::SourceFolders& folders, const std::string& out, tools::HeaderConstants& headers,
                 std::string* error) {
#if defined(QALOMIR_EXTRACT_HEADER_CONSTANTS)
    const std::string evaluated = out + ".headers.tsv.gz";
    std::vector<std::string> args = {QALOMIR_EXTRACT_HEADER_CONSTANTS};
    for (const std::string& d : folders.mingw) args.insert(args.end(), {"--mingw", d});
    for (const std::string& d : folders.wine) args.insert(args.end(), {"--wine", d});
    if (folders.wine.empty()) args.push_back("--no-wine");
    args.insert(args.end(), {"--out", evaluated});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0 || waitpid(child, &status, 0) != child ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        if (error) *error = std::string("evaluating the headers failed: ") + QALOMIR_EXTRACT_HEADER_CONSTANTS;
        return false;
    }
    const bool read = tools::ReadHeaderConstants(evaluated, headers, error);
    std::remove(evaluated.c_str());
    return read;
#else
    (void)folders;
    (void)out;
    (void)headers;
    if (error) *error = "this build cannot evaluate headers (libclang was not found when it was configured); use --constants";
    return false;
#endif
}

void PrintList(const std::vector<std::string>& items) {
    std::size_t column = 4;
    std::printf("    ");
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = items[i] + (i + 1 < items.size() ? "," : "");
        if (column + item.size() > 100) {
            std::printf("\n    ");
            column = 4;
        }
        std::printf("%s ", item.c_str());
        column += item.size() + 1;
    }
    std::printf("\n");
}

void PrintApiReport(const tools::ApiTablesReport& a, const tools::BuildInputs& in) {
    std::printf("functions %zu, methods %zu, callbacks %zu, parameters %zu; type rows %zu, fields %zu\n", a.functions,
                a.methods, a.callbacks, a.params, a.types, a.fields);
    std::printf("records          %-10s %-10s\n", "i686", "x86_64");
    const auto row = [](const char* what, const std::array<std::size_t, 2>& n) {
        std::printf("  %-14s %-10zu %-10zu\n", what, n[0], n[1]);
    };
    row("compiler", a.compiler);
    row("computed", a.computed);
    row("no layout", a.unsized);
    row("other size", a.otherSize);
    row("other fields", a.otherFields);
    if (!in.headerFunctions.empty())
        std::printf("DLL function rows the headers declare: %zu (parameters counted otherwise: %zu)\n", a.headerDeclared,
                    a.headerOtherCount);
    if (!in.typeDifferences.empty())
        std::printf("records whose headers and metadata differ: %zu lines in %s\n", a.differences.size(),
                    in.typeDifferences.c_str());
}

void PrintReport(const tools::BuildResult& r, const tools::BuildInputs& in) {
    const tools::MergeReport& m = r.merge;
    std::printf("header sources:\n");
    for (std::size_t s = 0; s < m.origins.size(); ++s) std::printf("  %-10s %s\n", m.sources[s].c_str(), m.origins[s].c_str());
    std::printf("names per source:\n");
    for (std::size_t s = 0; s < m.sources.size(); ++s)
        std::printf("  %-32s %zu (only there: %zu)\n", m.sources[s].c_str(), m.sourceNames[s], m.onlyHere[s]);
    std::printf("first row agrees with the source's first value:\n");
    for (std::size_t s = 0; s < m.sources.size(); ++s)
        std::printf("  %-32s %zu of %zu (%.2f%%)\n", m.sources[s].c_str(), m.firstAgrees[s], m.sourceNames[s],
                    m.sourceNames[s] ? 100.0 * double(m.firstAgrees[s]) / double(m.sourceNames[s]) : 0.0);
    std::printf("first row of the names two or more sources give:\n");
    for (std::size_t d = 0; d < m.decisions.size(); ++d)
        std::printf("  %-32s %zu\n", tools::DecisionText(static_cast<tools::Decision>(d)), m.decisions[d]);
    if (!in.sdkConstants.empty()) std::printf("  metadata A/W resolved to ANSI    %zu\n", m.awResolved);
    if (m.tooLong) std::printf("names too long, left out           %zu\n", m.tooLong);
    std::printf("headers not compilable after <windows.h> (or after the headers they need):\n");
    for (std::size_t s = 0; s < m.notCompilable.size(); ++s) {
        std::vector<std::string> names;
        for (const std::string& line : m.notCompilable[s]) names.push_back(line.substr(0, line.find(':')));
        std::printf("  %s: %zu\n", m.sources[s].c_str(), names.size());
        if (!names.empty()) PrintList(names);
    }
    if (!in.differences.empty()) std::printf("names whose sources differ: %zu, listed in %s\n", m.differences.size(), in.differences.c_str());
    if (!in.sdkTypes.empty()) PrintApiReport(r.api, in);
}

void PrintKindReport(const tools::BuildResult& r, const tools::BuildInputs& in) {
    if (!in.sdkKinds.empty()) {
        const tools::KindReport& k = r.kinds;
        std::printf("GUIDs, strings and property keys (api_kind_const): %zu names, %zu rows\n", k.names, k.rows);
        static const char* const kinds[] = {"guid", "iid", "clsid", "string", "propkey", "devpropkey"};
        for (std::size_t i = 0; i < k.perKind.size(); ++i) std::printf("  %-30s %zu\n", kinds[i], k.perKind[i]);
        for (const std::string& origin : r.kindOrigins) std::printf("  header source %s\n", origin.c_str());
        for (std::size_t s = 0; s < k.sources.size(); ++s)
            std::printf("  from %-25s %zu (only there: %zu; first row agrees: %zu, %.2f%%)\n", k.sources[s].c_str(),
                        k.sourceNames[s], k.onlyHere[s], k.firstAgrees[s],
                        k.sourceNames[s] ? 100.0 * double(k.firstAgrees[s]) / double(k.sourceNames[s]) : 0.0);
        std::printf("  agreed %zu, majority %zu, no majority %zu; left out as too long %zu\n", k.decisions[0], k.decisions[1],
                    k.decisions[2], k.tooLong);
    }
    if (!in.errorTexts.empty()) {
        const tools::ErrorTextCounts& e = r.errorCounts;
        std::printf("error texts (api_error_text): %zu\n", r.errorTextRows);
        std::printf("  ERROR_ names with a text         %zu of %zu\n", e.win32WithText, e.win32Names);
        std::printf("  HRESULT names with a text        %zu of %zu (%zu through their Win32 code)\n", e.hresultWithText,
                    e.hresultNames, e.hresultThroughWin32);
        std::printf("  NTSTATUS names with a text       %zu of %zu\n", e.ntstatusWithText, e.ntstatusNames);
    }
}

}  // namespace

int main(int argc, char** argv) {
    tools::BuildInputs in;
    tools::SourceFolders folders;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--constants") == 0 && hasValue) in.headerConstants = argv[++i];
        else if (std::strcmp(argv[i], "--headers") == 0 && hasValue) folders.mingw.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--wine-headers") == 0 && hasValue) folders.wine.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--sdk") == 0 && hasValue) in.sdkConstants = argv[++i];
        else if (std::strcmp(argv[i], "--differences") == 0 && hasValue) in.differences = argv[++i];
        else if (std::strcmp(argv[i], "--types") == 0 && hasValue) in.sdkTypes = argv[++i];
        else if (std::strcmp(argv[i], "--type-differences") == 0 && hasValue) in.typeDifferences = argv[++i];
        else if (std::strcmp(argv[i], "--layouts") == 0 && hasValue) in.headerLayouts = argv[++i];
        else if (std::strcmp(argv[i], "--functions") == 0 && hasValue) in.headerFunctions = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue) out = argv[++i];
        else if (std::strcmp(argv[i], "--kinds") == 0 && hasValue) in.sdkKinds = argv[++i];
        else if (std::strcmp(argv[i], "--header-kinds") == 0 && hasValue) in.headerKinds = argv[++i];
        else if (std::strcmp(argv[i], "--error-texts") == 0 && hasValue) in.errorTexts = argv[++i];
        else return Usage();
    }
    const bool now = !folders.mingw.empty();
    if (out.empty() || (now && !in.headerConstants.empty()) || (!now && !folders.wine.empty())) return Usage();
    if (!now && in.headerConstants.empty()) in.headerConstants = QALOMIR_HEADER_CONSTANTS;

    tools::HeaderConstants headers;
    tools::BuildResult result;
    std::string error;
    const bool ok = now ? EvaluateNow(folders, out, headers, &error) : tools::ReadHeaderConstants(in.headerConstants, headers, &error);
    if (!ok || !tools::BuildConstantsDatabase(std::move(headers), in, out, result, &error)) {
        std::fprintf(stderr, "build_constants_db: %s\n", error.c_str());
        return 1;
    }
    PrintReport(result, in);
    PrintKindReport(result, in);
    std::printf("wrote %s: %zu names, %zu rows (%ju bytes)\n", out.c_str(), result.names, result.rows, result.fileSize);
    return 0;
}
