#pragma once
// Turns what the header walk met into constants: every #define and enum member
// whose value is an integer, one row per distinct name and value.
#include <map>
#include <string>
#include <vector>

#include "tools/header_set.h"
#include "tools/int_value.h"

namespace constdb {

constexpr std::size_t kMaxTextLength = 255;  // characters in a Jet text column, names included

struct Constant {
    std::string name;
    std::string valueText;  // as the value column stores it
    std::string file;       // the header's file name
    IntValue value;
    bool windowsH = false;  // the value a 32-bit program including <windows.h> sees
};

struct CollectReport {
    std::size_t headersRead = 0;
    std::size_t definitions = 0;   // #define lines met, all branches
    std::size_t enumMembers = 0;
    std::size_t names = 0;         // distinct names kept
    std::size_t rows = 0;
    std::size_t conditionsUnevaluated = 0;
    std::map<std::string, std::size_t> skipped;  // reason -> definitions or members
};

// Rows are sorted by name; a name's rows begin with the value a 32-bit program
// that includes <windows.h> sees.
std::vector<Constant> CollectConstants(const HeaderSet& headers, CollectReport* report = nullptr);

// Reads the folders and collects in one step.
std::vector<Constant> CollectConstantsFromFolders(const std::vector<std::string>& folders, CollectReport* report = nullptr);

}  // namespace constdb
