#pragma once
// GUIDs as people paste them, read into their 16 bytes:
//   {00000000-0000-0000-C000-000000000046}, with or without braces, any case;
//   C's initializer {0x00000000,0x0000,0x0000,{0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0x46}};
//   the 16 bytes in memory order as hexadecimal, as a registry export
//   (hex:00,00,...) or a memory dump (00 00 00 00 ...) shows them, or 32 digits.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0, data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    std::array<std::uint8_t, 16> Bytes() const;                   // memory order (little-endian fields)
    static Guid FromBytes(const std::array<std::uint8_t, 16>& b);
    std::string Text() const;                                     // 8-4-4-4-12, upper case, no braces
};

// Whether the query is meant as a GUID: it begins with '{' or "hex:", or it is
// hexadecimal digits with dashes, spaces or commas between them that make 32
// digits or the 8-4-4-4-12 shape. Such a query is then read by ParseGuid, and
// a malformed one is an error, not a name or a number.
bool LooksLikeGuid(std::string_view query);

// False, with what is wrong, for a wrong length, a non-hexadecimal digit or
// unbalanced braces.
bool ParseGuid(std::string_view query, Guid& out, std::string* error);

// A property key's value as the database keeps it, "GUID,PID": false when it is not one.
bool SplitPropertyKey(std::string_view value, std::string& guid, std::uint32_t& pid);

// The database's GUID text to a Guid; false when it is not 8-4-4-4-12.
bool GuidFromText(std::string_view text, Guid& out);

}  // namespace finder
