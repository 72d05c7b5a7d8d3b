#pragma once
// A C integer value together with its type, as a 32-bit Windows compiler types it:
// int and long are 32 bits, long long is 64; narrower types are promoted to int.
#include <cstdint>
#include <string>

namespace tools {

struct IntType {
    int bits = 32;  // 32 or 64 after promotion; 8 or 16 only as a cast target
    bool isUnsigned = false;

    bool operator==(const IntType& o) const { return bits == o.bits && isUnsigned == o.isUnsigned; }
    static IntType Int() { return {32, false}; }
    static IntType UInt() { return {32, true}; }
    static IntType LongLong() { return {64, false}; }
    static IntType ULongLong() { return {64, true}; }
};

class IntValue {
public:
    IntValue() = default;
    // Converts `raw` (two's complement) to `type`, as a C cast does; 8- and 16-bit
    // targets truncate and then promote to int.
    static IntValue Of(std::uint64_t raw, IntType type);
    static IntValue FromInt(std::int64_t v) { return Of(static_cast<std::uint64_t>(v), IntType::Int()); }

    IntType Type() const { return type_; }
    bool IsUnsigned() const { return type_.isUnsigned; }
    std::uint64_t Raw() const { return raw_; }  // sign-extended to 64 bits for signed types
    std::int64_t Signed() const { return static_cast<std::int64_t>(raw_); }
    bool IsZero() const { return raw_ == 0; }
    bool IsNegative() const { return !type_.isUnsigned && Signed() < 0; }
    bool operator==(const IntValue& o) const { return raw_ == o.raw_ && type_ == o.type_; }

private:
    std::uint64_t raw_ = 0;
    IntType type_;
};

// The common type of the usual arithmetic conversions for two promoted operands.
IntType CommonType(IntType a, IntType b);

}  // namespace tools
