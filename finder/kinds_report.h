#pragma once
// GUIDs, strings and property keys asked by name, by pattern or by value, and
// the database's error texts under a decoded code: the answers and their text
// and JSON (finder/kinds_file.h reads them).
#include <string>
#include <vector>

#include "finder/json_writer.h"
#include "finder/kinds_file.h"
#include "finder/questions.h"

namespace finder {

struct KindAnswer {
    enum class Kind { Name, Pattern, Guid, String };
    Kind kind = Kind::Name;
    std::string query;
    std::string value;                 // Guid: the GUID read (8-4-4-4-12); String: the string's text as kept
    std::vector<KindConstant> rows;    // the names (Name, Pattern) or the names with the value
    std::vector<KindConstant> keys;    // Guid: property keys of that format id
    std::string unicode;               // Name: NAME is NAMEW with UNICODE, else NAMEA
    std::size_t total = 0;             // Pattern: names that matched
    bool Found() const { return !rows.empty() || !keys.empty(); }
};

// Whether the query asks for a value of its own kind: a GUID (LooksLikeGuid) or a
// quoted string ("SysListView32"). A malformed GUID is an error.
bool ClassifyKindValue(const std::string& query, KindAnswer& answer, std::string* error);

// Answers the query (a Name, Pattern, Guid or String answer with its query set);
// ignoreCase compares strings without regard to case; limit cuts a pattern's list (0: all).
bool AskKinds(const KindsFile& file, bool ignoreCase, std::size_t limit, KindAnswer& answer, std::string* error);

std::string KindTextReport(const KindAnswer& answer);
void KindJsonReport(JsonWriter& json, const KindAnswer& answer);

// The database's texts of the decoded codes, where the system gave none
// (everywhere but Windows and Wine); messageSource says whose a text is.
bool AddDatabaseTexts(const KindsFile& file, std::vector<ValueAnswer>& values, std::string* error);

}  // namespace finder
