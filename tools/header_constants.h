#pragma once
// The integer constants of one or more folders of Windows headers as a compiler
// evaluated them (header_evaluator.h), and the text file data/ keeps them in.
//
// The file (UTF-8, gzip-compressed), one record a line:
//   # comment
//   !source<TAB>NAME<TAB>PACKAGE<TAB>COMPILER   a source; what follows belongs to it
//   !define<TAB>NAME=VALUE                     given to the compiler for this source
//   @HEADER[<TAB>ERROR]                        a translation unit: <windows.h>, then HEADER;
//                                              ERROR is the compiler's first error, if any
//   NAME<TAB>TYPE<TAB>VALUE<TAB>TEXT<TAB>FILE    a constant that unit evaluated
// TYPE and VALUE as in type_codes.h; TEXT is the value column's text; FILE is the
// defining header's path under its folder, empty when it is the unit's HEADER.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/int_value.h"

namespace tools {

// The header every unit includes first; its own unit comes first.
constexpr const char* kBaseHeader = "windows.h";

struct HeaderUnit {
    std::string header;  // path under the folders; kBaseHeader for the first unit
    std::string error;   // the compiler's first error; empty when the unit compiled
};

struct HeaderConstant {
    std::string name;
    IntValue value;
    std::string text;        // as the value column stores it
    std::uint32_t file = 0;  // index into HeaderSource::files: where the definition in force is
    std::uint32_t unit = 0;  // index into HeaderSource::units: the unit that evaluated it
};

struct HeaderSource {
    std::string name;      // "mingw-w64", "Wine"
    std::string package;   // where the headers came from, with its version
    std::string compiler;  // what evaluated them
    std::vector<std::string> defines;  // NAME=VALUE
    std::vector<HeaderUnit> units;
    std::vector<std::string> files;    // paths under the folders
    std::vector<HeaderConstant> constants;  // in unit order
};

struct HeaderConstants {
    std::vector<HeaderSource> sources;
};

// How well a unit speaks for a constant it evaluated, best first: <windows.h>'s own
// unit (0), the unit of the header that defines it (1), any other unit that compiled
// (2), a unit that did not (3).
int UnitRank(const HeaderUnit& unit, std::size_t unitIndex, const std::string& file);

std::string FormatHeaderConstants(const HeaderConstants& in, const std::string& comment);
// False, with "line N: what", on the first malformed line.
bool ParseHeaderConstants(std::string_view text, HeaderConstants& out, std::string* error);

// The gzip-compressed file; failures name it.
bool WriteHeaderConstants(const std::string& path, const HeaderConstants& in, const std::string& comment, std::string* error);
bool ReadHeaderConstants(const std::string& path, HeaderConstants& out, std::string* error);

}  // namespace tools
