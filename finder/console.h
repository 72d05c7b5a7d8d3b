#pragma once
// The command's ends on each kind of host: its arguments as UTF-8, the folder
// it was started from, and standard output and error.
#include <memory>
#include <string>
#include <vector>

#include "finder/output.h"

namespace finder {

// On Windows the arguments are read as UTF-16 (GetCommandLineW), so names and
// paths in any script reach the command whole; argv elsewhere.
std::vector<std::string> ArgumentsUtf8(int argc, char** argv);
// The folder holding the program, with a separator at its end; empty when unknown.
std::string ProgramFolder();

// Standard output (err: standard error). On Windows a console is written in
// UTF-16 (WriteConsoleW), so Chinese shows whatever the console's code page;
// a file or a pipe receives UTF-8, the same bytes as on other hosts.
std::unique_ptr<Output> StandardStream(bool err);

}  // namespace finder
