#pragma once
// The layout of every structure and union a folder of Windows headers declares, as
// a compiler for each target laid them out (layout_evaluator.h), and the text
// file data/ keeps them in.
//
// The file (UTF-8, gzip-compressed), one record a line:
//   # comment
//   !source<TAB>NAME<TAB>PACKAGE<TAB>COMPILER   where the headers came from, what laid them out
//   !define<TAB>NAME=VALUE                     given to the compiler for every target
//   !arch<TAB>ARCH<TAB>TARGET                   what follows is for this target (i686, i686-w64-mingw32)
//   !units<TAB>COUNT                            the target's translation units (<windows.h>, then each header)
//   !failed<TAB>HEADER<TAB>ERROR                a unit that did not compile, and its first error
//   R<TAB>NAME<TAB>KIND<TAB>SIZE<TAB>ALIGN<TAB>HEADER<TAB>TAG<TAB>ALIASES
//                                              a record: KIND is struct or union; SIZE and ALIGN in
//                                              bytes; HEADER the file that defines it, under the
//                                              folder; TAG its tag, empty when it has none; ALIASES
//                                              other typedef names of it, space-separated
//   f<TAB>NAME<TAB>OFFSET<TAB>SIZE<TAB>TYPE<TAB>BITS
//                                              a field of the record above, in declaration order:
//                                              OFFSET and SIZE in bytes (SIZE 0 for a flexible
//                                              array member); TYPE as declared; BITS empty, or for
//                                              a bit-field BIT:WIDTH, its first bit within the
//                                              byte at OFFSET and its width
// NAME of a record is its typedef name, else its tag. A structure or union nested
// without a tag is a record of its own, named PARENT.CHILD, with offsets from its
// own start: an anonymous member is a field named Anonymous (Anonymous1,
// Anonymous2, ... where a record has several) of type _Anonymous_e__Struct or
// _Anonymous_e__Union (_Anonymous1_e__Struct, ...); a named member NAME of a type
// without a tag has type _NAME_e__Struct or _NAME_e__Union. Unnamed bit-fields
// (padding) are not fields.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct LayoutField {
    std::string name;
    std::uint64_t offset = 0;  // bytes from the record's start
    std::uint64_t size = 0;    // bytes of the declared type; 0 for a flexible array member
    std::string type;          // as declared ("DWORD", "WCHAR [260]", "_Anonymous_e__Union")
    bool bitField = false;
    unsigned bit = 0;          // a bit-field's first bit within the byte at offset (0-7)
    unsigned width = 0;        // a bit-field's width in bits
};

struct LayoutRecord {
    std::string name;    // typedef name, else tag; PARENT.CHILD for a nested record without a tag
    bool isUnion = false;
    std::uint64_t size = 0;   // bytes
    std::uint64_t align = 0;  // bytes
    std::string header;  // where it is defined, under the folder
    std::string tag;     // empty when it has none
    std::vector<std::string> aliases;  // other typedef names of it
    std::vector<LayoutField> fields;
};

struct LayoutFailure {
    std::string header;  // the unit: <windows.h>, then this
    std::string error;
};

struct LayoutTarget {
    std::string arch;    // "i686", "x86_64"
    std::string target;  // "i686-w64-mingw32"
    std::size_t units = 0;
    std::vector<LayoutFailure> failed;
    std::vector<LayoutRecord> records;  // sorted by name
};

struct HeaderLayouts {
    std::string source;    // "mingw-w64"
    std::string package;   // where the headers came from, with its version
    std::string compiler;  // what laid them out
    std::vector<std::string> defines;  // NAME=VALUE
    std::vector<LayoutTarget> targets;
};

// The first record of that name, or null.
const LayoutRecord* FindLayout(const LayoutTarget& target, std::string_view name);
// The target of that architecture, or null.
const LayoutTarget* FindTarget(const HeaderLayouts& layouts, std::string_view arch);

std::string FormatHeaderLayouts(const HeaderLayouts& in, const std::string& comment);
// False, with "line N: what", on the first malformed line.
bool ParseHeaderLayouts(std::string_view text, HeaderLayouts& out, std::string* error);

// The gzip-compressed file; failures name it.
bool WriteHeaderLayouts(const std::string& path, const HeaderLayouts& in, const std::string& comment, std::string* error);
bool ReadHeaderLayouts(const std::string& path, HeaderLayouts& out, std::string* error);

}  // namespace tools
