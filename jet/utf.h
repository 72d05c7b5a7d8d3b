#pragma once
// UTF-8 <-> UTF-16 conversion for texts that enter or leave the database, and for
// every text of the project that crosses between the two (the one home of the rule).
#include <string>
#include <string_view>

namespace jet {

// Malformed UTF-8 sequences become U+FFFD; the conversion never fails.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace jet
