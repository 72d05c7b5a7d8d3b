#include "tools/int_value.h"

namespace tools {

IntValue IntValue::Of(std::uint64_t raw, IntType type) {
    IntValue v;
    switch (type.bits) {
    case 8:
        raw = type.isUnsigned ? std::uint64_t(std::uint8_t(raw)) : std::uint64_t(std::int64_t(std::int8_t(raw)));
        type = IntType::Int();
        break;
    case 16:
        raw = type.isUnsigned ? std::uint64_t(std::uint16_t(raw)) : std::uint64_t(std::int64_t(std::int16_t(raw)));
        type = IntType::Int();
        break;
    case 32:
        raw = type.isUnsigned ? std::uint64_t(std::uint32_t(raw)) : std::uint64_t(std::int64_t(std::int32_t(raw)));
        break;
    default:
        type.bits = 64;
        break;
    }
    v.raw_ = raw;
    v.type_ = type;
    return v;
}

IntType CommonType(IntType a, IntType b) {
    if (a.bits == b.bits) return {a.bits, a.isUnsigned || b.isUnsigned};
    // A wider signed type holds every value of a narrower unsigned one.
    return a.bits > b.bits ? a : b;
}

}  // namespace tools
