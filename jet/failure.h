#pragma once
// How jet fails: a function returns false and puts what went wrong into *error
// (when error is not null). A Where says what was being read when it went
// wrong, so that the text leads to the spot in the file: "usage map damaged
// (table 'api_const', page 7)".
#include <cstdint>
#include <string>

namespace jet {

struct Where {
    std::string table;        // name of the table, "" when not known
    std::uint32_t page = 0;   // the page being read, 0 when none in particular

    Where Page(std::uint32_t p) const { return Where{table, p}; }
};

inline std::string Describe(const Where& where) {
    std::string out;
    if (!where.table.empty()) out = "table '" + where.table + "'";
    if (where.page != 0) out += (out.empty() ? "page " : ", page ") + std::to_string(where.page);
    return out;
}

inline bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

inline bool Fail(std::string* error, const Where& where, const std::string& why) {
    const std::string context = Describe(where);
    return Fail(error, context.empty() ? why : why + " (" + context + ")");
}

}  // namespace jet
