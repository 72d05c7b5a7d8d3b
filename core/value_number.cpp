// ToNumber: the numeric value of every basic value; texts are read as
// decimal numbers after full-width characters are folded to ASCII.
#include <cmath>
#include <cstdlib>

#include "core/value_number.h"

namespace core {
namespace {

Text FoldFullWidth(const Text& text) {
    Text folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            folded += static_cast<char>(lead);
            continue;
        }
        if (i + 1 >= text.size()) break;  // a lone lead byte ends the text
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            folded += static_cast<char>(trail - 0x80);
        else if (lead == 0xA1 && trail == 0xA1)
            folded += ' ';
        else if (lead == 0xA1 && trail == 0xAB)
            folded += '~';
        else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
            folded += '*';
        else {
            folded += static_cast<char>(lead);
            folded += static_cast<char>(trail);
        }
    }
    return folded;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads [space][sign]digits[.digits][(e|E|d|D)[sign]digits] and hands the
// recognised part, rewritten in C's plain form, to strtod; nothing else
// (hex, inf, nan) can reach it.
double ParseDecimal(const Text& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsSpace(text[i])) ++i;
    Text plain;
    if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    bool anyDigit = false;
    while (i < n && IsDigit(text[i])) {
        plain += text[i++];
        anyDigit = true;
    }
    if (i < n && text[i] == '.') {
        plain += text[i++];
        while (i < n && IsDigit(text[i])) {
            plain += text[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0.0;
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        Text exponent = "e";
        if (j < n && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        Text digits;
        bool anyExponentDigit = false;
        for (; j < n && IsDigit(text[j]); ++j) {
            anyExponentDigit = true;
            if (!digits.empty() || text[j] != '0') digits += text[j];
        }
        if (anyExponentDigit) {
            // Beyond six digits an exponent only says "overflow" or "underflow".
            if (digits.size() > 6) digits = "999999";
            plain += exponent + (digits.empty() ? Text("0") : digits);
        }
    }
    return std::strtod(plain.c_str(), nullptr);
}

}  // namespace

double ToNumber(const Text& text) { return ParseDecimal(FoldFullWidth(text)); }

double ToNumber(const BasicValue& value) {
    switch (value.type) {
    case TC_Byte:
    case TC_Short:
    case TC_Int:
    case TC_Long:
        return static_cast<double>(value.integer);
    case TC_Float:
    case TC_Double:
        return value.real;
    case TC_Bool: return value.AsBool() ? 1.0 : 0.0;
    case TC_SubPointer: return static_cast<double>(value.AsSubPointer());
    case TC_Text: return ToNumber(value.text);
    default: return 0.0;
    }
}

std::int32_t TruncateToInt32(double number) {
    if (std::isnan(number) || std::fabs(number) >= 9223372036854775808.0) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(number)));
}

}  // namespace core
