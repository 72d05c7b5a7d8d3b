#pragma once
// qalomir-find's whole run, apart from where its arguments come from and
// where its text goes (finder/find_main.cpp): the tests run it in-process.
#include <string>
#include <vector>

#include "finder/output.h"

namespace finder {

enum ExitStatus { kFound = 0, kNotFound = 1, kFailed = 2 };

// args without the program's name; UTF-8. A failure is one line on err.
int RunFind(const std::vector<std::string>& args, const std::string& defaultDatabase, Output& out, Output& err);

extern const char kUsage[];

}  // namespace finder
