// ToText: the text form of every basic value.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/date_parts.h"
#include "core/value_text.h"

namespace core {
namespace {

// printf's "%.<digits>g", except that the exponent has at least three digits
// whatever the C runtime prints. Only the significant digits come from printf.
Text FormatGeneral(double value, int digits) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char scientific[64];
    std::snprintf(scientific, sizeof scientific, "%.*e", digits - 1, value);
    // scientific: [-]d.ddd...e[+-]x...
    const char* p = scientific;
    Text sign;
    if (*p == '-') {
        sign = "-";
        ++p;
    }
    Text mantissa;
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p != '.') mantissa += *p;
    const int exponent = *p ? std::atoi(p + 1) : 0;
    if (value == 0) return sign + "0";

    // Drop trailing zeros of the significant digits.
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

    Text body;
    if (exponent < -4 || exponent >= digits) {
        body = mantissa.substr(0, 1);
        if (mantissa.size() > 1) body += "." + mantissa.substr(1);
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
        body += tail;
    } else if (exponent < 0) {
        body = "0." + Text(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (mantissa.size() <= whole) {
            body = mantissa + Text(whole - mantissa.size(), '0');
        } else {
            body = mantissa.substr(0, whole) + "." + mantissa.substr(whole);
        }
    }
    return sign + body;
}

Text FormatDate(double days) {
    const DateParts d = SplitDate(days);
    char buffer[96];
    int n = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", d.year, d.month, d.day);
    const std::size_t room = sizeof buffer - static_cast<std::size_t>(n);
    if (d.second != 0)
        std::snprintf(buffer + n, room, "%d时%d分%d秒", d.hour, d.minute, d.second);
    else if (d.minute != 0)
        std::snprintf(buffer + n, room, "%d时%d分", d.hour, d.minute);
    else if (d.hour != 0)
        std::snprintf(buffer + n, room, "%d时", d.hour);
    return buffer;
}

Text BytesUpToNul(const Bytes& bytes) { return Text(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0)); }

Text Decimal(long long value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", value);
    return buffer;
}

}  // namespace

Text ToText(int value) { return Decimal(value); }
Text ToText(double value) { return FormatGeneral(value, 13); }
Text ToText(bool value) { return value ? "真" : "假"; }

Text ToText(const BasicValue& value) {
    switch (value.type) {
    case TC_Int: return Decimal(value.AsInt());
    case TC_Short: return Decimal(value.AsShort());
    case TC_Byte: return Decimal(value.AsByte());
    case TC_Long: return Decimal(value.AsLong());
    case TC_Float: return FormatGeneral(static_cast<double>(value.AsFloat()), 6);
    case TC_Double: return ToText(value.real);
    case TC_Bool: return ToText(value.AsBool());
    case TC_Date: return FormatDate(value.real);
    case TC_Text: return value.text;
    case TC_Bytes: return BytesUpToNul(value.bytes);
    default: return Text();
    }
}

}  // namespace core
