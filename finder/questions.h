#pragma once
// The questions the command asks of the database, answered as data: a name,
// a pattern, a value (with what it means as an error code), the flags of a
// value. finder/report.h prints the answers.
#include <cstdint>
#include <string>
#include <vector>

#include "finder/constants_file.h"
#include "finder/error_code.h"
#include "finder/flags.h"
#include "finder/integer.h"
#include "finder/name_runs.h"
#include "finder/value_runs.h"

namespace finder {

struct Settings {
    bool all = false;        // every row of a name, not only the one the window shows
    std::size_t limit = 50;  // names shown per list; 0: all
    std::u16string narrow;   // --prefix: a prefix or a pattern the names of a value must match
};

struct ListAnswer {
    std::vector<Constant> constants;  // by name, at most limit names
    std::size_t total = 0;            // names that matched
};

struct CodeAnswer {
    CodeReading reading;
    std::vector<std::string> facility;    // FACILITY_* names of the HRESULT facility
    std::vector<std::string> ntFacility;  // FACILITY_* names of the NTSTATUS facility
    std::vector<Constant> win32;          // facility Win32: the Win32 error names of the code
    ListAnswer ntNames;                   // HRESULT from NTSTATUS: the NTSTATUS's names
    std::string message;                  // the system's text for it (Windows), else the database's
    std::string messageSource;            // whose text message is
};

struct ValueAnswer {
    Reading reading;
    ListAnswer names;
    std::vector<CodeAnswer> codes;
};

struct FlagsAnswer {
    Integer value;
    FlagSplit split;
    std::vector<Constant> parts;  // the named parts' rows, in split order
    std::size_t candidates = 0;   // names the prefix gave
};

class Questions {
public:
    // values, when given, is file's value index: a value is then found without a walk.
    Questions(const ConstantsFile& file, Settings settings, const ValueIndex* values = nullptr)
        : file_(file), settings_(std::move(settings)), values_(values) {}

    // The names equal to name without regard to ASCII case; an exact-case match first.
    bool Name(const std::u16string& name, std::vector<Constant>& out, std::string* error) const;
    bool Pattern(const std::u16string& pattern, ListAnswer& out, std::string* error) const;
    bool Value(const std::vector<Reading>& readings, std::vector<ValueAnswer>& out, std::string* error) const;
    // The names that begin with prefix (or match it, when it is a pattern) that make up value.
    bool Flags(const std::u16string& prefix, const Integer& value, FlagsAnswer& out, std::string* error) const;

private:
    bool Facilities(std::vector<ValueAnswer>& answers, std::string* error) const;
    bool FeedValues(const std::vector<ValueAsked>& values, std::u16string_view prefix, bool withSource, RunTracker& runs,
                    std::string* error) const;

    const ConstantsFile& file_;
    Settings settings_;
    const ValueIndex* values_;
};

}  // namespace finder
