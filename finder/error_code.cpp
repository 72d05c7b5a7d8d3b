#include "finder/error_code.h"

namespace finder {
namespace {

bool Bit(std::uint32_t value, int n) { return ((value >> n) & 1u) != 0; }

CodeReading NtReading(std::uint32_t value) {
    CodeReading r;
    r.kind = CodeReading::Kind::NtStatus;
    r.value = r.ntStatus = value;
    r.status = NtStatusOf(value);
    return r;
}

}  // namespace

HresultFields HresultOf(std::uint32_t value) {
    HresultFields f;
    f.failure = Bit(value, 31);
    f.reserved = Bit(value, 30);
    f.customer = Bit(value, 29);
    f.fromNt = Bit(value, 28);
    f.facility = static_cast<std::uint16_t>((value >> 16) & 0x7FF);
    f.code = static_cast<std::uint16_t>(value & 0xFFFF);
    return f;
}

NtStatusFields NtStatusOf(std::uint32_t value) {
    NtStatusFields f;
    f.severity = static_cast<std::uint8_t>(value >> 30);
    f.customer = Bit(value, 29);
    f.facility = static_cast<std::uint16_t>((value >> 16) & 0xFFF);
    f.code = static_cast<std::uint16_t>(value & 0xFFFF);
    return f;
}

const char* SeverityName(std::uint8_t severity) {
    switch (severity & 3) {
    case 0: return "success";
    case 1: return "informational";
    case 2: return "warning";
    default: return "error";
    }
}

std::vector<CodeReading> ReadErrorCode(std::uint32_t value) {
    // -65536 to -1: every bit of both facility fields set, which no facility
    // has; these are the negative numbers constants use (-1, -2, ...).
    if (value >= 0xFFFF0000u) return {};
    if (value & kFacilityNtBit) {
        CodeReading r;
        r.kind = CodeReading::Kind::HresultFromNt;
        r.value = value;
        r.ntStatus = value & ~kFacilityNtBit;
        r.hresult = HresultOf(value);
        r.status = NtStatusOf(r.ntStatus);
        return {r};
    }
    if (Bit(value, 30)) return {NtReading(value)};
    if (Bit(value, 31)) {
        CodeReading r;
        r.value = value;
        r.hresult = HresultOf(value);
        return {r};
    }
    return {};
}

CodeReading NtStatusWarning(std::uint32_t value) { return NtReading(value); }

}  // namespace finder
