#pragma once
// The tables of API常量.mdb beside api_const: the constants that are not integers
// (GUIDs, strings, property keys) from their sources, and the error texts.
//   api_kind_const  symbol, value, kind, source, value_key   indexed on symbol and
//                   value_key: value where Jet's index has a key for it (printable
//                   ASCII, so every GUID and property key), else null
//   api_error_text  code (32-bit, signed), text, source   indexed on code
// api_kind_const's rows are sorted by name; a name's first row is the value most
// sources give (with no majority: the mingw-w64 headers', then Wine's, then the
// metadata's), every other distinct value after it. value is as kind_constants.h
// keeps it: a GUID's 8-4-4-4-12 upper-case digits, a property key's GUID,PID, a
// string with C's escapes for backslashes and control characters.
#include <array>
#include <string>
#include <vector>

#include "jet/table.h"
#include "tools/constant.h"
#include "tools/error_texts.h"
#include "tools/kind_constants.h"

namespace tools {

struct KindSource {
    std::string name;             // "mingw-w64", "Wine", "metadata"
    bool header = false;          // a header's rows note the header's file ("x.h (Wine)"), the metadata's its namespace
    const KindConstants* constants = nullptr;
};

struct KindRow {
    std::string name, value, kind, source;
};

struct KindReport {
    std::vector<std::string> sources;
    std::vector<std::size_t> sourceNames;  // names each source gives
    std::vector<std::size_t> onlyHere;
    std::vector<std::size_t> firstAgrees;  // names whose first row is the source's first value
    std::array<std::size_t, 3> decisions{};  // agreed, majority, no majority (tie order)
    std::array<std::size_t, 6> perKind{};     // names per kind of their first row: guid iid clsid string propkey devpropkey (A/W strings as string)
    std::size_t tooLong = 0;               // values or names longer than a text column holds, left out
    std::size_t names = 0, rows = 0;
    std::vector<std::string> differences;  // name, rule, first value, each source's first value
};

// The rows of api_kind_const, sorted by name, a name's first row the chosen value.
std::vector<KindRow> MergeKindSources(const std::vector<KindSource>& sources, KindReport& report);

jet::Table MakeKindTable(std::vector<KindRow> rows);
jet::Table MakeErrorTextTable(const ErrorTexts& texts);

// How many names of each kind of error code have a text.
struct ErrorTextCounts {
    std::size_t win32Names = 0, win32WithText = 0;      // ERROR_* with a value below 0x10000
    std::size_t hresultNames = 0, hresultWithText = 0;  // E_* and *_E_* with the top bit set, not STATUS_
    std::size_t hresultThroughWin32 = 0;                // of those with a text, from facility 7's Win32 code
    std::size_t ntstatusNames = 0, ntstatusWithText = 0;  // STATUS_* with bit 30 or 31 set
};
// Each name's first row (constants sorted by name, a name's first row first).
ErrorTextCounts CountErrorTexts(const std::vector<Constant>& constants, const ErrorTexts& texts);

}  // namespace tools
