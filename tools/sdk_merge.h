#pragma once
// Adds the Windows SDK metadata to the rows the headers gave: names the headers
// lack, and values that differ from theirs.
#include <string>
#include <vector>

#include "tools/constant_collector.h"
#include "tools/sdk_constants.h"

namespace constdb {

struct MergeReport {
    std::size_t headerNames = 0;
    std::size_t sdkNames = 0;      // distinct names in the metadata
    std::size_t sdkOnlyNames = 0;  // of which the headers lack
    std::size_t sdkOnlyRows = 0;
    std::size_t awResolved = 0;    // NAME given NAMEA's value rather than NAMEW's
    std::size_t differing = 0;     // names whose metadata value is not the header's first
    std::size_t differingRows = 0; // of which rows added, after the header's
    std::size_t tooLong = 0;       // names longer than the name column holds
    // One line per differing value: name, header value, metadata value, namespace, header.
    std::vector<std::string> differences;
};

// headerRows: sorted by name, a name's rows together, as CollectConstants gives them.
// The result keeps that order and every header row where it was, first for its name;
// a metadata row names its namespace where a header row names its file.
std::vector<Constant> MergeSdkConstants(std::vector<Constant> headerRows, const SdkConstants& sdk, MergeReport& report);

}  // namespace constdb
