#include "finder/window_notation.h"

#include <cstdint>
#include <cstdio>

#include "core/text_commands.h"
#include "core/value_number.h"
#include "core/value_text.h"
#include "jet/text_match.h"

namespace finder {
namespace {

using core::Text;

// StrToIntExA with STIF_SUPPORT_HEX on a text that starts with 0x: the digits
// up to the first other character, accumulated over 64 bits, then cut to an
// int; no digit at all leaves the result 0.
int HexTextToInt(const Text& digits) {
    const Text text = core::CompareTexts(core::LeftText(digits, 2), "0x") == 0 ? digits : "0x" + digits;
    std::uint64_t value = 0;
    for (std::size_t i = 2; i < text.size() && jet::HexDigitValue(text[i]) >= 0; ++i)
        value = value * 16 + static_cast<std::uint64_t>(jet::HexDigitValue(text[i]));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// wvsprintfA's "%X" of an int.
Text IntToHexText(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
    return buffer;
}

}  // namespace

WindowBoxes WhatTheWindowShows(const std::string& stored) {
    Text value = core::ReplaceText(stored, "\r\n", "", 1, -1, true);
    bool hex = false;
    if (core::CompareTexts(core::ToUpper(core::LeftText(value, 2)), "0X") == 0) {
        value = core::RightText(value, core::TextLength(value) - 2);
        hex = true;
    }
    if (core::CompareTexts(core::ToUpper(core::RightText(value, 1)), "L") == 0)
        value = core::LeftText(value, core::TextLength(value) - 1);
    if (hex) return {core::ToText(HexTextToInt(value)), value};
    return {value, IntToHexText(core::TruncateToInt32(core::ToNumber(value)))};
}

std::string EDeclarationHeader() { return u8".版本 2\r\n\r\n"; }

std::string EConstantLine(const std::string& name, const std::string& decimal) {
    return u8".常量 " + name + ", \"" + decimal + "\"";
}

}  // namespace finder
