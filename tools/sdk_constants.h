#pragma once
// The Windows SDK metadata's integer constants and enum members, as data/ keeps
// them (tools/extract_sdk_constants.py writes that file).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/int_value.h"

namespace tools {

// What a header would declare the value as, where that changes how it is written.
enum class SdkKind : std::uint8_t {
    Plain,
    Status,   // HRESULT, NTSTATUS: headers write them in hexadecimal
    Pointer,  // handles and string pointers: a 32-bit program sees them unsigned
};

struct SdkConstant {
    std::string name;
    IntValue value;  // in the type a 32-bit program gives it
    SdkKind kind = SdkKind::Plain;
    std::uint32_t space = 0;  // index into SdkConstants::namespaces
};

struct SdkConstants {
    std::vector<std::string> namespaces;
    std::vector<SdkConstant> constants;  // in the file's order
};

// Parses the extract's text. False, with "line N: what", on the first malformed line.
bool ParseSdkConstants(std::string_view text, SdkConstants& out, std::string* error);

// Reads the gzip-compressed extract. False, with the file's name and the reason, on failure.
bool ReadSdkConstants(const std::string& path, SdkConstants& out, std::string* error);

}  // namespace tools
