#pragma once
// The folders a set of headers lives in, as the evaluators walk them: the include
// path of every unit, and every *.h and *.rh under it.
#include <clang-c/Index.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace tools {

class Folders {
public:
    explicit Folders(const std::vector<std::string>& folders);

    const std::vector<std::string>& Roots() const { return roots_; }

    // The path under the first folder that holds it; empty when none does.
    std::string Relative(const std::string& path) const;

    bool Holds(const std::string& header) const;

    // Every *.h and *.rh but <windows.h>, the first folder's where two hold the same path, sorted.
    std::vector<std::string> Headers() const;

private:
    std::vector<std::string> roots_;
};

// Folders::Relative remembered per path: it is asked for each of the many cursors
// of a few hundred files.
class RelativePaths {
public:
    explicit RelativePaths(const Folders& folders) : folders_(folders) {}
    const std::string& Of(const std::string& path);

private:
    const Folders& folders_;
    std::unordered_map<std::string, std::string> known_;
};

// Text on one line: tabs and line ends become spaces.
std::string OneLine(std::string text);

// A unit's first error as "winuser.h:12: message", the file under the folders
// where it is there; empty when the unit has none.
std::string ErrorText(CXTranslationUnit unit, const Folders& folders);

}  // namespace tools
