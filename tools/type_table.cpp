#include "tools/type_table.h"

#include <cstring>

namespace constdb {
namespace {

const char* const kQualifiers[] = {"const", "volatile", "restrict", "__restrict", "__restrict__",
                                   "__unaligned", "__extension__", "__const", "__volatile__"};
const char* const kBaseKeywords[] = {"signed", "__signed__", "unsigned", "int", "long", "short", "char",
                                     "void", "_Bool", "__int8", "__int16", "__int32", "__int64",
                                     "float", "double", "struct", "union", "enum"};

bool OneOf(const std::string& s, const char* const* list, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (s == list[i]) return true;
    return false;
}
template <std::size_t N>
bool OneOf(const std::string& s, const char* const (&list)[N]) { return OneOf(s, list, N); }

struct Specifiers {
    int longs = 0, shorts = 0, chars = 0, ints = 0, voids = 0, floats = 0, records = 0, enums = 0, pointers = 0;
    int fixedBits = 0;  // __intN
    bool isUnsigned = false, isSigned = false;
    const CType* named = nullptr;

    bool AnyBase() const { return longs || shorts || chars || ints || voids || floats || records || enums || fixedBits || isUnsigned || isSigned; }

    std::optional<CType> Resolve() const {
        if (pointers) return CType::Pointer();
        if (named) return AnyBase() ? std::nullopt : std::optional<CType>(*named);
        if (floats) return CType::Of(CType::Kind::Floating);
        if (voids) return CType::Of(CType::Kind::Void);
        if (records) return CType::Of(CType::Kind::Record);
        if (enums) return CType::Integer(IntType::Int());
        int bits = fixedBits ? fixedBits : chars ? 8 : shorts ? 16 : longs >= 2 ? 64 : 32;
        if (!AnyBase()) return std::nullopt;
        // Plain char is signed on x86.
        return CType::Integer({bits, isUnsigned});
    }
};

}  // namespace

std::optional<IntType> CType::CastTarget() const {
    if (kind == Kind::Integer) return integer;
    if (kind == Kind::Pointer) return IntType::UInt();
    return std::nullopt;
}

std::optional<int> CType::Size() const {
    if (kind == Kind::Pointer) return 4;
    if (kind == Kind::Integer) return integer.bits / 8;
    if (kind == Kind::Floating) return 8;
    return std::nullopt;
}

const CType* TypeTable::Find(const std::string& name) const {
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : &it->second;
}

bool TypeTable::IsKeywordOrName(const Token& t) const {
    if (!t.IsIdentifier()) return false;
    return OneOf(t.text, kQualifiers) || OneOf(t.text, kBaseKeywords) || Find(t.text);
}

std::optional<CType> TypeTable::ParseTypeName(const Tokens& tokens, std::size_t begin, std::size_t end) const {
    Specifiers s;
    for (std::size_t i = begin; i < end; ++i) {
        const Token& t = tokens[i];
        if (t.Is("*")) { ++s.pointers; continue; }
        if (s.pointers) {
            if (t.IsIdentifier() && OneOf(t.text, kQualifiers)) continue;
            return std::nullopt;
        }
        if (!t.IsIdentifier()) return std::nullopt;
        const std::string& w = t.text;
        if (OneOf(w, kQualifiers)) continue;
        if (w == "long") ++s.longs;
        else if (w == "short") ++s.shorts;
        else if (w == "char") ++s.chars;
        else if (w == "int") ++s.ints;
        else if (w == "void") ++s.voids;
        else if (w == "float" || w == "double") ++s.floats;
        else if (w == "_Bool") s.fixedBits = 8, s.isUnsigned = true;
        else if (w == "unsigned") s.isUnsigned = true;
        else if (w == "signed" || w == "__signed__") s.isSigned = true;
        else if (w == "__int8") s.fixedBits = 8;
        else if (w == "__int16") s.fixedBits = 16;
        else if (w == "__int32") s.fixedBits = 32;
        else if (w == "__int64") s.fixedBits = 64;
        else if (w == "struct" || w == "union" || w == "enum") {
            (w == "enum" ? s.enums : s.records)++;
            if (i + 1 < end && tokens[i + 1].IsIdentifier()) ++i;  // the tag
        } else if (const CType* named = Find(w)) {
            if (s.named || s.AnyBase()) return std::nullopt;
            s.named = named;
        } else {
            return std::nullopt;
        }
    }
    return s.Resolve();
}

}  // namespace constdb
