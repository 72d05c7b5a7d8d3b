#pragma once
// A throw-away folder of made-up headers, for the evaluators' tests.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace tools {

// A throw-away folder of headers.
class HeaderFolder {
public:
    HeaderFolder() {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() / ("constdb-headers-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(root_);
    }
    ~HeaderFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    void Write(const std::string& name, const std::string& text) const {
        const std::filesystem::path p = root_ / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    std::string Path() const { return root_.string(); }

private:
    std::filesystem::path root_;
};

}  // namespace tools
