// build_constants_db [--headers DIR]... --out FILE
// Reads C headers (by default the mingw-w64 ones), evaluates every integer
// constant and writes them to an Access database, then reports what it found.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/build_database.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: build_constants_db [--headers DIR]... --out FILE\n");
    return 2;
}

void PrintReport(const constdb::BuildResult& r, const std::string& out) {
    const constdb::CollectReport& c = r.report;
    std::size_t skipped = 0;
    for (const auto& entry : c.skipped) skipped += entry.second;
    std::printf("headers read:        %zu\n", c.headersRead);
    std::printf("#define lines:       %zu\n", c.definitions);
    std::printf("enum members:        %zu\n", c.enumMembers);
    std::printf("constants kept:      %zu names, %zu rows\n", c.names, c.rows);
    std::printf("skipped:             %zu\n", skipped);
    for (const auto& [reason, count] : c.skipped) std::printf("  %-28s %zu\n", reason.c_str(), count);
    std::printf("#if taken as false:  %zu (not evaluable)\n", c.conditionsUnevaluated);
    std::printf("wrote %s (%ju bytes)\n", out.c_str(), r.fileSize);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> folders;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headers") == 0 && i + 1 < argc) folders.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) out = argv[++i];
        else return Usage();
    }
    if (out.empty()) return Usage();
    if (folders.empty()) folders.push_back(constdb::kDefaultHeaderFolder);

    constdb::BuildResult result;
    std::string error;
    if (!constdb::BuildConstantsDatabase(folders, out, result, &error)) {
        std::fprintf(stderr, "build_constants_db: %s\n", error.c_str());
        return 1;
    }
    PrintReport(result, out);
    return 0;
}
