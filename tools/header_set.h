#pragma once
// What reading a folder of headers yields: every #define and enum member met,
// with where it was met, and the macro state a 32-bit <windows.h> build ends with.
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/declaration_scanner.h"
#include "tools/macro_expander.h"
#include "tools/type_table.h"

namespace constdb {

// How a definition was reached, best first.
enum class Reach {
    WindowsH,     // in force while <windows.h> is read for a 32-bit program
    OtherHeader,  // in force while reading a header that <windows.h> does not include
    Inactive,     // inside a conditional branch that such a build skips
    Predefined,   // the compiler's own macros (_WIN32, _X86_, ...); never written out
};

struct Definition {
    Macro macro;
    const std::string* file = nullptr;  // the header's file name, in HeaderSet::fileNames
    Reach reach = Reach::Inactive;
};

struct EnumMember {
    EnumMemberSource source;
    const std::string* file = nullptr;
    Reach reach = Reach::Inactive;
};

struct HeaderSet {
    HeaderSet() = default;
    HeaderSet(HeaderSet&&) = default;
    HeaderSet& operator=(HeaderSet&&) = default;
    HeaderSet(const HeaderSet&) = delete;

    // Deques: they grow without copying what they hold or reserving twice its room.
    std::deque<Definition> definitions;  // in the order met
    std::deque<EnumMember> enumMembers;  // in the order met; an enum's members are contiguous
    // name -> index into definitions, as a program sees them after #include <windows.h>,
    // and after every header has been read.
    // The keys view the names in definitions, so a header set is moved, never copied.
    std::unordered_map<std::string_view, std::size_t> afterWindowsH;
    std::unordered_map<std::string_view, std::size_t> atEnd;
    TypeTable types;
    std::deque<std::string> fileNames;  // one per header read, shared by what it defines
    std::size_t headersRead = 0;
    std::size_t conditionsUnevaluated = 0;  // #if lines treated as false
};

}  // namespace constdb
