#pragma once
// UTF-8 <-> UTF-16 conversion for texts that enter or leave the database.
#include <string>

namespace jet {

// Malformed UTF-8 sequences become U+FFFD; the conversion never fails.
std::u16string Utf8ToUtf16(const std::string& utf8);

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& utf16);

}  // namespace jet
