#pragma once
// Headers in, API常量.mdb out: the whole job, shared by the command and the benchmark.
#include <string>
#include <vector>

#include "tools/constant_collector.h"

namespace constdb {

// Debian's mingw-w64-common puts the Windows headers here.
constexpr const char* kDefaultHeaderFolder = "/usr/share/mingw-w64/include";

struct BuildResult {
    CollectReport report;
    std::uintmax_t fileSize = 0;
};

// False, with a reason, when no header could be read or the file cannot be written.
bool BuildConstantsDatabase(const std::vector<std::string>& folders, const std::string& outPath, BuildResult& result,
                            std::string* error);

}  // namespace constdb
