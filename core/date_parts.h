#pragma once
// Calendar parts of an OLE Automation date (days since 30 December 1899; the
// fraction's magnitude is the time of day, also for days before that).

namespace core {

constexpr double MinimumDate = -657434.0;  // 1 January 100
constexpr double MaximumDate = 2958465.0;  // 31 December 9999

// Clamps to the range above; NaN becomes 0.
double ClampDate(double days);

struct DateParts {
    int year, month, day, hour, minute, second;
};

// Clamps, then splits, the time rounded to the nearest second.
DateParts SplitDate(double days);

}  // namespace core
