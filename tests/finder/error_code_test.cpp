// The fields of HRESULT and NTSTATUS values at their edges.
#include <gtest/gtest.h>

#include "finder/error_code.h"

using namespace finder;

using Kind = CodeReading::Kind;

TEST(FinderErrorCode, HresultFields) {
    const std::vector<CodeReading> r = ReadErrorCode(0x80070005);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].kind, Kind::Hresult);
    EXPECT_TRUE(r[0].hresult.failure);
    EXPECT_FALSE(r[0].hresult.customer);
    EXPECT_FALSE(r[0].hresult.fromNt);
    EXPECT_EQ(r[0].hresult.facility, kFacilityWin32);
    EXPECT_EQ(r[0].hresult.code, 5);

    // The facility is eleven bits: bit 27 (X) is not part of it.
    const HresultFields widest = HresultOf(0x87FFFFFF);
    EXPECT_EQ(widest.facility, 0x7FF);
    EXPECT_EQ(widest.code, 0xFFFF);
    EXPECT_EQ(HresultOf(0x88000000).facility, 0);
    // The customer bit.
    const HresultFields customer = HresultOf(0xA0040001);
    EXPECT_TRUE(customer.customer);
    EXPECT_EQ(customer.facility, 4);
}

TEST(FinderErrorCode, NtStatusFieldsAndSeverities) {
    const std::vector<CodeReading> r = ReadErrorCode(0xC0000005);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].kind, Kind::NtStatus);
    EXPECT_EQ(r[0].status.severity, 3);
    EXPECT_EQ(r[0].status.facility, 0);
    EXPECT_EQ(r[0].status.code, 5);
    EXPECT_STREQ(SeverityName(r[0].status.severity), "error");

    const std::vector<CodeReading> info = ReadErrorCode(0x40000000);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].kind, Kind::NtStatus);
    EXPECT_STREQ(SeverityName(info[0].status.severity), "informational");
    // The NTSTATUS facility is twelve bits: bit 27 is part of it.
    EXPECT_EQ(NtStatusOf(0xCFFF0000).facility, 0xFFF);
    EXPECT_TRUE(NtStatusOf(0xE0000001).customer);
    // A warning has the shape of a failing HRESULT; it is given on request.
    EXPECT_EQ(ReadErrorCode(0x80000005)[0].kind, Kind::Hresult);
    EXPECT_STREQ(SeverityName(NtStatusWarning(0x80000005).status.severity), "warning");
}

TEST(FinderErrorCode, NtBitMakesAnHresultFromAnNtStatus) {
    const std::vector<CodeReading> r = ReadErrorCode(0xD0000005);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].kind, Kind::HresultFromNt);
    EXPECT_EQ(r[0].ntStatus, 0xC0000005u);
    EXPECT_TRUE(r[0].hresult.fromNt);
    EXPECT_TRUE(r[0].hresult.reserved);
    EXPECT_EQ(r[0].status.severity, 3);
    EXPECT_EQ(r[0].status.code, 5);
    // A success NTSTATUS carried the same way.
    const std::vector<CodeReading> success = ReadErrorCode(0x10000103);
    ASSERT_EQ(success.size(), 1u);
    EXPECT_EQ(success[0].ntStatus, 0x103u);
    EXPECT_EQ(success[0].status.severity, 0);
}

TEST(FinderErrorCode, NoReadingForSuccessOrSmallNegatives) {
    for (std::uint32_t v : {0u, 1u, 0x00CF0000u, 0x0FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFF0000u})
        EXPECT_TRUE(ReadErrorCode(v).empty()) << std::hex << v;
    EXPECT_FALSE(ReadErrorCode(0xFFFEFFFFu).empty());
    EXPECT_FALSE(ReadErrorCode(0x80000000u).empty());
}
