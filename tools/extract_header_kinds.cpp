// extract_header_kinds [--mingw DIR]... [--wine DIR... | --no-wine] [--only HEADER]... [--jobs N] --out FILE
// Evaluates the GUIDs, strings and property keys of the mingw-w64 headers and of
// Wine's with libclang and writes them to FILE (data/header-kinds.tsv.gz), which
// the database build reads. Slow (minutes): run by hand when the headers move on.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/kind_evaluator.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: extract_header_kinds [--mingw DIR]... [--wine DIR... | --no-wine] [--only HEADER]... [--jobs N] --out FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    tools::SourceFolders folders;
    tools::EvaluationOptions options;
    std::string out;
    bool wine = true;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--mingw") == 0 && hasValue) folders.mingw.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--wine") == 0 && hasValue) folders.wine.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--no-wine") == 0) wine = false;
        else if (std::strcmp(argv[i], "--only") == 0 && hasValue) options.only.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--jobs") == 0 && hasValue) options.jobs = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue) out = argv[++i];
        else return Usage();
    }
    if (out.empty() || options.jobs == 0 || (!wine && !folders.wine.empty())) return Usage();
    if (folders.mingw.empty()) folders.mingw.push_back(tools::kMingwFolder);
    if (folders.wine.empty() && wine) folders.wine.assign(std::begin(tools::kWineFolders), std::end(tools::kWineFolders));
    folders.mingwPackage = tools::InstalledPackage(folders.mingw[0]);
    if (wine) folders.winePackage = tools::InstalledPackage(folders.wine[0]);

    std::vector<tools::KindConstants> sources;
    std::vector<tools::KindEvaluation> reports;
    std::string error;
    if (!tools::EvaluateKindSources(folders, options, sources, reports, &error) ||
        !tools::WriteKindSources(out, sources,
                                 "GUIDs, strings and property keys of the Windows headers as a C compiler for 32-bit\n"
                                 "Windows evaluates them; see data/README.md. Written by tools/extract_header_kinds;\n"
                                 "regenerate with\n"
                                 "  cmake --build build/builder --target regenerate_header_kinds\n"
                                 "KIND<TAB>NAME<TAB>VALUE[<TAB>PID] as in data/sdk-kinds.tsv.gz; \"@\" lines name the defining header",
                                 &error)) {
        std::fprintf(stderr, "extract_header_kinds: %s\n", error.c_str());
        return 1;
    }
    for (std::size_t s = 0; s < sources.size(); ++s) {
        std::printf("%s: %zu units (%zu did not compile), %zu records\n", sources[s].origin.c_str(), reports[s].units,
                    reports[s].failed.size(), sources[s].constants.size());
    }
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
