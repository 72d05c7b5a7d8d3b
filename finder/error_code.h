#pragma once
// The fields of a 32-bit error code, read as an HRESULT or an NTSTATUS.
//   HRESULT:  S(31) R(30) C(29) N(28) X(27) facility(16-26) code(0-15)
//   NTSTATUS: severity(30-31) C(29) N(28) facility(16-27) code(0-15)
// N set makes an HRESULT from an NTSTATUS (HRESULT_FROM_NT sets it: FACILITY_NT_BIT).
#include <cstdint>
#include <vector>

namespace finder {

constexpr std::uint32_t kFacilityNtBit = 0x10000000;
// FACILITY_WIN32 and FACILITY_NTWIN32: the code is a Win32 error (HRESULT_FROM_WIN32).
constexpr std::uint16_t kFacilityWin32 = 7;

struct HresultFields {
    bool failure = false;   // S
    bool reserved = false;  // R: set only by an NTSTATUS that N carries
    bool customer = false;  // C
    bool fromNt = false;    // N
    std::uint16_t facility = 0;
    std::uint16_t code = 0;
};

struct NtStatusFields {
    std::uint8_t severity = 0;  // 0 success, 1 informational, 2 warning, 3 error
    bool customer = false;
    std::uint16_t facility = 0;
    std::uint16_t code = 0;
};

HresultFields HresultOf(std::uint32_t value);
NtStatusFields NtStatusOf(std::uint32_t value);
const char* SeverityName(std::uint8_t severity);

struct CodeReading {
    enum class Kind {
        Hresult,        // S set, R and N clear
        NtStatus,       // N clear, bit 30 set: informational (0x4...) or error (0xC...)
        HresultFromNt,  // N set: the NTSTATUS is value without N
    };
    Kind kind = Kind::Hresult;
    std::uint32_t value = 0;
    std::uint32_t ntStatus = 0;  // NtStatus: value; HresultFromNt: value without N
    HresultFields hresult;       // Hresult, HresultFromNt
    NtStatusFields status;       // NtStatus, HresultFromNt
};

// How value reads as an error code: nothing for a value whose two top bits and
// N are clear (success codes carry no information beyond their names), nor for
// -65536 to -1, which are plain negative numbers.
// 0x8xxxxxxx reads as an HRESULT; it is also an NTSTATUS warning, which
// NtStatusWarning gives when names say so.
std::vector<CodeReading> ReadErrorCode(std::uint32_t value);
CodeReading NtStatusWarning(std::uint32_t value);

}  // namespace finder
