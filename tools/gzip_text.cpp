#include "tools/gzip_text.h"

#include <zlib.h>

#include <memory>

namespace tools {
namespace {

using GzFile = std::unique_ptr<gzFile_s, int (*)(gzFile)>;

std::string GzError(gzFile file, const std::string& path) {
    int code = 0;
    return path + ": " + gzerror(file, &code);
}

}  // namespace

bool ReadGzipText(const std::string& path, std::string& text, std::string* error) {
    GzFile file(gzopen(path.c_str(), "rb"), gzclose);
    if (!file) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    text.clear();
    char buffer[1 << 16];
    int n;
    while ((n = gzread(file.get(), buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    if (n < 0) {
        if (error) *error = GzError(file.get(), path);
        return false;
    }
    return true;
}

bool WriteGzipText(const std::string& path, const std::string& text, std::string* error) {
    GzFile file(gzopen(path.c_str(), "wb9"), gzclose);
    bool ok = file != nullptr;
    for (std::size_t at = 0; ok && at < text.size();) {
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(text.size() - at, 1u << 20));
        ok = gzwrite(file.get(), text.data() + at, chunk) == static_cast<int>(chunk);
        at += chunk;
    }
    if (ok) ok = gzclose(file.release()) == Z_OK;
    if (!ok && error) *error = "cannot write " + path;
    return ok;
}

}  // namespace tools
