#pragma once
// qalomir-find.exe run as a child process: its two output streams caught
// through pipes (as a script's redirection gets them), or its standard output
// given to a console the test reads back.
#include <windows.h>

#include <string>
#include <vector>

struct ConsoleRun {
    DWORD status = STILL_ACTIVE;
    std::string out, err;  // the bytes written
};

// Runs program with the arguments (UTF-8, each quoted) in folder (empty: the current one).
ConsoleRun RunCaptured(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder = std::string());

// Runs program with its standard output and error on a console of the test's
// own, and returns the text of that console's first lines.
bool RunOnConsole(const std::string& program, const std::vector<std::string>& arguments, std::u16string* shown);

// UTF-8 to the UTF-16 the W functions take.
std::wstring Wide(const std::string& utf8);
