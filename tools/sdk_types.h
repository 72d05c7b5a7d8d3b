#pragma once
// The Windows SDK metadata's functions, typedefs, structures and unions, enums,
// callback types and COM interfaces, as data/sdk-types.tsv.gz keeps them
// (tools/extract_sdk_types.py writes that file).
//
// The file is UTF-8 text, gzip-compressed, one record a line, fields separated by
// tabs (an empty field is an empty string):
//     # comment
//     !source<TAB>win32json<TAB>VERSION<TAB>COMMIT
//     @NAMESPACE                                    namespace of the records after it
//     F<TAB>NAME<TAB>DLL<TAB>RETURN<TAB>FLAGS<TAB>ARCHES function
//     P<TAB>NAME<TAB>TYPE<TAB>ATTRS                 parameter of the F, C or X before it
//     T<TAB>NAME<TAB>TYPE<TAB>ARCHES                typedef
//     S|U<TAB>NAME<TAB>PACK<TAB>ARCHES              structure or union (PACK 0: default)
//     M<TAB>NAME<TAB>TYPE<TAB>ATTRS                 field of the S or U before it
//     E<TAB>NAME<TAB>BASE<TAB>FLAGS                 enum (FLAGS: Flags, Scoped)
//     C<TAB>NAME<TAB>RETURN<TAB>FLAGS<TAB>ARCHES    callback type
//     I<TAB>NAME<TAB>IID<TAB>BASE                   COM interface (IID upper case, no braces)
//     X<TAB>NAME<TAB>RETURN<TAB>FLAGS               method of the I before it, vtable order
// ARCHES is a comma list of X86, X64, Arm64 (empty: all), FLAGS and ATTRS comma
// lists; the script's header lists their words. A nested type is a record named
// Parent.Child right after its parent's fields; a record declared for some
// architectures only comes once per architecture set.
//
// Type text (RETURN, TYPE, an enum's BASE): a name (the metadata's native names,
// Void, Byte, Int32, IntPtr, Guid...; any other type's, HWND, RECT; a nested type's
// Parent.Child), then, left to right, * for a pointer and [N] for an array of N:
// RECT*[4] is an array of 4 pointers. An interface's name stands for a pointer to
// the interface (IUnknown* is C's IUnknown**).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// ARCHES as bits; 0 means every architecture.
enum : std::uint8_t { kArchX86 = 1, kArchX64 = 2, kArchArm64 = 4 };

// FLAGS of functions, callbacks and methods as bits.
enum : std::uint16_t {
    kSetLastError = 1 << 0,
    kAnsi = 1 << 1,  // the A of an A/W pair
    kUnicode = 1 << 2,
    kCdecl = 1 << 3,
    kDoesNotReturn = 1 << 4,
    kPreserveSig = 1 << 5,
    kObsolete = 1 << 6,
    kOptionalReturn = 1 << 7,
    kSpecialName = 1 << 8,  // a property accessor
};

// A parameter or a field.
struct SdkMember {
    std::string name;
    std::string type;                // type text
    std::vector<std::string> attrs;  // In, Out, Optional, Const, MemorySize=3, CountParam=1...
};

// A function, a callback type (dll empty) or a method (dll empty, arches 0).
struct SdkFunction {
    std::string name;
    std::string dll;
    std::string returns;  // type text
    std::uint16_t flags = 0;
    std::uint8_t arches = 0;
    std::uint32_t space = 0;  // index into SdkTypes::namespaces
    std::vector<SdkMember> params;
};

struct SdkTypedef {
    std::string name;
    std::string type;  // type text: HWND is IntPtr, PSTR Byte*
    std::uint8_t arches = 0;
    std::uint32_t space = 0;
};

struct SdkRecord {
    std::string name;  // Parent.Child for a nested type
    bool isUnion = false;
    std::uint32_t pack = 0;  // 0: default packing
    std::uint8_t arches = 0;
    std::uint32_t space = 0;
    std::vector<SdkMember> fields;
    std::vector<std::string> nested;  // full names of the records declared in this one
};

struct SdkEnum {
    std::string name;
    std::string base;  // its integer type's native name (Int32, UInt32...)
    bool flags = false;
    bool scoped = false;
    std::uint32_t space = 0;
};

struct SdkInterface {
    std::string name;
    std::string iid;   // 00000000-0000-0000-C000-000000000046; empty where there is none
    std::string base;  // empty: none
    std::uint32_t space = 0;
    std::vector<SdkFunction> methods;  // vtable order, after the base's
};

struct SdkTypes {
    std::string version;  // of the metadata (!source)
    std::string commit;
    std::vector<std::string> namespaces;
    std::vector<SdkFunction> functions;
    std::vector<SdkTypedef> typedefs;
    std::vector<SdkRecord> records;  // nested ones after their parent
    std::vector<SdkEnum> enums;
    std::vector<SdkFunction> callbacks;
    std::vector<SdkInterface> interfaces;
};

// Parses the extract's text. False, with "line N: what", on the first malformed
// line: an unknown record, a wrong number of fields, a type text that does not
// parse, an unknown flag or architecture, a P, M or X without its record, a nested
// record without its parent.
bool ParseSdkTypes(std::string_view text, SdkTypes& out, std::string* error);

// Reads the gzip-compressed extract. False, with the file's name and the reason, on failure.
bool ReadSdkTypes(const std::string& path, SdkTypes& out, std::string* error);

// One step from a type text's name outwards: a pointer, or an array of count.
struct TypeStep {
    enum Kind : std::uint8_t { Pointer, Array } kind = Pointer;
    std::uint32_t count = 0;  // an array's, at least 1
};

// A type text taken apart: RECT*[4] is {"RECT", {Pointer, Array 4}}.
struct TypeText {
    std::string name;  // Int32, HWND, INPUT._Anonymous_e__Union
    std::vector<TypeStep> steps;
};

// False, with what is wrong, when the text is not a name (dot-separated
// identifiers) followed by * and [N] steps, N from 1 to 2^32-1.
bool ParseTypeText(std::string_view text, TypeText& out, std::string* error);

}  // namespace tools
