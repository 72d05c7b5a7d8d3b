// The headers' function declarations: the file they are kept in at its edges, and
// the committed extract's spelling of functions everyone knows.
#include <gtest/gtest.h>

#include "tools/header_functions.h"

namespace tools {
namespace {

std::string Prototype(const HeaderFunction& f) {
    std::string s = f.returns + " " + f.call + " " + f.name + "(";
    for (std::size_t i = 0; i < f.params.size(); ++i) s += (i ? "|" : "") + f.params[i];
    if (f.variadic) s += "|...";
    return s + ")" + (f.noPrototype ? " noproto" : "") + (f.isInline ? " inline" : "") + " @" + f.header;
}

TEST(HeaderFunctionsFile, WhatIsWrittenIsReadBackSortedByName) {
    HeaderFunctions h;
    h.source = "mingw-w64";
    h.package = "mingw-w64-common 10.0.0-3";
    h.compiler = "clang";
    h.errors = {{"broken.h", "broken.h:3: unknown type name 'X'"}};
    h.functions = {{"wsprintfA", "int", "cdecl", true, false, false, "winuser.h", {"LPSTR", "LPCSTR"}},
                   {"Beep", "WINBOOL", "stdcall", false, false, false, "utilapiset.h", {"DWORD", "DWORD"}},
                   {"old", "int", "cdecl", false, true, true, "old.h", {}},
                   {"qsort", "void", "cdecl", false, false, false, "stdlib.h",
                    {"void *", "size_t", "size_t", "int (*)(const void *, const void *) __attribute__((cdecl))"}}};
    h.typedefs = {{"HWND", "windef.h"}, {"BOOL", "minwindef.h"}};
    HeaderFunctions back;
    std::string error;
    ASSERT_TRUE(ParseHeaderFunctions(FormatHeaderFunctions(h, "two\nlines"), back, &error)) << error;
    EXPECT_EQ(back.source + "|" + back.package + "|" + back.compiler, "mingw-w64|mingw-w64-common 10.0.0-3|clang");
    ASSERT_EQ(back.errors.size(), 1u);
    EXPECT_EQ(back.errors[0].header + "|" + back.errors[0].error, "broken.h|broken.h:3: unknown type name 'X'");
    ASSERT_EQ(back.functions.size(), 4u);
    EXPECT_EQ(Prototype(back.functions[0]), "WINBOOL stdcall Beep(DWORD|DWORD) @utilapiset.h");
    EXPECT_EQ(Prototype(back.functions[1]), "int cdecl old() noproto inline @old.h");
    EXPECT_EQ(Prototype(back.functions[2]),
              "void cdecl qsort(void *|size_t|size_t|int (*)(const void *, const void *) __attribute__((cdecl))) @stdlib.h");
    EXPECT_EQ(Prototype(back.functions[3]), "int cdecl wsprintfA(LPSTR|LPCSTR|...) @winuser.h");
    ASSERT_EQ(back.typedefs.size(), 2u);
    EXPECT_EQ(back.typedefs[0].name + back.typedefs[1].name, "BOOLHWND");
    ASSERT_NE(FindHeaderFunction(back, "Beep"), nullptr);
    EXPECT_EQ(FindHeaderFunction(back, "beep"), nullptr);  // C's names are case-sensitive
    EXPECT_EQ(FindHeaderFunction(back, "Beeps"), nullptr);
    EXPECT_EQ(FindHeaderFunction(back, ""), nullptr);
    // The same records, the same text.
    EXPECT_EQ(FormatHeaderFunctions(back, "two\nlines"), FormatHeaderFunctions(back, "two\nlines"));
}

TEST(HeaderFunctionsFile, MalformedFilesAreRefusedWithTheirLine) {
    const std::string source = "!source\tmingw-w64\tpkg\tclang\n";
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"F\tf\tint\tstdcall\t\ta.h\n", "line 1: a record before !source"},
        {"", "no !source"},
        {source + source, "line 2: a second !source"},
        {"!source\t\tpkg\tclang\n", "line 1: expected !source, NAME, PACKAGE and COMPILER"},
        {source + "P\tint\n", "line 2: a parameter before the first F"},
        {source + "F\tf\tint\tstdcall\t\ta.h\nP\t\n", "line 3: expected P and TYPE"},
        {source + "F\tf\tint\tstdcall\t\ta.h\nP\tint\tx\n", "line 3: expected P and TYPE"},
        {source + "F\tf\tint\tstdcall\ta.h\n", "line 2: expected F, NAME, RETURNS, CALL, FLAGS and HEADER"},
        {source + "F\tf\t\tstdcall\t\ta.h\n", "line 2: expected F, NAME, RETURNS, CALL, FLAGS and HEADER"},
        {source + "F\tf\tint\tpascal\t\ta.h\n", "line 2: unknown calling convention 'pascal'"},
        {source + "F\tf\tint\tcdecl\tvariadic,,\ta.h\n", "line 2: unknown flag in 'variadic,,'"},
        {source + "F\tf\tint\tcdecl\tVariadic\ta.h\n", "line 2: unknown flag in 'Variadic'"},
        {source + "T\tHWND\n", "line 2: expected T, NAME and HEADER"},
        {source + "!error\ta.h\n", "line 2: expected !error, HEADER and ERROR"},
        {source + "X\tf\n", "line 2: unknown record 'X'"},
        {source + "F\tf\tint\tcdecl\t\ta.h\nF\tf\tint\tcdecl\t\tb.h\n", "function f declared twice"},
        {source + "T\tA\ta.h\nT\tA\tb.h\n", "typedef A listed twice"},
    };
    for (const auto& c : cases) {
        HeaderFunctions out;
        std::string error;
        EXPECT_FALSE(ParseHeaderFunctions(c.text, out, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    // Comments, empty lines and empty FLAGS and HEADER fields are fine; so is a function with no parameter.
    HeaderFunctions out;
    std::string error;
    EXPECT_TRUE(ParseHeaderFunctions("# x\n\n" + source + "F\tf\tvoid\tother\t\t\n", out, &error)) << error;
    ASSERT_EQ(out.functions.size(), 1u);
    EXPECT_TRUE(out.functions[0].params.empty());
}

TEST(HeaderFunctionsFile, CallingConventionsAndWritableTypes) {
    EXPECT_EQ(CallingConventionMacro("stdcall"), "WINAPI");
    EXPECT_EQ(CallingConventionMacro("cdecl"), "WINAPIV");
    EXPECT_EQ(CallingConventionMacro("fastcall"), "__fastcall");
    EXPECT_EQ(CallingConventionMacro("other"), "");
    EXPECT_TRUE(WritableHeaderType("const RECT *"));
    EXPECT_TRUE(WritableHeaderType("void (*)(int)"));
    EXPECT_FALSE(WritableHeaderType(""));
    EXPECT_FALSE(WritableHeaderType("struct (unnamed struct at a.h:1:1) *"));
    EXPECT_FALSE(WritableHeaderType("union (anonymous union at a.h:1:1)"));
}

#if defined(QALOMIR_HEADER_FUNCTIONS)
class CommittedExtract : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        h_ = new HeaderFunctions;
        std::string error;
        ASSERT_TRUE(ReadHeaderFunctions(QALOMIR_HEADER_FUNCTIONS, *h_, &error)) << error;
    }
    static void TearDownTestSuite() { delete h_; }
    static std::string Of(const char* name) {
        const HeaderFunction* f = FindHeaderFunction(*h_, name);
        return f ? Prototype(*f) : std::string("(not declared)");
    }
    static HeaderFunctions* h_;
};
HeaderFunctions* CommittedExtract::h_ = nullptr;

TEST_F(CommittedExtract, WellKnownFunctionsAsTheHeadersSpellThem) {
    EXPECT_EQ(Of("MessageBoxA"), "int stdcall MessageBoxA(HWND|LPCSTR|LPCSTR|UINT) @winuser.h");
    EXPECT_EQ(Of("CreateWindowExA"),
              "HWND stdcall CreateWindowExA(DWORD|LPCSTR|LPCSTR|DWORD|int|int|int|int|HWND|HMENU|HINSTANCE|LPVOID) @winuser.h");
    EXPECT_EQ(Of("GetWindowRect"), "WINBOOL stdcall GetWindowRect(HWND|LPRECT) @winuser.h");
    EXPECT_EQ(Of("FindFirstFileA"), "HANDLE stdcall FindFirstFileA(LPCSTR|LPWIN32_FIND_DATAA) @fileapi.h");
    // WINAPIV: the caller pops the arguments, which only it can count.
    EXPECT_EQ(Of("wsprintfA"), "int cdecl wsprintfA(LPSTR|LPCSTR|...) @winuser.h");
    // REFCLSID and REFIID are macros whose C and C++ types differ: their names are kept.
    EXPECT_EQ(Of("CoCreateInstance"), "HRESULT stdcall CoCreateInstance(REFCLSID|LPUNKNOWN|DWORD|REFIID|LPVOID *) @combaseapi.h");
    // A header's own unit gives what <windows.h> does not include.
    EXPECT_EQ(Of("D3D11CreateDevice").substr(0, 25), "HRESULT stdcall D3D11Crea");
    EXPECT_NE(Of("D3D11CreateDevice").find("@d3d11.h"), std::string::npos);
}

TEST_F(CommittedExtract, TypedefNamesAndTheSource) {
    EXPECT_EQ(h_->source, "mingw-w64");
    EXPECT_NE(h_->package.find("mingw-w64-common"), std::string::npos);
    for (const char* name : {"HWND", "LPCSTR", "UINT", "WNDPROC", "LPRECT", "WINBOOL"}) {
        const auto at = std::lower_bound(h_->typedefs.begin(), h_->typedefs.end(), std::string(name),
                                         [](const HeaderTypedef& t, const std::string& n) { return t.name < n; });
        EXPECT_TRUE(at != h_->typedefs.end() && at->name == name) << name;
    }
    // Thousands of each, every spelling writable but a few unnamed types.
    EXPECT_GT(h_->functions.size(), 10000u);
    EXPECT_GT(h_->typedefs.size(), 10000u);
}
#endif

}  // namespace
}  // namespace tools
