#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "tools/constant_collector.h"

namespace fs = std::filesystem;

namespace constdb {
namespace {

// A throw-away folder of headers.
class HeaderFolder {
public:
    HeaderFolder() {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("constdb-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(root_);
    }
    ~HeaderFolder() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    void Write(const std::string& name, const std::string& text) {
        fs::path p = root_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    std::string Path() const { return root_.string(); }

private:
    fs::path root_;
};

struct Collected {
    std::vector<Constant> rows;
    CollectReport report;

    // The value texts of a name's rows, in row order, with their files.
    std::vector<std::string> Of(const std::string& name) const {
        std::vector<std::string> out;
        for (const Constant& c : rows)
            if (c.name == name) out.push_back(c.valueText + " " + c.file);
        return out;
    }
};

Collected Collect(const HeaderFolder& f) {
    Collected c;
    c.rows = CollectConstantsFromFolders({f.Path()}, &c.report);
    return c;
}

using Texts = std::vector<std::string>;

TEST(Collector, WindowsHValueComesFirstThenOtherBranchesAndHeaders) {
    HeaderFolder f;
    f.Write("aaa.h", "#define SHARED 2\n#define ONLY_HERE 0x10\n");
    f.Write("windows.h", "#include \"sub/base.h\"\n#ifdef _WIN64\n#define PTR_BYTES 8\n#else\n#define PTR_BYTES 4\n#endif\n");
    f.Write("sub/base.h",
            "#ifndef BASE_H\n#define BASE_H\n#define SHARED 1\n#define SAME 5\n"
            "#if 0\n#define SAME 5\n#define OFF_ONLY 9\n#endif\n#endif\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.Of("PTR_BYTES"), (Texts{"4 windows.h", "8 windows.h"}));
    EXPECT_EQ(c.Of("SHARED"), (Texts{"1 base.h", "2 aaa.h"}));  // aaa.h is read later though first by name
    EXPECT_EQ(c.Of("SAME"), (Texts{"5 base.h"}));  // one row per distinct value
    EXPECT_EQ(c.Of("OFF_ONLY"), (Texts{"9 base.h"}));
    EXPECT_EQ(c.Of("ONLY_HERE"), (Texts{"0x10 aaa.h"}));
    EXPECT_EQ(c.Of("BASE_H"), Texts{});  // empty
    EXPECT_EQ(c.report.headersRead, 3u);
    EXPECT_EQ(c.report.skipped["empty definition"], 1u);
}

TEST(Collector, ConditionsFollowA32BitBuild) {
    HeaderFolder f;
    f.Write("windows.h",
            "#define _WIN32_WINNT 0x0601\n"
            "#if _WIN32_WINNT >= 0x0600 && defined(_X86_) && !defined(UNICODE)\n#define NEW_API 1\n#else\n#define NEW_API 0\n#endif\n"
            "#if defined __cplusplus\n#define LANG 2\n#elif __STDC_VERSION__ >= 199901L\n#define LANG 1\n#else\n#define LANG 0\n#endif\n"
            "#if __has_builtin(__builtin_x)\n#define BUILTIN 1\n#endif\n"
            "#define TEMP 1\n#undef TEMP\n#ifndef TEMP\n#define TEMP_GONE 1\n#endif\n"
            "#pragma push_macro(\"P\")\n#define P 1\n#pragma pop_macro(\"P\")\n#ifdef P\n#define P_LEAKED 1\n#endif\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.Of("NEW_API"), (Texts{"1 windows.h", "0 windows.h"}));
    EXPECT_EQ(c.Of("LANG"), (Texts{"1 windows.h", "2 windows.h", "0 windows.h"}));
    EXPECT_EQ(c.Of("BUILTIN"), (Texts{"1 windows.h"}));  // kept, though the branch is off
    EXPECT_EQ(c.Of("TEMP_GONE"), (Texts{"1 windows.h"}));
    EXPECT_EQ(c.Of("P_LEAKED"), (Texts{"1 windows.h"}));  // only from the skipped branch
    EXPECT_EQ(c.report.conditionsUnevaluated, 0u);
}

TEST(Collector, EnumsCountOnFromTheLastValue) {
    HeaderFolder f;
    f.Write("windows.h",
            "#define BASE 0x100\n"
            "typedef enum tagColor { Red, Green, Blue = BASE, Cyan, Magenta = Green + 10, Last = Cyan * 2, } Color;\n"
            "enum { Broken __declspec(x), AfterBroken, Fixed = 3 };\n"
            "enum Wide : int { W0 = -2, W1 };\n"
            "#define FROM_ENUM (Cyan | 1)\n"
            "int f(void) { enum { Local = 42 }; return Local; }\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.Of("Red"), (Texts{"0 windows.h"}));
    EXPECT_EQ(c.Of("Green"), (Texts{"1 windows.h"}));
    EXPECT_EQ(c.Of("Blue"), (Texts{"0x100 windows.h"}));
    EXPECT_EQ(c.Of("Cyan"), (Texts{"257 windows.h"}));
    EXPECT_EQ(c.Of("Magenta"), (Texts{"11 windows.h"}));
    EXPECT_EQ(c.Of("Last"), (Texts{"514 windows.h"}));
    EXPECT_EQ(c.Of("FROM_ENUM"), (Texts{"257 windows.h"}));
    EXPECT_EQ(c.Of("Broken"), Texts{});
    EXPECT_EQ(c.Of("AfterBroken"), Texts{});
    EXPECT_EQ(c.Of("Fixed"), (Texts{"3 windows.h"}));
    EXPECT_EQ(c.Of("W1"), (Texts{"-1 windows.h"}));
    EXPECT_EQ(c.Of("Local"), (Texts{"42 windows.h"}));
    EXPECT_EQ(c.report.skipped["unreadable enum member"], 1u);
    EXPECT_EQ(c.report.skipped["follows an unknown enum member"], 1u);
}

TEST(Collector, AnEnumMemberOfWindowsHGoesBeforeAMacroOfAnotherHeader) {
    HeaderFolder f;
    f.Write("windows.h", "enum { MAX_NAME = 1024 };\n");
    f.Write("correg.h", "#define MAX_NAME 255\n#define LATER 1\n");
    f.Write("zz.h", "enum { LATER = 2 };\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.Of("MAX_NAME"), (Texts{"1024 windows.h", "255 correg.h"}));
    EXPECT_EQ(c.Of("LATER"), (Texts{"1 correg.h", "2 zz.h"}));
}

TEST(Collector, EnumsSplitByConditionsFollowTheBuild) {
    HeaderFolder f;
    f.Write("windows.h", "enum { A0,\n#ifdef _WIN64\n A64,\n#endif\n A1 };\n#ifdef _WIN64\nenum { OnlyWide = 5, NextWide };\n#endif\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.Of("A1"), (Texts{"1 windows.h"}));
    EXPECT_EQ(c.Of("NextWide"), (Texts{"6 windows.h"}));  // no other definition: taken from the skipped branch
}

TEST(Collector, TypedefsAndHandlesMakeCastsWork) {
    HeaderFolder f;
    f.Write("windows.h",
            "#define __LONG32 long\n"
            "typedef unsigned __LONG32 DWORD, *PDWORD;\ntypedef DWORD COLORREF;\ntypedef unsigned short WORD;\n"
            "typedef void *HANDLE;\n#define DECLARE_HANDLE(n) typedef HANDLE n\nDECLARE_HANDLE(HWND);\n"
            "typedef struct tagRECT { long left; } RECT, *LPRECT;\n"
            "#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)\n#define CLR_NONE ((COLORREF)-1)\n"
            "#define HWND_BROADCAST ((HWND)0xffff)\n#define RECT_NULL ((LPRECT)0)\n#define LOW ((WORD)0x12345)\n"
            "#define NOT_INT ((RECT)0)\n#define RECT_SIZE sizeof(RECT)\n"
            "typedef void (__attribute__((stdcall)) *SIG_FN)(int);\n#define SIG_ERR ((SIG_FN)-1)\n"
            "typedef unsigned long u_long;\n#ifdef _WIN64\n#define u_long __ms_u_long\n#endif\n"
            "#define INADDR_NONE ((u_long)0xffffffff)\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.Of("INVALID_FILE_ATTRIBUTES"), (Texts{"4294967295 windows.h"}));
    EXPECT_EQ(c.Of("CLR_NONE"), (Texts{"4294967295 windows.h"}));
    EXPECT_EQ(c.Of("HWND_BROADCAST"), (Texts{"0xFFFF windows.h"}));
    EXPECT_EQ(c.Of("RECT_NULL"), (Texts{"0 windows.h"}));
    EXPECT_EQ(c.Of("LOW"), (Texts{"0x2345 windows.h"}));
    EXPECT_EQ(c.Of("NOT_INT"), Texts{});
    EXPECT_EQ(c.Of("SIG_ERR"), (Texts{"4294967295 windows.h"}));
    EXPECT_EQ(c.Of("INADDR_NONE"), (Texts{"0xFFFFFFFF windows.h"}));  // the skipped #define does not hide the typedef
    EXPECT_EQ(c.report.skipped["sizeof of a structure"], 1u);
}

TEST(Collector, NonConstantsAreCountedByReason) {
    HeaderFolder f;
    f.Write("windows.h",
            "#define SELF SELF\n#define DIVZ (1 / 0)\n#define TEXTUAL \"abc\"\n#define F(x) x\n#define UNKNOWN NOWHERE\n"
            "#define MSG_A 1\n#define MSG MSG_A\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.report.skipped["self-referential macro"], 1u);
    EXPECT_EQ(c.report.skipped["division by zero"], 1u);
    EXPECT_EQ(c.report.skipped["not an integer"], 1u);
    EXPECT_EQ(c.report.skipped["function-like macro"], 1u);
    EXPECT_EQ(c.report.skipped["undefined identifier"], 1u);
    EXPECT_EQ(c.Of("MSG"), (Texts{"1 windows.h"}));
    EXPECT_EQ(c.report.names, 2u);
    EXPECT_EQ(c.report.rows, 2u);
    EXPECT_EQ(c.report.definitions, 7u);
}

TEST(Collector, IncludesOfAnyFileAreFollowed) {
    HeaderFolder f;
    f.Write("windows.h", "#include <winuser.rh>\n#include \"Sub/Part.H\"\n");  // names match without regard to case
    f.Write("winuser.rh", "#define WM_CREATE 0x0001\n");
    f.Write("sub/part.h", "#define PART 1\n#include \"near.h\"\n");
    f.Write("sub/near.h", "#define NEAR_ONE 1\n");
    f.Write("near.h", "#define NEAR_ONE 2\n");
    f.Write("notes.txt", "#define NOT_A_HEADER 1\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.Of("WM_CREATE"), (Texts{"0x0001 winuser.rh"}));
    EXPECT_EQ(c.Of("PART"), (Texts{"1 part.h"}));
    EXPECT_EQ(c.Of("NEAR_ONE"), (Texts{"1 near.h", "2 near.h"}));  // "..." looks beside the includer first
    EXPECT_EQ(c.Of("NOT_A_HEADER"), Texts{});
    EXPECT_EQ(c.report.headersRead, 5u);
}

TEST(Collector, NamesTooLongForTheColumnAreLeftOut) {
    HeaderFolder f;
    std::string longName(256, 'N');
    f.Write("x.h", "#define " + longName + " 1\n#define " + longName.substr(1) + " 2\n");
    Collected c = Collect(f);
    ASSERT_EQ(c.rows.size(), 1u);
    EXPECT_EQ(c.rows[0].name.size(), 255u);
    EXPECT_EQ(c.report.skipped["name too long"], 1u);
    EXPECT_EQ(c.report.names, 1u);
}

TEST(Collector, RowsAreSortedByName) {
    HeaderFolder f;
    f.Write("b.h", "#define ZETA 1\n#define ALPHA 2\n#define MID 0x3\n");
    Collected c = Collect(f);
    ASSERT_EQ(c.rows.size(), 3u);
    EXPECT_EQ(c.rows[0].name, "ALPHA");
    EXPECT_EQ(c.rows[1].name, "MID");
    EXPECT_EQ(c.rows[2].name, "ZETA");
}

// Broken and hostile input must end in skipped definitions, never in a crash or a hang.
TEST(Collector, GarbageHeadersAreSurvived) {
    const std::string pieces[] = {
        "#if ", "#ifdef X\n", "#elif 1\n", "#else\n", "#endif\n", "#define ", "#undef X\n", "#include \"h3.h\"\n",
        "#include <", "#pragma push_macro(\"X\")\n", "#pragma pop_macro(\"X\")\n", "X", "Y(", "F(a,b) a##b", "(", ")",
        ",", "enum {", "enum E : int {", "}", ";", "typedef ", "DECLARE_HANDLE(", "=", "'", "\"", "/*", "*/", "//",
        "\\\n", "##", "#", "0x", "0xFFFFFFFFFFFFFFFFF", "1/0", "1 << 99", "-", "~", "?", ":", "sizeof", "\n", " ",
        "defined", "__VA_ARGS__", "...", "\x01", std::string("\0", 1), "\xff", "L'", "u8\"",
    };
    HeaderFolder f;
    std::mt19937 rng(12345);
    for (int file = 0; file < 40; ++file) {
        std::string text;
        for (int i = 0; i < 400; ++i) text += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        if (file % 3 == 0) text += "\n#define X Y\n#define Y X\n#define F(a,b) F(b,a)\n#define Z F(X,Y)\n";
        f.Write("h" + std::to_string(file) + ".h", text);
    }
    f.Write("windows.h", "#include \"h0.h\"\n#include \"h1.h\"\n");
    Collected c = Collect(f);
    EXPECT_EQ(c.report.headersRead, 41u);
    EXPECT_GT(c.report.definitions, 0u);
}

TEST(Collector, EmptyOrMissingFolderGivesNothing) {
    CollectReport report;
    EXPECT_TRUE(CollectConstantsFromFolders({"/nonexistent/constdb/folder"}, &report).empty());
    EXPECT_EQ(report.headersRead, 0u);
}

}  // namespace
}  // namespace constdb
