#pragma once
// One row of the api_const table: a name, its value and where it was found.
#include <string>

#include "tools/int_value.h"

namespace tools {

constexpr std::size_t kMaxTextLength = 255;  // characters in a Jet text column, names included

struct Constant {
    std::string name;
    std::string valueText;  // as the value column stores it
    std::string file;       // 备注: the header's file name, or the metadata's namespace
    IntValue value;
};

}  // namespace tools
