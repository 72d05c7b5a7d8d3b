// extract_header_constants [--mingw DIR]... [--wine DIR... | --no-wine] [--only UNIT]... [--jobs N] --out FILE
// Evaluates every integer constant of the mingw-w64 headers and of Wine's with
// libclang and writes them to FILE (data/header-constants.tsv.gz), which the
// database build reads. Slow (minutes): run by hand when the headers move on.
#include <cstdio>
#include <string>

#include "tools/header_sources.h"

int main(int argc, char** argv) {
    tools::SourceFolders folders;
    tools::EvaluationOptions options;
    std::string out;
    if (!tools::ParseSourceArguments(argc, argv, folders, options, out)) return 2;

    tools::HeaderConstants constants;
    std::string error;
    if (!tools::EvaluateHeaderSources(folders, options, constants, &error) ||
        !tools::WriteHeaderConstants(out, constants,
                                       "Integer constants of the Windows headers as a C compiler for 32-bit Windows evaluates\n"
                                       "them; see data/README.md. Written by tools/extract_header_constants; regenerate with\n"
                                       "  cmake --build build/builder --target regenerate_header_constants",
                                       &error)) {
        std::fprintf(stderr, "extract_header_constants: %s\n", error.c_str());
        return 1;
    }
    for (const tools::HeaderSource& s : constants.sources) {
        std::size_t failed = 0;
        for (const tools::HeaderUnit& u : s.units) failed += !u.error.empty();
        std::printf("%-10s %s: %zu units (%zu did not compile), %zu constants\n", s.name.c_str(), s.package.c_str(),
                    s.units.size(), failed, s.constants.size());
    }
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
