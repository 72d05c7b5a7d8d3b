#pragma once
// Functions and types of the Windows API as the database keeps them: what a
// declaration is written from. Type texts follow the SDK metadata's grammar: a
// native name (Void, Byte, Int32, UInt64, Char, IntPtr, Guid, ...), a named type
// (HWND, RECT, WNDPROC, IUnknown), a nested one (INPUT._Anonymous_e__Union), then
// any number of steps read left to right: `*` a pointer to, `[N]` an array of N
// (Byte[260], PSTR*, Void**, RECT*[4]).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace finder {

enum class Arch { I686, X86_64 };
const char* ArchName(Arch arch);  // "i686", "x86_64"

struct ApiParam {
    std::string name;
    std::string type;
    std::string attrs;  // comma-separated: In, Out, Optional, Const, RetVal, ComOutPtr, Reserved, ...
    // The header's own spelling (UINT, LPCSTR), where the database knows it: the
    // metadata's UInt32 is DWORD in one prototype and UINT in another, one ABI but
    // two types to C++. Empty: C spells the type from the metadata's. A type with
    // `*)(` or `*)[` (a pointer to a function or an array the header did not name)
    // has the parameter's name written before that `)`.
    std::string cType;
};

// A function exported by a DLL, a callback type's signature or an interface's method.
struct ApiFunction {
    std::string name;
    std::string dll;       // USER32.dll; empty for callbacks and methods
    std::string returns;   // a type text
    std::string cReturns;  // the header's spelling of the return type, where known (see ApiParam::cType)
    std::string cCall;     // the header's calling convention (WINAPI, WINAPIV, __fastcall); empty: WINAPI
    bool cVariadic = false;  // the header's declaration ends with `...`
    bool setLastError = false;
    std::string charset;   // "Ansi", "Unicode" or empty
    std::string arches;    // X86,X64,Arm64 or empty for all
    std::string space;     // the metadata's namespace
    std::vector<ApiParam> params;
};

struct ApiField {
    std::string name;
    std::string type;      // a type text
    std::uint32_t offset = 0;  // bytes from the record's start
    std::uint32_t size = 0;    // bytes (a bit-field: its storage unit's)
    std::uint16_t bitOffset = 0, bitWidth = 0;  // bitWidth 0: not a bit-field
};

// A record's layout on one architecture.
struct ApiLayout {
    std::uint32_t size = 0, align = 0;
    bool computed = false;  // from the metadata's fields by C's rules, the headers lacking the type
    std::vector<ApiField> fields;
};

enum class TypeKind { Struct, Union, Enum, Callback, Interface, Typedef };

struct ApiType {
    TypeKind kind = TypeKind::Struct;
    std::string name;      // nested records: Parent.Child
    std::string space;     // the metadata's namespace
    std::string header;    // the header that defines it, where known
    std::uint32_t pack = 0;  // #pragma pack in force; 0: the default
    std::optional<ApiLayout> i686, x86_64;  // records
    std::string target;    // typedef: the type text it names; enum: its integer type (Int32, UInt32, ...)
    std::string iid;       // interface: 00000000-0000-0000-C000-000000000046
    std::string base;      // interface: the interface it derives from
    ApiFunction signature;              // callback
    std::vector<ApiFunction> methods;   // interface, in vtable order, the base's not repeated

    const std::optional<ApiLayout>& Layout(Arch arch) const { return arch == Arch::I686 ? i686 : x86_64; }
};

// What a declaration asks of the database about the types it names.
class TypeCatalog {
public:
    virtual ~TypeCatalog() = default;
    // The type of that exact name (typedefs, records, enums, callbacks, interfaces;
    // a nested record by Parent.Child); null when the database has none.
    virtual const ApiType* Find(std::string_view name) const = 0;
};

}  // namespace finder
