// extract_header_layouts [--mingw DIR]... [--only HEADER]... [--arch ARCH]... [--mingw-abi] [--jobs N] --out FILE
// Lays out every structure and union of the mingw-w64 headers with libclang, for
// i686 and x86_64, and writes them to FILE (data/header-layouts.tsv.gz). Slow
// (minutes): run by hand when the headers move on. --mingw-abi leaves mingw-w64's
// own defaults where they differ from the SDK's (for comparison).
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/header_sources.h"
#include "tools/layout_evaluator.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: extract_header_layouts [--mingw DIR]... [--only HEADER]... [--arch i686|x86_64]... [--mingw-abi] [--jobs N] "
                 "--out FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    tools::HeaderFolders in{"mingw-w64", "", {}, tools::kSdkAbiDefines, tools::kMingwGnuVersion};
    tools::LayoutOptions options;
    options.targets.clear();
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--mingw") == 0 && hasValue) in.folders.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--only") == 0 && hasValue) options.only.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--mingw-abi") == 0) in.defines.clear();
        else if (std::strcmp(argv[i], "--jobs") == 0 && hasValue) options.jobs = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue) out = argv[++i];
        else if (std::strcmp(argv[i], "--arch") == 0 && hasValue) {
            const std::string arch = argv[++i];
            bool known = false;
            for (const tools::LayoutTargetName& t : tools::kLayoutTargets)
                if (t.arch == arch) options.targets.push_back(t), known = true;
            if (!known) return Usage();
        } else {
            return Usage();
        }
    }
    if (out.empty() || options.jobs == 0) return Usage();
    if (options.targets.empty()) options.targets = tools::kLayoutTargets;
    if (in.folders.empty()) in.folders.push_back(tools::kMingwFolder);
    in.package = tools::InstalledPackage(in.folders[0]);

    tools::HeaderLayouts layouts;
    std::string error;
    if (!tools::EvaluateLayouts(in, options, layouts, &error) ||
        !tools::WriteHeaderLayouts(out, layouts,
                                     "The layout of every structure and union of the mingw-w64 headers as a C compiler for\n"
                                     "each Windows target lays it out; see data/README.md. Written by\n"
                                     "tools/extract_header_layouts; regenerate with\n"
                                     "  cmake --build build/builder --target regenerate_header_layouts",
                                     &error)) {
        std::fprintf(stderr, "extract_header_layouts: %s\n", error.c_str());
        return 1;
    }
    for (const tools::LayoutTarget& t : layouts.targets) {
        std::size_t nested = 0;
        for (const tools::LayoutRecord& r : t.records) nested += r.name.find('.') != std::string::npos;
        std::printf("%-7s %s: %zu units (%zu did not compile), %zu records (%zu of them nested without a tag)\n", t.arch.c_str(),
                    layouts.package.c_str(), t.units, t.failed.size(), t.records.size(), nested);
    }
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
