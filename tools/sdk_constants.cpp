#include "tools/sdk_constants.h"

#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace constdb {
namespace {

struct TypeCode {
    std::string_view code;
    IntType type;
};

// Narrow types promote to int, as a C compiler gives them.
constexpr TypeCode kTypes[] = {
    {"i8", {8, false}},   {"u8", {8, true}},    {"i16", {16, false}}, {"u16", {16, true}}, {"i32", {32, false}},
    {"u32", {32, true}},  {"i64", {64, false}}, {"u64", {64, true}},  {"ptr", {32, true}},
};

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t at = 0;;) {
        std::size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
        if (tab == std::string_view::npos) return fields;
        at = tab + 1;
    }
}

// Decimal, with a sign for negative values; anything else (or out of 64 bits) fails.
bool ParseDecimal(std::string_view text, bool isUnsigned, std::uint64_t& raw) {
    std::string s(text);
    if (s.empty() || (s[0] != '-' && (s[0] < '0' || s[0] > '9')) || (isUnsigned && s[0] == '-')) return false;
    char* end = nullptr;
    errno = 0;
    raw = s[0] == '-' ? static_cast<std::uint64_t>(std::strtoll(s.c_str(), &end, 10)) : std::strtoull(s.c_str(), &end, 10);
    return errno == 0 && end == s.c_str() + s.size();
}

bool FitsType(std::uint64_t raw, bool negative, IntType type) {
    if (type.bits == 64) return type.isUnsigned || negative || raw >> 63 == 0;
    if (type.isUnsigned) return !negative && raw < (1ull << type.bits);
    const auto v = static_cast<std::int64_t>(raw);
    const std::int64_t half = std::int64_t(1) << (type.bits - 1);
    return v >= -half && v < half;
}

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
    const TypeCode* type = nullptr;
    for (const TypeCode& t : kTypes)
        if (t.code == f[1]) type = &t;
    if (!type) return Fail(error, number, "unknown type '" + std::string(f[1]) + "'");
    // Pointer values are given as the metadata's signed numbers ((HWND)-1); the cast makes them unsigned.
    const bool pointer = f[1] == "ptr";
    std::uint64_t raw = 0;
    if (!ParseDecimal(f[2], type->type.isUnsigned && !pointer, raw) ||
        (!pointer && !FitsType(raw, f[2][0] == '-', type->type)))
        return Fail(error, number, "value '" + std::string(f[2]) + "' is not a " + std::string(f[1]));
    c.name.assign(f[0]);
    c.value = IntValue::Of(raw, type->type);
    c.kind = KindOf(f[1], f.size() == 4 ? f[3] : std::string_view());
    return true;
}

}  // namespace

bool ParseSdkConstants(std::string_view text, SdkConstants& out, std::string* error) {
    out = SdkConstants{};
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '@') {
            out.namespaces.emplace_back(line.substr(1));
            continue;
        }
        if (out.namespaces.empty()) return Fail(error, number, "a constant before the first namespace");
        SdkConstant c;
        if (!ParseRecord(line, number, c, error)) return false;
        c.space = static_cast<std::uint32_t>(out.namespaces.size() - 1);
        out.constants.push_back(std::move(c));
    }
    return true;
}

bool ReadSdkConstants(const std::string& path, SdkConstants& out, std::string* error) {
    std::unique_ptr<gzFile_s, int (*)(gzFile)> file(gzopen(path.c_str(), "rb"), gzclose);
    if (!file) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    std::string text;
    char buffer[1 << 16];
    int n;
    while ((n = gzread(file.get(), buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    if (n < 0) {
        int code = 0;
        if (error) *error = path + ": " + gzerror(file.get(), &code);
        return false;
    }
    if (!ParseSdkConstants(text, out, error)) {
        if (error) *error = path + ": " + *error;
        return false;
    }
    return true;
}

}  // namespace constdb
