#pragma once
// Constants that are not integers: GUIDs (IIDs, CLSIDs), strings and property
// keys, as data/sdk-kinds.tsv.gz keeps the metadata's (tools/extract_sdk_kinds.py
// describes the file), and the texts their values are compared and stored as.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// guid, iid, clsid: a GUID; string: a string (the metadata does not say narrow or
// wide), stringA, stringW: a narrow or a wide string; propkey, devpropkey: a format
// id and a property number.
bool IsKindName(std::string_view kind);
bool IsGuidKind(std::string_view kind);
bool IsStringKind(std::string_view kind);
bool IsPropertyKeyKind(std::string_view kind);

// A GUID's text as kept: 8-4-4-4-12 upper-case hexadecimal digits, no braces.
bool IsGuidText(std::string_view text);
// A property key's value as kept: its format id's text, a comma, its number in
// decimal ("F29F85E0-4FF9-1068-AB91-08002B27B3D9,2").
std::string PropertyKeyText(std::string_view guid, std::uint32_t pid);

// A string's value as kept: its characters in UTF-8, with \\ for a backslash and
// \t, \n, \r, \0 and \xHH for control characters (C's escapes).
std::string EscapeString(std::string_view raw);
// The characters back; nullopt for a malformed escape.
std::optional<std::string> UnescapeString(std::string_view escaped);

struct KindConstant {
    std::string kind;   // as above
    std::string name;
    std::string value;  // as kept (above)
    std::uint32_t space = 0;  // index into KindConstants::spaces: the namespace, or the header
};

struct KindConstants {
    std::string origin;               // the !source line's words
    std::vector<std::string> spaces;  // namespaces (metadata) or header files
    std::vector<KindConstant> constants;  // in the file's order
};

// Parses data/sdk-kinds.tsv.gz's text. False, with "line N: what", on the first malformed line.
bool ParseSdkKinds(std::string_view text, KindConstants& out, std::string* error);
bool ReadSdkKinds(const std::string& path, KindConstants& out, std::string* error);

// data/header-kinds.tsv.gz: one or more sources in the same format, each from its
// !source line (SOURCE, PACKAGE, COMPILER: origin's first word names the source),
// its "@" lines naming the defining header (its path under the source's folders).
bool ParseKindSources(std::string_view text, std::vector<KindConstants>& out, std::string* error);
bool ReadKindSources(const std::string& path, std::vector<KindConstants>& out, std::string* error);
// Each source's origin with tabs between its words; every line of comment after "# ".
std::string FormatKindSources(const std::vector<KindConstants>& sources, const std::string& comment);
bool WriteKindSources(const std::string& path, const std::vector<KindConstants>& sources, const std::string& comment,
                      std::string* error);

}  // namespace tools
