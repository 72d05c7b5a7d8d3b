// Builds the constants database from the headers' evaluated constants and the SDK
// metadata and prints how long each step took, the peak resident memory and the
// file's size.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/writer.h"
#include "tools/build_database.h"
#include "tools/constants_table.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // KiB on Linux
}

bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string headersPath, sdkPath;
    std::string out = (std::filesystem::temp_directory_path() / "bench_constants.mdb").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--constants") == 0) headersPath = argv[i + 1];
        else if (std::strcmp(argv[i], "--sdk") == 0) sdkPath = argv[i + 1];
        else if (std::strcmp(argv[i], "--out") == 0) out = argv[i + 1];
    }
    if (headersPath.empty()) {
        std::fprintf(stderr, "usage: bench_constants_db --constants FILE [--sdk FILE] [--out FILE]\n");
        return 2;
    }

    std::string error;
    Clock::time_point start = Clock::now();
    tools::HeaderConstants headers;
    if (!tools::ReadHeaderConstants(headersPath, headers, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    double read = SecondsSince(start);

    Clock::time_point mergeStart = Clock::now();
    tools::SdkConstants sdk;
    if (!sdkPath.empty() && !tools::ReadSdkConstants(sdkPath, sdk, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    tools::MergeReport merge;
    std::vector<tools::Constant> constants = tools::MergeSources(headers, sdkPath.empty() ? nullptr : &sdk, merge);
    headers = tools::HeaderConstants{};
    sdk = tools::SdkConstants{};
    double mergeTime = SecondsSince(mergeStart);
    const std::size_t rows = constants.size();

    Clock::time_point writeStart = Clock::now();
    std::vector<jet::Table> tables;
    tables.push_back(tools::MakeConstantsTable(std::move(constants)));
    if (!jet::WriteDatabase(out, tables, &error)) {
        std::fprintf(stderr, "write failed: %s\n", error.c_str());
        return 1;
    }
    double write = SecondsSince(writeStart);
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(out, ec);

    std::printf("constants database benchmark%s\n", Sanitized() ? " (sanitizer build: figures inflated)" : "");
    std::printf("  names / rows        %zu / %zu%s\n", merge.names, rows, sdkPath.empty() ? " (no SDK metadata)" : "");
    std::printf("  read header extract %.2f s\n", read);
    std::printf("  read SDK and merge  %.2f s\n", mergeTime);
    std::printf("  write database      %.2f s\n", write);
    std::printf("  total               %.2f s\n", SecondsSince(start));
    std::printf("  peak RSS            %.1f MiB\n", PeakRssKiB() / 1024.0);
    std::printf("  file size           %ju bytes (%.1f MiB) %s\n", size, size / 1048576.0, out.c_str());
    return 0;
}
