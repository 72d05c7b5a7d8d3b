#pragma once
// The answer to one query, and how it is printed: as text for people, as JSON
// for scripts, or as declarations.
#include <set>
#include <string>
#include <vector>

#include "finder/api_report.h"
#include "finder/declarations.h"
#include "finder/json_writer.h"
#include "finder/questions.h"

namespace finder {

struct Answer {
    enum class Kind { Name, Pattern, Value, Flags };
    Kind kind = Kind::Name;
    std::string query;              // as typed (the VALUE of --flags)
    std::string flagsPrefix;        // Flags
    std::vector<Constant> names;    // Name
    ListAnswer list;                // Pattern
    std::vector<ValueAnswer> values;  // Value
    FlagsAnswer flags;              // Flags
    ApiAnswer api;                  // Name: the functions and types of that name

    // Whether the query found anything: a name, a match, a name with the
    // value, or a flag of the word.
    bool Found() const;
};

std::string TextReport(const Answer& answer);
void JsonReport(JsonWriter& json, const Answer& answer);
// The constants a declaration is written for: each name's first row, once
// (names holds those already taken).
void AddDeclared(const Answer& answer, std::vector<Declared>& declared, std::set<std::string>& names);
// What --lang prints to standard error beside the declarations: lists cut short.
std::string CutNotes(const Answer& answer);

}  // namespace finder
