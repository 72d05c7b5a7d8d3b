// The command's ends on POSIX hosts: argv, /proc/self/exe, stdio.
#include <unistd.h>

#include <cstdio>

#include "finder/console.h"

namespace finder {
namespace {

class StdioOutput : public Output {
public:
    explicit StdioOutput(std::FILE* stream) : stream_(stream) {}
    ~StdioOutput() override { std::fflush(stream_); }
    void Write(std::string_view utf8) override { std::fwrite(utf8.data(), 1, utf8.size(), stream_); }

private:
    std::FILE* stream_;
};

}  // namespace

std::vector<std::string> ArgumentsUtf8(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

std::string ProgramFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    const std::string self(path, static_cast<std::size_t>(n));
    return self.substr(0, self.rfind('/') + 1);
}

std::unique_ptr<Output> StandardStream(bool err) { return std::make_unique<StdioOutput>(err ? stderr : stdout); }

}  // namespace finder
