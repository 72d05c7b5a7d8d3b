// Hexadecimal and decimal notation through the platform's parse and format,
// the call gate, and the declaration text.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

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

LRESULT Gate(void* function, const int* arguments, WPARAM count, LPARAM cleanup) {
    return CallGate(reinterpret_cast<HWND>(function),
                    static_cast<UINT>(reinterpret_cast<UINT_PTR>(arguments)), count, cleanup);
}

}  // namespace

TEST(CallGate, ElementZeroIsTheFirstArgument) {
    const int arguments[] = {1, 2, 3};
    EXPECT_EQ(123, Gate(reinterpret_cast<void*>(&Combine), arguments, 3, 0));
    EXPECT_EQ(123, Gate(reinterpret_cast<void*>(&CombineCdecl), arguments, 3, 1));
    EXPECT_EQ(7, Gate(reinterpret_cast<void*>(&Seven), nullptr, 0, 0));
    const int twelve[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(1078, Gate(reinterpret_cast<void*>(&SumTwelve), twelve, 12, 0));
}

TEST(CallGate, RefusesWhatItCannotCall) {
    const int arguments[CallGateMaxArguments + 1] = {};
    EXPECT_EQ(0, Gate(nullptr, arguments, 3, 0));
    EXPECT_EQ(0, Gate(reinterpret_cast<void*>(&Seven), arguments, CallGateMaxArguments + 1, 0));
    EXPECT_EQ(0, Gate(reinterpret_cast<void*>(&Combine), nullptr, 3, 0));
}

TEST(CallGate, ThroughCallWindowProc) {
    const int arguments[] = {4, 5, 6};
    EXPECT_EQ(456, CallWindowProcA(CallGate, reinterpret_cast<HWND>(&Combine),
                                   static_cast<UINT>(reinterpret_cast<UINT_PTR>(arguments)), 3, 0));
}
