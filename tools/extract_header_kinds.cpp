// extract_header_kinds [--mingw DIR]... [--wine DIR... | --no-wine] [--only HEADER]... [--jobs N] --out FILE
// Evaluates the GUIDs, strings and property keys of the mingw-w64 headers and of
// Wine's with libclang and writes them to FILE (data/header-kinds.tsv.gz), which
// the database build reads. Slow (minutes): run by hand when the headers move on.
#include <cstdio>
#include <string>

#include "tools/kind_evaluator.h"

int main(int argc, char** argv) {
    tools::SourceFolders folders;
    tools::EvaluationOptions options;
    std::string out;
    if (!tools::ParseSourceArguments(argc, argv, folders, options, out)) return 2;

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
