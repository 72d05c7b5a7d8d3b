#include "tools/type_codes.h"

#include <cerrno>
#include <cstdlib>

namespace tools {
namespace {

struct TypeCode {
    std::string_view code;
    IntType type;
};

constexpr TypeCode kTypes[] = {
    {"i8", {8, false}},   {"u8", {8, true}},    {"i16", {16, false}}, {"u16", {16, true}}, {"i32", {32, false}},
    {"u32", {32, true}},  {"i64", {64, false}}, {"u64", {64, true}},  {"ptr", {32, true}},
};

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

}  // namespace

std::optional<IntType> TypeOfCode(std::string_view code) {
    for (const TypeCode& t : kTypes)
        if (t.code == code) return t.type;
    return std::nullopt;
}

const char* CodeOfType(IntType type) {
    if (type.bits == 64) return type.isUnsigned ? "u64" : "i64";
    return type.isUnsigned ? "u32" : "i32";
}

std::optional<IntValue> ParseTypedValue(std::string_view text, IntType type, bool pointer) {
    std::uint64_t raw = 0;
    if (!ParseDecimal(text, type.isUnsigned && !pointer, raw)) return std::nullopt;
    if (!pointer && !FitsType(raw, text[0] == '-', type)) return std::nullopt;
    return IntValue::Of(raw, type);
}

std::string TypedValueText(const IntValue& value) {
    return value.IsUnsigned() ? std::to_string(value.Raw()) : std::to_string(value.Signed());
}

}  // namespace tools
