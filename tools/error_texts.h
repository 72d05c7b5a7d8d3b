#pragma once
// The message texts of error codes, as data/error-texts.tsv.gz keeps those of
// Wine's DLLs (tools/extract_error_texts.py writes it and describes the file).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct ErrorText {
    std::uint32_t code = 0;  // the message id: a Win32 error's code, an HRESULT's 32 bits
    std::string dll;         // the DLL whose message table holds it
    std::string text;        // UTF-8, line ends inside kept, the last removed
};

struct ErrorTexts {
    std::string origin;             // the !source line's words
    std::vector<ErrorText> texts;   // sorted by code, then DLL
};

// False, with "line N: what", on the first malformed line or a code out of order.
bool ParseErrorTexts(std::string_view text, ErrorTexts& out, std::string* error);
bool ReadErrorTexts(const std::string& path, ErrorTexts& out, std::string* error);

// The first text of code; null when there is none.
const ErrorText* FindErrorText(const ErrorTexts& texts, std::uint32_t code);

}  // namespace tools
