#pragma once
// The header constants and the SDK metadata in, API常量.mdb out: the whole job,
// shared by the command and the benchmark.
#include <cstdint>
#include <string>

#include "tools/header_constants.h"
#include "tools/api_tables.h"
#include "tools/kind_tables.h"
#include "tools/source_merge.h"

namespace tools {

struct BuildInputs {
    std::string headerConstants;  // the headers' evaluated constants (data/); read when no headers are given
    std::string sdkConstants;     // the metadata extract (data/); empty: the headers alone
    std::string differences;      // where the list of names whose sources differ goes; empty: nowhere
    std::string sdkKinds;         // the metadata's GUIDs, strings and property keys (data/); empty: no api_kind_const
    std::string errorTexts;       // Wine's error texts (data/); empty: no api_error_text
    std::string sdkTypes;         // the metadata's functions and types (data/); empty: no such tables
    std::string typeDifferences;  // where the records whose headers and metadata differ go; empty: nowhere
    std::string headerLayouts;    // the headers' records as a compiler laid them out (data/); empty: C's rules alone
    std::string headerFunctions;  // the headers' function declarations (data/); empty: C spelled from the metadata
    std::string headerKinds;      // the headers' GUIDs, strings and property keys (data/); empty: the metadata's alone
};

struct BuildResult {
    MergeReport merge;
    std::size_t names = 0;  // in the written table
    std::size_t rows = 0;
    std::uintmax_t fileSize = 0;
    ApiTablesReport api;
    KindReport kinds;             // api_kind_const
    std::vector<std::string> kindOrigins;  // the header sources of its rows, as their !source lines give them
    ErrorTextCounts errorCounts;  // api_error_text against api_const's names
    std::size_t errorTextRows = 0;
};

// False, with a reason, when an input cannot be read, holds no constant, or a file
// cannot be written.
bool BuildConstantsDatabase(const BuildInputs& inputs, const std::string& outPath, BuildResult& result, std::string* error);

// The same from header constants already evaluated (inputs.headerConstants is not
// read); they are released once merged.
bool BuildConstantsDatabase(HeaderConstants headers, const BuildInputs& inputs, const std::string& outPath,
                            BuildResult& result, std::string* error);

}  // namespace tools
