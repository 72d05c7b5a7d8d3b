#pragma once
// Headers and the SDK metadata in, API常量.mdb out: the whole job, shared by the
// command and the benchmark.
#include <string>
#include <vector>

#include "tools/constant_collector.h"
#include "tools/sdk_merge.h"

namespace constdb {

// Debian's mingw-w64-common puts the Windows headers here.
constexpr const char* kDefaultHeaderFolder = "/usr/share/mingw-w64/include";

struct BuildInputs {
    std::vector<std::string> headerFolders;
    std::string sdkConstants;  // the metadata extract (data/); empty: the headers alone
    std::string differences;   // where the list of values that differ goes; empty: nowhere
};

struct BuildResult {
    CollectReport report;
    MergeReport merge;
    std::size_t names = 0;  // in the written table
    std::size_t rows = 0;
    std::uintmax_t fileSize = 0;
};

// False, with a reason, when no header could be read, the metadata cannot be
// read, or a file cannot be written.
bool BuildConstantsDatabase(const BuildInputs& inputs, const std::string& outPath, BuildResult& result, std::string* error);

}  // namespace constdb
