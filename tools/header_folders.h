#pragma once
// The folders a set of headers lives in, as the evaluators walk them: the include
// path of every unit, and every *.h and *.rh under it.
#include <string>
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

}  // namespace tools
