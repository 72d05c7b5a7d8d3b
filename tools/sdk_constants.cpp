#include "tools/sdk_constants.h"

#include "tools/gzip_text.h"
#include "tools/tsv_lines.h"
#include "tools/type_codes.h"

namespace tools {
namespace {

SdkKind KindOf(std::string_view typeCode, std::string_view typedefName) {
    if (typeCode == "ptr") return SdkKind::Pointer;
    if (typedefName == "HRESULT" || typedefName == "NTSTATUS") return SdkKind::Status;
    return SdkKind::Plain;
}

bool Fail(std::string* error, std::size_t line, const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
}

bool ParseRecord(std::string_view line, std::size_t number, SdkConstant& c, std::string* error) {
    std::vector<std::string_view> f = SplitTabs(line);
    if (f.size() < 3 || f.size() > 4 || f[0].empty()) return Fail(error, number, "expected NAME, TYPE, VALUE and an optional TYPEDEF");
    const std::optional<IntType> type = TypeOfCode(f[1]);
    if (!type) return Fail(error, number, "unknown type '" + std::string(f[1]) + "'");
    // Pointer values are given as the metadata's signed numbers ((HWND)-1); the cast makes them unsigned.
    const std::optional<IntValue> value = ParseTypedValue(f[2], *type, f[1] == "ptr");
    if (!value) return Fail(error, number, "value '" + std::string(f[2]) + "' is not a " + std::string(f[1]));
    c.name.assign(f[0]);
    c.value = *value;
    c.kind = KindOf(f[1], f.size() == 4 ? f[3] : std::string_view());
    return true;
}

}  // namespace

bool ParseSdkConstants(std::string_view text, SdkConstants& out, std::string* error) {
    out = SdkConstants{};
    return ForEachLine(text, [&](std::string_view line, std::size_t number) {
        if (line.empty() || line[0] == '#') return true;
        if (line[0] == '@') {
            out.namespaces.emplace_back(line.substr(1));
            return true;
        }
        if (out.namespaces.empty()) return Fail(error, number, "a constant before the first namespace");
        SdkConstant c;
        if (!ParseRecord(line, number, c, error)) return false;
        c.space = static_cast<std::uint32_t>(out.namespaces.size() - 1);
        out.constants.push_back(std::move(c));
        return true;
    });
}

bool ReadSdkConstants(const std::string& path, SdkConstants& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseSdkConstants(text, out, why); }, error);
}

}  // namespace tools
