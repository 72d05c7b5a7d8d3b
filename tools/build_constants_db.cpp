// build_constants_db [--headers DIR]... [--sdk FILE] [--differences FILE] --out FILE
// Reads C headers (by default the mingw-w64 ones), evaluates every integer
// constant, adds the Windows SDK metadata's names and values, writes them to an
// Access database, then reports what it found.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/build_database.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: build_constants_db [--headers DIR]... [--sdk FILE] [--differences FILE] --out FILE\n");
    return 2;
}

void PrintHeaderReport(const constdb::CollectReport& c) {
    std::size_t skipped = 0;
    for (const auto& entry : c.skipped) skipped += entry.second;
    std::printf("headers read:        %zu\n", c.headersRead);
    std::printf("#define lines:       %zu\n", c.definitions);
    std::printf("enum members:        %zu\n", c.enumMembers);
    std::printf("constants kept:      %zu names, %zu rows\n", c.names, c.rows);
    std::printf("skipped:             %zu\n", skipped);
    for (const auto& [reason, count] : c.skipped) std::printf("  %-28s %zu\n", reason.c_str(), count);
    std::printf("#if taken as false:  %zu (not evaluable)\n", c.conditionsUnevaluated);
}

void PrintMergeReport(const constdb::MergeReport& m, const constdb::BuildInputs& in) {
    std::printf("SDK metadata:        %zu names (%s)\n", m.sdkNames, in.sdkConstants.c_str());
    std::printf("  names from the headers        %zu\n", m.headerNames);
    std::printf("  names from the metadata only  %zu (%zu rows)\n", m.sdkOnlyNames, m.sdkOnlyRows);
    std::printf("  A/W resolved to the ANSI value %zu\n", m.awResolved);
    std::printf("  values that differ            %zu (%zu rows added)%s%s\n", m.differing, m.differingRows,
                in.differences.empty() ? "" : ", listed in ", in.differences.c_str());
    if (m.tooLong) std::printf("  names too long, left out      %zu\n", m.tooLong);
}

}  // namespace

int main(int argc, char** argv) {
    constdb::BuildInputs in;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--headers") == 0 && hasValue) in.headerFolders.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--sdk") == 0 && hasValue) in.sdkConstants = argv[++i];
        else if (std::strcmp(argv[i], "--differences") == 0 && hasValue) in.differences = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue) out = argv[++i];
        else return Usage();
    }
    if (out.empty()) return Usage();
    if (in.headerFolders.empty()) in.headerFolders.push_back(constdb::kDefaultHeaderFolder);

    constdb::BuildResult result;
    std::string error;
    if (!constdb::BuildConstantsDatabase(in, out, result, &error)) {
        std::fprintf(stderr, "build_constants_db: %s\n", error.c_str());
        return 1;
    }
    PrintHeaderReport(result.report);
    if (!in.sdkConstants.empty()) PrintMergeReport(result.merge, in);
    std::printf("wrote %s: %zu names, %zu rows (%ju bytes)\n", out.c_str(), result.names, result.rows, result.fileSize);
    return 0;
}
