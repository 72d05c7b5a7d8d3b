#pragma once
// The functions the Windows headers declare, with their types as the headers spell
// them (HWND, LPCSTR, UINT), and the typedef names the headers define, as a
// C compiler for 32-bit Windows reads them (tools/header_function_scan.h), and the
// text file data/ keeps them in (data/header-functions.tsv.gz).
//
// The file (UTF-8, gzip-compressed), one record a line, fields separated by tabs:
//   # comment
//   !source<TAB>NAME<TAB>PACKAGE<TAB>COMPILER   the headers and what read them; once, first
//   !error<TAB>HEADER<TAB>ERROR                 a unit (<windows.h>, then HEADER) that did not compile
//   F<TAB>NAME<TAB>RETURNS<TAB>CALL<TAB>FLAGS<TAB>HEADER
//                                               a function: return type, calling convention
//                                               (stdcall, cdecl, fastcall, vectorcall, thiscall,
//                                               other), FLAGS a comma list of variadic (takes ...),
//                                               noproto (declared without a prototype: f()),
//                                               inline (defined in the header); HEADER declares it
//   P<TAB>TYPE                                  a parameter of the F before it, in order
//   T<TAB>NAME<TAB>HEADER                       a typedef name the headers define
// A TYPE or RETURNS is a C type as the header spells it, typedef names kept:
// `LPCSTR`, `const RECT *`, `struct _GUID *`. A parameter is declared by writing its
// name after TYPE, except where TYPE holds `*)(` or `*)[`: a pointer to a function
// or to an array the header did not name by a typedef, `int (WINAPI *)(UINT)`,
// `int (*)[4]`, whose name goes before that `)`: `int (WINAPI *name)(UINT)`. A
// parameter the header writes as one macro's name keeps it (REFIID, which is
// `const IID *const` to C and `const IID &` to C++); an unnamed type is
// `struct (unnamed ...)`, which no declaration can write. An array parameter is
// written as the pointer C makes of it (`BYTE lpKeyState[256]` is `BYTE *`).
// Records are sorted by name; a name is declared once (the first unit that
// declares it: <windows.h>'s own, then the headers in path order).
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct HeaderFunction {
    std::string name;
    std::string returns;
    std::string call = "stdcall";
    bool variadic = false;
    bool noPrototype = false;
    bool isInline = false;
    std::string header;               // path under the include folder
    std::vector<std::string> params;  // types
};

struct HeaderTypedef {
    std::string name;
    std::string header;
};

struct HeaderUnitError {
    std::string header;
    std::string error;
};

struct HeaderFunctions {
    std::string source;    // "mingw-w64"
    std::string package;   // "mingw-w64-common 10.0.0-3"
    std::string compiler;  // what read them
    std::vector<HeaderUnitError> errors;
    std::vector<HeaderFunction> functions;  // sorted by name, each name once
    std::vector<HeaderTypedef> typedefs;    // sorted by name, each name once
};

// Whether a declaration can write the type (it names no unnamed struct, union or enum).
bool WritableHeaderType(const std::string& type);

// The C macro a calling convention is written with before a function's name:
// WINAPI for stdcall, WINAPIV for cdecl, __fastcall, __vectorcall, __thiscall;
// empty for anything else.
std::string CallingConventionMacro(const std::string& call);

std::string FormatHeaderFunctions(const HeaderFunctions& in, const std::string& comment);
// False, with "line N: what", on the first malformed line: an unknown record or
// flag, a wrong number of fields, an empty name or type, a P before any F, a record
// before !source, a second !source.
bool ParseHeaderFunctions(std::string_view text, HeaderFunctions& out, std::string* error);

// The gzip-compressed file (the same bytes for the same records); failures name it.
bool WriteHeaderFunctions(const std::string& path, const HeaderFunctions& in, const std::string& comment,
                          std::string* error);
bool ReadHeaderFunctions(const std::string& path, HeaderFunctions& out, std::string* error);

// The function of that name; null when the headers declare none.
const HeaderFunction* FindHeaderFunction(const HeaderFunctions& in, std::string_view name);

}  // namespace tools
