#include "tools/value_text.h"

namespace tools {

std::string FormatValueText(const IntValue& value, bool anyHexOperand) {
    if (anyHexOperand) {
        std::uint64_t bits = value.Raw();
        if (value.Type().bits == 32) bits &= 0xFFFFFFFFu;
        static const char digits[] = "0123456789ABCDEF";
        std::string hex;
        do {
            hex.insert(hex.begin(), digits[bits & 0xF]);
            bits >>= 4;
        } while (bits);
        return "0x" + hex;
    }
    return value.IsUnsigned() ? std::to_string(value.Raw()) : std::to_string(value.Signed());
}

std::string SdkValueText(const IntValue& value, SdkKind kind) {
    const int bits = value.Type().bits;
    const std::uint64_t mask = bits == 64 ? ~0ull : (1ull << bits) - 1;
    const std::uint64_t pattern = value.Raw() & mask;
    const bool topBit = (pattern >> (bits - 1)) & 1;
    const bool smallNegative = topBit && pattern >= mask - 255;
    const bool signedOrPointer = !value.IsUnsigned() || kind == SdkKind::Pointer;
    const bool hex = kind == SdkKind::Status || (topBit && !(smallNegative && signedOrPointer));
    return FormatValueText(value, hex);
}

}  // namespace tools
