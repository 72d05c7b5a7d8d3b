#include "tools/header_folders.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "tools/clang_unit.h"
#include "tools/header_constants.h"

namespace tools {

namespace fs = std::filesystem;

Folders::Folders(const std::vector<std::string>& folders) {
    for (const std::string& f : folders) roots_.push_back(fs::absolute(f).lexically_normal().generic_string());
    for (std::string& r : roots_)
        if (r.size() > 1 && r.back() == '/') r.pop_back();
}

std::string Folders::Relative(const std::string& path) const {
    const std::string normal = fs::path(path).lexically_normal().generic_string();
    for (const std::string& r : roots_)
        if (normal.size() > r.size() && normal.compare(0, r.size(), r) == 0 && normal[r.size()] == '/')
            return normal.substr(r.size() + 1);
    return {};
}

bool Folders::Holds(const std::string& header) const {
    std::error_code ec;
    return std::any_of(roots_.begin(), roots_.end(), [&](const std::string& r) { return fs::is_regular_file(r + '/' + header, ec); });
}

std::vector<std::string> Folders::Headers() const {
    std::set<std::string> found;
    for (const std::string& r : roots_) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(r, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const std::string ext = it->path().extension().string();
            if (it->is_regular_file(ec) && (ext == ".h" || ext == ".rh")) found.insert(fs::relative(it->path(), r, ec).generic_string());
        }
    }
    found.erase(kBaseHeader);
    return {found.begin(), found.end()};
}

const std::string& RelativePaths::Of(const std::string& path) {
    auto known = known_.find(path);
    if (known == known_.end()) known = known_.emplace(path, folders_.Relative(path)).first;
    return known->second;
}

std::string OneLine(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string ErrorText(CXTranslationUnit unit, const Folders& folders) {
    clang::Diagnostic d;
    if (!clang::FirstError(unit, d)) return {};
    std::string where = folders.Relative(d.file);
    if (where.empty()) where = d.file.empty() ? "command line" : fs::path(d.file).filename().string();
    return OneLine(where + ':' + std::to_string(d.line) + ": " + d.message);
}

}  // namespace tools
