#include "core/date_parts.h"

#include <cmath>

namespace core {

double ClampDate(double days) {
    if (std::isnan(days)) return 0.0;
    if (days < MinimumDate) return MinimumDate;
    if (days > MaximumDate) return MaximumDate;
    return days;
}

DateParts SplitDate(double days) {
    days = ClampDate(days);
    const double whole = std::trunc(days);
    long long dayNumber = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(days - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++dayNumber;  // the next calendar day, whichever side of 1899 it lies
    }

    // Civil date from days since 1970-01-01 (proleptic Gregorian).
    long long z = dayNumber - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);

    DateParts parts;
    parts.year = static_cast<int>(year);
    parts.month = static_cast<int>(month);
    parts.day = static_cast<int>(day);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

}  // namespace core
