// Declarations of functions and types from the sample catalog: what no
// compiler here can check (易语言's layout, VB6), the rules at their edges, and
// the speed. The other languages are compiled by compile-api-declarations.
#include "finder/api_declarations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <sstream>

#include "tests/finder/api_sample_catalog.h"
#include "tests/finder/e_layout.h"

namespace {

using finder::ApiDeclaration;
using finder::Arch;
using finder::DeclareApi;
using finder::Language;
using finder_test::ELayouts;
using finder_test::EType;

const finder_test::SampleCatalog& Catalog() {
    static const finder_test::SampleCatalog catalog;
    return catalog;
}

TEST(ApiDeclarationsE, EveryDataTypeHasTheI686CLayout) {
    const auto& c = Catalog();
    for (const char* name : {"RECT", "WIN32_FIND_DATAA", "INPUT", "MSG", "BITMAPFILEHEADER", "INPUT._Anonymous_e__Union"}) {
        SCOPED_TRACE(name);
        const ApiDeclaration d = DeclareApi(Language::E, Arch::X86_64, {}, {&c.Type(name)}, c);  // e is i686 whatever is asked
        const auto layouts = ELayouts(d.text);
        for (const std::string& declared : d.declared) {
            const finder::ApiType& t = c.Type(declared);
            std::string flat = declared;
            std::replace(flat.begin(), flat.end(), '.', '_');
            ASSERT_TRUE(layouts.count(flat)) << flat << " not written";
            const EType& e = layouts.at(flat);
            EXPECT_EQ(e.size, t.i686->size) << flat;
            if (t.kind == finder::TypeKind::Union) continue;
            for (const finder::ApiField& f : t.i686->fields) {
                ASSERT_TRUE(e.offsets.count(f.name)) << flat << "." << f.name;
                EXPECT_EQ(e.offsets.at(f.name), f.offset) << flat << "." << f.name;
            }
        }
    }
}

TEST(ApiDeclarationsE, PaddingIsFilledAndSaid) {
    const auto& c = Catalog();
    const std::string text = finder::DeclareType(Language::E, Arch::I686, c.Type("WIN32_FIND_DATAA"), c);
    EXPECT_EQ(text.rfind(u8".版本 2\r\n\r\n", 0), 0u);
    EXPECT_NE(text.find(u8".成员 cFileName, 字节型, , \"260\"\r\n"), std::string::npos);
    EXPECT_NE(text.find(u8".成员 填充1, 字节型, , \"2\", i686 C 在此留 2 字节对齐填充\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "CR LF only";
    // pack(2) leaves no gap: nothing to fill.
    EXPECT_EQ(finder::DeclareType(Language::E, Arch::I686, c.Type("BITMAPFILEHEADER"), c).find(u8"填充"),
              std::string::npos);
}

TEST(ApiDeclarationsE, ParametersByTheLanguagesConventions) {
    const auto& c = Catalog();
    const auto fn = [&](const char* name) { return finder::DeclareFunction(Language::E, Arch::I686, c.Function(name), c); };
    const std::string box = fn("MessageBoxA");
    EXPECT_NE(box.find(u8".DLL命令 MessageBoxA, 整数型, \"user32.dll\", \"MessageBoxA\", 公开"), std::string::npos);
    EXPECT_NE(box.find(u8".参数 lpText, 文本型\r\n"), std::string::npos);
    const std::string rect = fn("GetWindowRect");
    EXPECT_NE(rect.find(u8".DLL命令 GetWindowRect, 逻辑型,"), std::string::npos);
    EXPECT_NE(rect.find(u8".参数 lpRect, RECT, 传址\r\n"), std::string::npos);
    EXPECT_NE(rect.find(u8".数据类型 RECT"), std::string::npos) << "the record it points to comes with it";
    EXPECT_NE(fn("EnumWindows").find(u8".参数 lpEnumFunc, 子程序指针\r\n"), std::string::npos);
    // A record by value: its i686 words, as stdcall pushes them.
    const std::string point = fn("WindowFromPoint");
    EXPECT_NE(point.find(u8".参数 Point_2, 整数型"), std::string::npos);
    EXPECT_EQ(point.find(u8".参数 Point_3"), std::string::npos);
}

TEST(ApiDeclarations, DependenciesFirstAndPointersAskedForNext) {
    const auto& c = Catalog();
    const ApiDeclaration input = DeclareApi(Language::Rust, Arch::X86_64, {}, {&c.Type("INPUT")}, c);
    EXPECT_EQ(input.declared, (std::vector<std::string>{"MOUSEINPUT", "KEYBDINPUT", "HARDWAREINPUT",
                                                        "INPUT._Anonymous_e__Union", "INPUT"}));
    // 易语言 has no unions: the member that fills it, and only what that member needs.
    const ApiDeclaration e = DeclareApi(Language::E, Arch::I686, {}, {&c.Type("INPUT")}, c);
    EXPECT_EQ(e.declared, (std::vector<std::string>{"MOUSEINPUT", "INPUT"}));
    // C is written after <windows.h>: a function brings nothing and names what it points to.
    const ApiDeclaration cRect = DeclareApi(Language::C, Arch::X86_64, {&c.Function("GetWindowRect")}, {}, c);
    EXPECT_TRUE(cRect.declared.empty());
    EXPECT_EQ(cRect.askNext, std::vector<std::string>{"RECT"});
    EXPECT_NE(cRect.text.find("// ask for next: RECT\n"), std::string::npos);
    // Asked together, a type is written once.
    const ApiDeclaration twice = DeclareApi(Language::CSharp, Arch::X86_64, {&c.Function("FindFirstFileA")},
                                            {&c.Type("WIN32_FIND_DATAA"), &c.Type("FILETIME")}, c);
    EXPECT_EQ(twice.declared, (std::vector<std::string>{"FILETIME", "WIN32_FIND_DATAA"}));
    // An interface points to nothing it declares; a record points through a pointer only.
    const ApiDeclaration msg = DeclareApi(Language::Python, Arch::X86_64, {}, {&c.Type("MSG")}, c);
    EXPECT_EQ(msg.declared, (std::vector<std::string>{"POINT", "MSG"}));
    EXPECT_TRUE(msg.askNext.empty());
}

TEST(ApiDeclarations, CUsesTheHeadersSpelling) {
    const auto& c = Catalog();
    const auto fn = [&](const char* name) { return finder::DeclareFunction(Language::C, Arch::X86_64, c.Function(name), c); };
    // UINT where the database knows the header says so; the metadata's own handle type is HANDLE.
    EXPECT_NE(fn("MessageBoxA").find("INT WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);"),
              std::string::npos);
    EXPECT_NE(fn("FindFirstFileA").find("HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, WIN32_FIND_DATAA* lpFindFileData);"),
              std::string::npos);
    // A name the catalog lacks still compiles, and says so.
    finder::ApiFunction odd = c.Function("EnumWindows");
    odd.params[1].type = "NOT_IN_THE_DATABASE";
    EXPECT_NE(finder::DeclareFunction(Language::C, Arch::X86_64, odd, c).find("LONG_PTR /* NOT_IN_THE_DATABASE"),
              std::string::npos);
}

// The header's calling convention, `...`, and a pointer to a function or to an
// array the header wrote without a typedef, named inside its type.
TEST(ApiDeclarations, CWritesTheHeadersConventionAndDeclarators) {
    const auto& c = Catalog();
    finder::ApiFunction f = c.Function("EnumWindows");
    f.cReturns = "WINBOOL";
    f.cCall = "WINAPIV";
    f.cVariadic = true;
    f.params[0].cType = "int (WINAPI *)(HWND, LPARAM)";
    f.params[1].cType = "int (*)[4]";
    EXPECT_NE(finder::DeclareFunction(Language::C, Arch::I686, f, c)
                  .find("WINBOOL WINAPIV EnumWindows(int (WINAPI *lpEnumFunc)(HWND, LPARAM), int (*lParam)[4], ...);"),
              std::string::npos);
    // A convention after a `*` would be the pointed-to function's to GCC: cdecl is C's default.
    f.cReturns = "RPC_ADDRESS_CHANGE_FN *";
    f.cVariadic = false;
    f.params[0].cType = f.params[1].cType = "";
    const std::string text = finder::DeclareFunction(Language::C, Arch::I686, f, c);
    EXPECT_NE(text.find("RPC_ADDRESS_CHANGE_FN * EnumWindows(WNDENUMPROC lpEnumFunc, "), std::string::npos) << text;
    f.cCall = "__fastcall";
    EXPECT_NE(finder::DeclareFunction(Language::C, Arch::I686, f, c).find("RPC_ADDRESS_CHANGE_FN * __fastcall EnumWindows("),
              std::string::npos);
}

TEST(ApiDeclarations, VB6IsThirtyTwoBitWithoutUnions) {
    const auto& c = Catalog();
    const std::string box = finder::DeclareFunction(Language::VB6, Arch::X86_64, c.Function("MessageBoxA"), c);
    EXPECT_NE(box.find("Public Declare Function MessageBoxA Lib \"user32\" Alias \"MessageBoxA\" (ByVal hWnd As Long, "
                       "ByVal lpText As String, ByVal lpCaption As String, ByVal uType As Long) As Long"),
              std::string::npos);
    const std::string find = finder::DeclareType(Language::VB6, Arch::I686, c.Type("WIN32_FIND_DATAA"), c);
    EXPECT_NE(find.find("    cFileName As String * 260\n"), std::string::npos);
    const std::string input = finder::DeclareType(Language::VB6, Arch::I686, c.Type("INPUT"), c);
    EXPECT_NE(input.find("    type_ As Long\n"), std::string::npos) << "Type is VB6's";
    EXPECT_NE(input.find("    Anonymous As MOUSEINPUT  ' a union"), std::string::npos);
}

TEST(ApiDeclarations, DefaultArchitectures) {
    EXPECT_EQ(finder::DefaultArch(Language::E), Arch::I686);
    EXPECT_EQ(finder::DefaultArch(Language::VB6), Arch::I686);
    EXPECT_EQ(finder::DefaultArch(Language::Rust), Arch::X86_64);
    const auto& c = Catalog();
    // The layout chosen is the architecture's.
    EXPECT_NE(finder::DeclareType(Language::C, Arch::I686, c.Type("INPUT"), c).find("INPUT: 28 bytes on i686"),
              std::string::npos);
    EXPECT_NE(finder::DeclareType(Language::C, Arch::X86_64, c.Type("INPUT"), c).find("INPUT: 40 bytes on x86_64"),
              std::string::npos);
}

TEST(ApiDeclarations, WellUnderAMillisecondEach) {
    const auto& c = Catalog();
    const auto start = std::chrono::steady_clock::now();
    int n = 0;
    for (int round = 0; round < 20; ++round)
        for (Language l : {Language::E, Language::C, Language::CSharp, Language::VB, Language::VB6, Language::Delphi,
                           Language::Rust, Language::Python}) {
            n += !finder::DeclareFunction(l, finder::DefaultArch(l), c.Function("CreateWindowExA"), c).empty();
            n += !finder::DeclareType(l, finder::DefaultArch(l), c.Type("INPUT"), c).empty();
        }
    const double each = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / n;
    EXPECT_LT(each, 0.5) << "ms a declaration";
}

}  // namespace
