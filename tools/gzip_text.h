#pragma once
// Whole text files kept gzip-compressed, as the extracts in data/ are. zlib also
// reads a file that is not compressed, as it is.
#include <string>

namespace constdb {

// False, with the file's name and the reason, when it cannot be read.
bool ReadGzipText(const std::string& path, std::string& text, std::string* error);

// Same bytes for the same text: the gzip header carries no time or name.
bool WriteGzipText(const std::string& path, const std::string& text, std::string* error);

}  // namespace constdb
