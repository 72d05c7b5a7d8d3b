// Hexadecimal and decimal notation through the platform's parse and format,
// the call gate, and the declaration text.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>

#include "app/call_gate.h"
#include "app/notation.h"

using namespace app;

TEST(HexTextToInt, DigitsWithAndWithoutPrefix) {
    EXPECT_EQ(16, HexTextToInt("10"));
    EXPECT_EQ(255, HexTextToInt("ff"));
    EXPECT_EQ(255, HexTextToInt("FF"));
    EXPECT_EQ(16, HexTextToInt("0x10"));
    EXPECT_EQ(31, HexTextToInt("1F"));
    EXPECT_EQ(31, HexTextToInt("1Fh"));
}

TEST(HexTextToInt, FullWidthPatternsAreSigned) {
    EXPECT_EQ(-1, HexTextToInt("FFFFFFFF"));
    EXPECT_EQ(INT_MAX, HexTextToInt("7FFFFFFF"));
    EXPECT_EQ(INT_MIN, HexTextToInt("80000000"));
}

TEST(HexTextToInt, NothingReadableGivesZero) {
    EXPECT_EQ(0, HexTextToInt(""));
    EXPECT_EQ(0, HexTextToInt("G1"));
    // Only a lower-case x counts as the prefix; "0x0X10" reads as 0.
    EXPECT_EQ(0, HexTextToInt("0X10"));
}

TEST(CallStrToIntEx, PassesTheFlags) {
    int result = 0;
    CallStrToIntEx("123", 0, result);
    EXPECT_EQ(123, result);
    CallStrToIntEx("0x1F", 1, result);
    EXPECT_EQ(31, result);
}

TEST(IntToHexText, UpperCaseWithoutLeadingZeros) {
    EXPECT_EQ("0", IntToHexText(0));
    EXPECT_EQ("FF", IntToHexText(255));
    EXPECT_EQ("10", IntToHexText(16));
    EXPECT_EQ("FFFFFFFF", IntToHexText(-1));
    EXPECT_EQ("80000000", IntToHexText(INT_MIN));
    EXPECT_EQ("7FFFFFFF", IntToHexText(INT_MAX));
}

TEST(BuildDeclarationText, ThreeLinesNothingEscaped) {
    EXPECT_EQ(".版本 2\r\n\r\n.常量 WM_CREATE, \"1\"", BuildDeclarationText("WM_CREATE", "1"));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 WM_CREATE, \"-1\"", BuildDeclarationText("WM_CREATE", "-1"));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 X, \"(WM_USER+1)\"", BuildDeclarationText("X", "(WM_USER+1)"));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 A\"B, \"\"\"", BuildDeclarationText("A\"B", "\""));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 , \"\"", BuildDeclarationText("", ""));
}

namespace {

int __stdcall Combine(int a, int b, int c) { return a * 100 + b * 10 + c; }
int __cdecl CombineCdecl(int a, int b, int c) { return a * 100 + b * 10 + c; }
int __stdcall Seven() { return 7; }
int __stdcall SumTwelve(int a, int b, int c, int d, int e, int f, int g, int h, int i, int j,
                        int k, int l) {
    return a + b + c + d + e + f + g + h + i + j + k + l + (a == 1 && l == 12 ? 1000 : 0);
}
// Writes through an address argument and gives back a full-width result.
INT_PTR WINAPI StoreAndEcho(int* target, int value, INT_PTR echo) {
    *target = value;
    return echo;
}

LRESULT Gate(void* function, const CallWord* arguments, UINT count, LPARAM cleanup) {
    return CallGate(reinterpret_cast<HWND>(function), count, reinterpret_cast<WPARAM>(arguments), cleanup);
}

CallWord Word(const void* address) { return reinterpret_cast<CallWord>(address); }

// Committed pages as high in the address space as the system gives them: above 4 GiB
// in a 64-bit process, where a pointer cut to 32 bits points elsewhere.
class HighPages {
public:
    HighPages() : base_(VirtualAlloc(nullptr, 0x10000, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE)) {}
    ~HighPages() {
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
    }
    HighPages(const HighPages&) = delete;
    HighPages& operator=(const HighPages&) = delete;
    template <class T>
    T* At(std::size_t offset) const { return reinterpret_cast<T*>(static_cast<char*>(base_) + offset); }
    bool AboveFourGiB() const { return reinterpret_cast<std::uintptr_t>(base_) > 0xFFFFFFFFu; }
    explicit operator bool() const { return base_ != nullptr; }

private:
    void* base_;
};

constexpr bool kX64 = sizeof(void*) == 8;

}  // namespace

TEST(CallGate, ElementZeroIsTheFirstArgument) {
    const CallWord arguments[] = {1, 2, 3};
    EXPECT_EQ(123, Gate(reinterpret_cast<void*>(&Combine), arguments, 3, 0));
    EXPECT_EQ(7, Gate(reinterpret_cast<void*>(&Seven), nullptr, 0, 0));
    const CallWord twelve[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(1078, Gate(reinterpret_cast<void*>(&SumTwelve), twelve, 12, 0));
}

TEST(CallGate, RefusesWhatItCannotCall) {
    const CallWord arguments[CallGateMaxArguments + 1] = {};
    EXPECT_EQ(0, Gate(nullptr, arguments, 3, 0));
    EXPECT_EQ(0, Gate(reinterpret_cast<void*>(&Seven), arguments, CallGateMaxArguments + 1, 0));
    EXPECT_EQ(0, Gate(reinterpret_cast<void*>(&Combine), nullptr, 3, 0));
}

TEST(CallGate, ThroughCallWindowProc) {
    const CallWord arguments[] = {4, 5, 6};
    EXPECT_EQ(456, CallWindowProcA(CallGate, reinterpret_cast<HWND>(&Combine), 3,
                                   reinterpret_cast<WPARAM>(arguments), 0));
}

// The argument words, the variable written through and the result all live above
// 4 GiB on x64: nothing on the way may cut an address or the result to 32 bits.
TEST(CallGate, AddressesAndResultKeepTheirFullWidth) {
    HighPages pages;
    ASSERT_TRUE(pages);
    if (kX64) {
        ASSERT_TRUE(pages.AboveFourGiB()) << "MEM_TOP_DOWN gave no address above 4 GiB";
    }
    auto* words = pages.At<CallWord>(0x100);
    auto* target = pages.At<int>(0x800);
    *target = 0;
    const INT_PTR echo = kX64 ? static_cast<INT_PTR>(0x123456789ABCDEF0ull >> 1) : 0x12345678;
    words[0] = Word(target);
    words[1] = -42;
    words[2] = echo;
    EXPECT_EQ(echo, CallWindowProcA(CallGate, reinterpret_cast<HWND>(&StoreAndEcho), 3,
                                    reinterpret_cast<WPARAM>(words), 0));
    EXPECT_EQ(-42, *target);
}

TEST(CallStrToIntEx, ResultVariableAboveFourGiB) {
    HighPages pages;
    ASSERT_TRUE(pages);
    if (kX64) {
        ASSERT_TRUE(pages.AboveFourGiB()) << "MEM_TOP_DOWN gave no address above 4 GiB";
    }
    int& result = *pages.At<int>(0x40);
    result = 0;
    CallStrToIntEx("0x7FFFFFFF", 1, result);
    EXPECT_EQ(INT_MAX, result);
}

#if defined(__i386__) || defined(_M_IX86)
// i686 only: the two conventions differ in who removes the arguments. A gate that
// got it wrong would leave the stack unbalanced and the next call would crash.
TEST(CallGateI686Only, StdcallAndCdeclEachCleanTheirWay) {
    const CallWord arguments[] = {1, 2, 3};
    for (int round = 0; round < 1000; ++round) {
        ASSERT_EQ(123, Gate(reinterpret_cast<void*>(&Combine), arguments, 3, 0));
        ASSERT_EQ(123, Gate(reinterpret_cast<void*>(&CombineCdecl), arguments, 3, 1));
    }
}
#else
// x64 has one calling convention: the clean-up flag changes nothing.
TEST(CallGateX64, OneConventionWhateverTheFlag) {
    const CallWord arguments[] = {1, 2, 3};
    for (int round = 0; round < 1000; ++round) {
        ASSERT_EQ(123, Gate(reinterpret_cast<void*>(&Combine), arguments, 3, 0));
        ASSERT_EQ(123, Gate(reinterpret_cast<void*>(&Combine), arguments, 3, 1));
        ASSERT_EQ(123, Gate(reinterpret_cast<void*>(&CombineCdecl), arguments, 3, 1));
    }
}
#endif
