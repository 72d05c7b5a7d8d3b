#pragma once
// The types a cast or sizeof may name: C's integer keywords, and the typedef
// names the headers declare (DWORD, HANDLE, ...), learnt while they are read.
#include <optional>
#include <string>
#include <unordered_map>

#include "tools/int_value.h"
#include "tools/token.h"

namespace constdb {

struct CType {
    enum class Kind { Integer, Pointer, Record, Void, Floating };
    Kind kind = Kind::Integer;
    IntType integer;  // for Integer; bits may be 8 or 16

    static CType Integer(IntType t) { return {Kind::Integer, t}; }
    static CType Pointer() { return {Kind::Pointer, IntType::UInt()}; }
    static CType Of(Kind k) { return {k, IntType::Int()}; }

    // What a cast to this type makes of an integer; pointers are 32-bit addresses.
    std::optional<IntType> CastTarget() const;
    // sizeof, for a 32-bit target; empty when unknown (records).
    std::optional<int> Size() const;
};

class TypeTable {
public:
    void Add(const std::string& name, CType type) { names_[name] = type; }
    const CType* Find(const std::string& name) const;
    bool IsKeywordOrName(const Token& t) const;
    // The type named by tokens [begin, end), or nothing when they are not a type name.
    std::optional<CType> ParseTypeName(const Tokens& tokens, std::size_t begin, std::size_t end) const;
    std::size_t Size() const { return names_.size(); }

private:
    std::unordered_map<std::string, CType> names_;
};

}  // namespace constdb
