#include "jetsql/values.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "jetsql/jet_text.h"

namespace jetsql {
namespace {

constexpr long kEpochShift = 25569;  // days from 1899-12-30 (OLE's day 0) to 1970-01-01

bool IsBoolean(jet::ColumnType t) { return t == jet::ColumnType::Boolean; }

int Sign(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + long(doe) - 719468;
}

void CivilFromDays(long z, long* y, unsigned* m, unsigned* d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = long(yoe) + era * 400 + (*m <= 2);
}

unsigned DaysInMonth(long y, unsigned m) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string NumberText(double d, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, d);
    std::string s = buffer;
    if (s == "-0") s = "0";
    return Widen(s);
}

std::u16string CurrencyText(double units) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", units);
    std::string s = buffer;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return Widen(s);
}

std::u16string DateText(double oleDate) {
    if (!std::isfinite(oleDate) || std::fabs(oleDate) > 3e6) return NumberText(oleDate, 15);
    const double whole = std::trunc(oleDate);
    long days = long(whole);
    long seconds = std::lround(std::fabs(oleDate - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += oleDate < 0 ? -1 : 1;
    }
    long y;
    unsigned m, d;
    CivilFromDays(days - kEpochShift, &y, &m, &d);
    std::string out;
    char buffer[64];
    if (days != 0 || seconds == 0) {
        std::snprintf(buffer, sizeof buffer, "%u/%u/%ld", m, d, y);
        out = buffer;
    }
    if (seconds != 0) {
        const long h = seconds / 3600;
        std::snprintf(buffer, sizeof buffer, "%s%ld:%02ld:%02ld %s", out.empty() ? "" : " ", h % 12 == 0 ? 12 : h % 12,
                      seconds / 60 % 60, seconds % 60, h < 12 ? "AM" : "PM");
        out += buffer;
    }
    return Widen(out);
}

// ---- #date# literals ----

struct DateToken {
    enum class Kind { Number, Word, Separator } kind;
    std::u16string text;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::vector<DateToken> DateTokens(std::u16string_view s, bool* ok) {
    std::vector<DateToken> out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        if (IsDigit(s[i])) {
            while (i < s.size() && IsDigit(s[i])) ++i;
            out.push_back({DateToken::Kind::Number, std::u16string(s.substr(start, i - start))});
        } else if (IsLetter(s[i])) {
            while (i < s.size() && IsLetter(s[i])) ++i;
            out.push_back({DateToken::Kind::Word, JetFold(s.substr(start, i - start))});
        } else if (s[i] == u'/' || s[i] == u'-' || s[i] == u',' || s[i] == u':' || s[i] == u'.' || s[i] == u' ') {
            out.push_back({DateToken::Kind::Separator, std::u16string(1, s[i++])});
        } else {
            *ok = false;
            return {};
        }
    }
    *ok = true;
    return out;
}

// 1-12 for an English month name or its first three letters; 0 otherwise.
unsigned MonthNamed(const std::u16string& folded) {
    static const char* const kMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                          "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
    for (unsigned m = 0; m < 12; ++m) {
        const std::u16string full = Widen(kMonths[m]);
        if (folded == full || (folded.size() == 3 && full.compare(0, 3, folded) == 0)) return m + 1;
    }
    return 0;
}

long CurrentYear() {
    std::time_t now = std::time(nullptr);
    std::tm* local = std::localtime(&now);
    return local ? local->tm_year + 1900 : 2000;
}

long FullYear(const std::u16string& digits) {
    const long y = std::stol(std::string(digits.begin(), digits.end()));
    if (digits.size() <= 2) return y < 30 ? 2000 + y : 1900 + y;
    return y;
}

// The time part: h:mm[:ss] [AM|PM] from tokens[at] on, to the end.
bool ReadTime(const std::vector<DateToken>& t, std::size_t at, long* seconds) {
    std::vector<long> parts;
    std::size_t i = at;
    for (;;) {
        if (i >= t.size() || t[i].kind != DateToken::Kind::Number || t[i].text.size() > 2) return false;
        parts.push_back(std::stol(std::string(t[i].text.begin(), t[i].text.end())));
        if (++i < t.size() && t[i].text == u":") {
            ++i;
            continue;
        }
        break;
    }
    while (i < t.size() && t[i].text == u" ") ++i;
    int half = 0;  // 1 AM, 2 PM
    if (i < t.size() && t[i].kind == DateToken::Kind::Word && (t[i].text == u"AM" || t[i].text == u"PM")) {
        half = t[i].text == u"AM" ? 1 : 2;
        ++i;
    }
    if (i != t.size() || parts.size() < 2 || parts.size() > 3) return false;
    long h = parts[0];
    const long m = parts[1], s = parts.size() > 2 ? parts[2] : 0;
    if (half && (h < 1 || h > 12)) return false;
    if (half) h = h % 12 + (half == 2 ? 12 : 0);
    if (h > 23 || m > 59 || s > 59) return false;
    *seconds = h * 3600 + m * 60 + s;
    return true;
}

bool ReadDate(const std::vector<DateToken>& t, long* days) {
    // Fields with one separator between each two (spaces aside), none before or after.
    std::vector<const DateToken*> fields;
    int separators = 0;
    for (const DateToken& token : t) {
        if (token.kind != DateToken::Kind::Separator) {
            if (separators > 1 || (fields.empty() && separators)) return false;
            fields.push_back(&token);
            separators = 0;
        } else if (token.text != u" ") {
            ++separators;
        }
    }
    if (separators) return false;
    long y = 0;
    unsigned m = 0, d = 0;
    std::size_t word = fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i]->kind == DateToken::Kind::Word) {
            if (word != fields.size() || !(m = MonthNamed(fields[i]->text))) return false;
            word = i;
        }
    auto number = [&](std::size_t i) { return std::stol(std::string(fields[i]->text.begin(), fields[i]->text.end())); };
    if (fields.size() > 3 || fields.size() < 2) return false;
    for (const DateToken* f : fields)
        if (f->kind == DateToken::Kind::Number && f->text.size() > 4) return false;
    if (word == fields.size()) {
        if (fields.size() == 3 && fields[0]->text.size() == 4) {
            y = number(0), m = unsigned(number(1)), d = unsigned(number(2));
        } else {
            long first = number(0), second = number(1);
            if (first > 12 && second <= 12) std::swap(first, second);
            m = unsigned(first), d = unsigned(second);
            y = fields.size() == 3 ? FullYear(fields[2]->text) : CurrentYear();
        }
    } else if (fields.size() == 2) {  // mon d, d mon: this year
        d = unsigned(number(word == 0 ? 1 : 0));
        y = CurrentYear();
    } else if (word == 0) {  // mon d y
        d = unsigned(number(1)), y = FullYear(fields[2]->text);
    } else if (word == 1 && fields[0]->text.size() == 4) {  // y mon d
        y = number(0), d = unsigned(number(2));
    } else if (word == 1) {  // d mon y
        d = unsigned(number(0)), y = FullYear(fields[2]->text);
    } else {
        return false;
    }
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
    *days = DaysFromCivil(y, m, d) + kEpochShift;
    return true;
}

}  // namespace

double JetNumber(const jet::Value& v, jet::ColumnType type) {
    switch (v.kind) {
    case jet::Value::Kind::Integer: return IsBoolean(type) ? (v.integer ? -1.0 : 0.0) : double(v.integer);
    case jet::Value::Kind::Double: return v.real;
    default: return 0;
    }
}

TypeFamily FamilyOf(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return TypeFamily::Text;
    case jet::ColumnType::Binary:
    case jet::ColumnType::OleObject:
    case jet::ColumnType::AccessObjectData: return TypeFamily::Bytes;
    default: return TypeFamily::Number;
    }
}

int JetCompare(const jet::Value& a, jet::ColumnType typeA, const jet::Value& b, jet::ColumnType typeB) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() == b.IsNull() ? 0 : (a.IsNull() ? -1 : 1);
    const TypeFamily fa = FamilyOf(typeA), fb = FamilyOf(typeB);
    if (fa != fb) return fa < fb ? -1 : 1;
    switch (fa) {
    case TypeFamily::Text:
        if (a.kind != jet::Value::Kind::Text || b.kind != jet::Value::Kind::Text) break;
        return JetTextCompare(a.text, b.text);
    case TypeFamily::Number:
        if (a.kind == jet::Value::Kind::Integer && b.kind == jet::Value::Kind::Integer && !IsBoolean(typeA) &&
            !IsBoolean(typeB))
            return a.integer == b.integer ? 0 : (a.integer < b.integer ? -1 : 1);
        return Sign(JetNumber(a, typeA) - JetNumber(b, typeB));
    case TypeFamily::Bytes:
        return a.binary == b.binary ? 0 : (a.binary < b.binary ? -1 : 1);
    }
    return a.kind == b.kind ? 0 : (a.kind < b.kind ? -1 : 1);
}

int JetOrder(const jet::Value& a, const jet::Value& b, jet::ColumnType type) { return JetCompare(a, type, b, type); }

std::u16string TextOf(const jet::Value& value, jet::ColumnType type) {
    switch (value.kind) {
    case jet::Value::Kind::Null: return {};
    case jet::Value::Kind::Text: return value.text;
    case jet::Value::Kind::Binary: return std::u16string(value.binary.begin(), value.binary.end());
    case jet::Value::Kind::Integer:
        if (IsBoolean(type)) return value.integer ? u"True" : u"False";
        if (type == jet::ColumnType::Currency) return CurrencyText(double(value.integer) / 10000.0);
        return Widen(std::to_string(value.integer));
    case jet::Value::Kind::Double: break;
    }
    switch (type) {
    case jet::ColumnType::DateTime: return DateText(value.real);
    case jet::ColumnType::Currency: return CurrencyText(value.real);
    case jet::ColumnType::Single: return NumberText(value.real, 7);
    default: return NumberText(value.real, 15);
    }
}

bool ParseJetDate(std::u16string_view text, double* oleDate) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    bool ok = false;
    const std::vector<DateToken> tokens = DateTokens(text, &ok);
    if (!ok || tokens.empty()) return false;
    // The time begins at the first number followed by ':'.
    std::size_t timeAt = tokens.size();
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i)
        if (tokens[i].kind == DateToken::Kind::Number && tokens[i + 1].text == u":") {
            timeAt = i;
            break;
        }
    long seconds = 0, days = 0;
    if (timeAt < tokens.size() && !ReadTime(tokens, timeAt, &seconds)) return false;
    std::size_t dateEnd = timeAt;
    while (dateEnd > 0 && tokens[dateEnd - 1].text == u" ") --dateEnd;
    if (dateEnd > 0 && !ReadDate(std::vector<DateToken>(tokens.begin(), tokens.begin() + long(dateEnd)), &days))
        return false;
    if (dateEnd == 0 && timeAt == tokens.size()) return false;
    const double fraction = seconds / 86400.0;
    *oleDate = days >= 0 ? days + fraction : days - fraction;
    return true;
}

bool ParseJetNumber(std::u16string_view text, bool dollarAllowed, TypedValue* out) {
    std::string ascii;
    bool dollar = false, digits = false, point = false, exponent = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ascii += char(text[i++]);
    if (dollarAllowed && i < text.size() && text[i] == u'$') dollar = true, ++i;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsDigit(c)) {
            digits = true;
        } else if (c == u'.' && !point && !exponent) {
            point = true;
        } else if ((c == u'e' || c == u'E') && digits && !exponent) {
            exponent = true;
            ascii += 'e';
            if (i + 1 < text.size() && (text[i + 1] == u'-' || text[i + 1] == u'+')) ascii += char(text[++i]);
            if (i + 1 >= text.size() || !IsDigit(text[i + 1])) return false;
            continue;
        } else {
            return false;
        }
        ascii += char(c);
    }
    if (!digits) return false;
    if (dollar) {
        *out = TypedValue::Currency(std::strtod(ascii.c_str(), nullptr));
        return true;
    }
    if (!point && !exponent && ascii.size() <= 11) {
        const long long n = std::strtoll(ascii.c_str(), nullptr, 10);
        if (n >= INT32_MIN && n <= INT32_MAX) {
            *out = TypedValue::Integer(n);
            return true;
        }
    }
    const double d = std::strtod(ascii.c_str(), nullptr);
    if (!std::isfinite(d)) return false;
    *out = TypedValue::Double(d);
    return true;
}

}  // namespace jetsql
