#pragma once
// The functions and types of the Windows API as four tables of API常量.mdb:
//   api_function  id, symbol, kind (function, method, callback), owner (a method's
//                 interface), slot (a method's place in the vtable), dll, returns,
//                 last_error ("SetLastError" or empty), charset, arches, space,
//                 c_returns, c_call, c_variadic (a DLL function the headers declare:
//                 its return type as they spell it, WINAPI or WINAPIV..., 1 when it
//                 takes `...`)
//   api_param     function_id, pos (from 1), symbol, type_text, attrs, c_type (the
//                 headers' spelling of the parameter's type; see header_functions.h)
//   api_type      id, symbol, kind (struct, union, enum, callback, interface, typedef),
//                 arch (a record's i686 or x86_64), bytes, alignment, pack,
//                 layout (compiler or computed), header, space, target (a typedef's
//                 type, an enum's integer type), iid, base, function_id (a callback's)
//   api_field     type_id, pos (from 1), symbol, type_text, byte_offset, bytes,
//                 bit_offset, bit_width
// A record has a row per architecture: the compiler's layout where the headers
// declare it (its fields named and typed as the metadata does where the two agree),
// else the one worked out from the metadata's fields by C's rules.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "jet/table.h"
#include "tools/header_functions.h"
#include "tools/record_layout.h"
#include "tools/sdk_types.h"

namespace tools {

// A record as a compiler laid it out, by the name the metadata gives it.
struct HeaderRecord {
    RecordLayout layout;
    std::string header;  // where it is defined
    bool isUnion = false;
};
using HeaderRecords = std::map<std::string, HeaderRecord>;

struct ApiTablesReport {
    std::size_t functions = 0, methods = 0, callbacks = 0, params = 0, types = 0, fields = 0;
    // Per target (i686, x86_64): records laid out by the compiler, by C's rules, and
    // not at all (a field of a type with no size).
    std::array<std::size_t, 2> compiler{}, computed{}, unsized{};
    // Where the headers and the metadata disagree, per target: another size, other fields.
    std::array<std::size_t, 2> otherSize{}, otherFields{};
    std::vector<std::string> differences;  // NAME<TAB>TARGET<TAB>what
    // DLL functions (rows) the headers declare, and of these those whose parameters
    // the headers count otherwise (their c_type left empty).
    std::size_t headerDeclared = 0, headerOtherCount = 0;
};

// headers: the compiler's layouts per target (i686, x86_64); either may be empty.
// functions: the headers' declarations, which give the DLL functions of those
// names their C spelling; null: none.
std::vector<jet::Table> MakeApiTables(const SdkTypes& sdk, const std::array<const HeaderRecords*, 2>& headers,
                                      ApiTablesReport& report, const HeaderFunctions* functions = nullptr);

}  // namespace tools
