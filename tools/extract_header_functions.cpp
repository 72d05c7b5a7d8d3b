// extract_header_functions [--mingw DIR]... [--only HEADER]... [--jobs N] --out FILE
// Reads every function declaration and typedef name of the mingw-w64 headers with
// libclang and writes them, their types as the headers spell them, to FILE
// (data/header-functions.tsv.gz), which the database build reads. Slow (minutes):
// run by hand when the headers move on.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/header_function_scan.h"
#include "tools/header_sources.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: extract_header_functions [--mingw DIR]... [--only HEADER]... [--jobs N] --out FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    tools::FunctionScanOptions options;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--mingw") == 0 && hasValue) options.folders.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--only") == 0 && hasValue) options.only.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--jobs") == 0 && hasValue) options.jobs = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue) out = argv[++i];
        else return Usage();
    }
    if (out.empty() || options.jobs == 0) return Usage();
    if (options.folders.empty()) options.folders.push_back(tools::kMingwFolder);
    options.package = tools::InstalledPackage(options.folders[0]);
    options.gnuVersion = tools::kMingwGnuVersion;  // as the GCC that builds the program reads them

    tools::HeaderFunctions functions;
    std::string error;
    if (!tools::ScanHeaderFunctions(options, functions, &error) ||
        !tools::WriteHeaderFunctions(out, functions,
                                       "The functions the mingw-w64 headers declare, their types as the headers spell them,\n"
                                       "and the typedef names they define; see data/README.md. Written by\n"
                                       "tools/extract_header_functions; regenerate with\n"
                                       "  cmake --build build/builder --target regenerate_header_functions",
                                       &error)) {
        std::fprintf(stderr, "extract_header_functions: %s\n", error.c_str());
        return 1;
    }
    std::size_t params = 0;
    for (const tools::HeaderFunction& f : functions.functions) params += f.params.size();
    std::printf("%s %s: %zu functions (%zu parameters), %zu typedef names; %zu units did not compile\n",
                functions.source.c_str(), functions.package.c_str(), functions.functions.size(), params,
                functions.typedefs.size(), functions.errors.size());
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
