#pragma once
// Whole text files kept gzip-compressed, as the extracts in data/ are. zlib also
// reads a file that is not compressed, as it is.
#include <string>

namespace tools {

// False, with the file's name and the reason, when it cannot be read.
bool ReadGzipText(const std::string& path, std::string& text, std::string* error);

// Reads the file and hands its text to parse(text, error); the reason of a parse
// that fails is given the file's name.
template <typename Parse>
bool ParseGzipFile(const std::string& path, Parse&& parse, std::string* error) {
    std::string text;
    if (!ReadGzipText(path, text, error)) return false;
    if (parse(text, error)) return true;
    if (error) *error = path + ": " + *error;
    return false;
}

// Same bytes for the same text: the gzip header carries no time or name.
bool WriteGzipText(const std::string& path, const std::string& text, std::string* error);

}  // namespace tools
