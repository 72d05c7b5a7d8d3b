// The headers' function declarations read by libclang: a made-up folder with the
// declarations C makes hard to write again (arrays, pointers to functions, a
// macro whose type C++ reads otherwise, `...`, f(), an unnamed struct), a header
// that does not compile, the first unit that declares a name giving it; and the
// committed extract against the installed headers read again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "tools/header_function_scan.h"
#include "tools/header_sources.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

class HeaderFolder {
public:
    HeaderFolder() {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("constdb-functions-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(root_);
    }
    ~HeaderFolder() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    void Write(const std::string& name, const std::string& text) const {
        const fs::path p = root_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    std::string Path() const { return root_.string(); }

private:
    fs::path root_;
};

std::string Prototype(const HeaderFunctions& h, const char* name) {
    const HeaderFunction* f = FindHeaderFunction(h, name);
    if (!f) return "(not declared)";
    std::string s = f->returns + " " + f->call + " " + f->name + "(";
    for (std::size_t i = 0; i < f->params.size(); ++i) s += (i ? "|" : "") + f->params[i];
    if (f->variadic) s += "|...";
    return s + ")" + (f->noPrototype ? " noproto" : "") + (f->isInline ? " inline" : "") + " @" + f->header;
}

TEST(HeaderFunctionScan, DeclarationsAsCWritesThemAgain) {
    HeaderFolder dir;
    dir.Write("windows.h",
              "typedef unsigned int UINT;\n"
              "typedef struct tagRECT { long left; } RECT, *LPRECT;\n"
              "typedef struct _GUID { unsigned long a; } IID;\n"
              "#define WINAPI __attribute__((stdcall))\n"
              "#define CONST const\n"
              "#ifdef __cplusplus\n#define REFIID const IID &\n#else\n#define REFIID const IID * const\n#endif\n"
              "int WINAPI MessageBoxA(void *hWnd, const char *lpText, const char *lpCaption, UINT uType);\n");
    dir.Write("other.h",
              "typedef void (WINAPI *NAMEDPROC)(int);\n"
              "void WINAPI TakesArrays(unsigned char keys[256], CONST int list[], int grid[][4]);\n"
              "void WINAPI TakesCallbacks(NAMEDPROC named, void (*plain)(int), int (WINAPI *std)(UINT), int (*arr)[4]);\n"
              "long WINAPI Query(REFIID riid, CONST RECT *r, LPRECT out, struct tagRECT *tagged);\n"
              "int __cdecl Format(char *out, const char *format, ...);\n"
              "int OldStyle();\n"
              "static __inline int Inline(int x) { return x; }\n"
              "void WINAPI Unnamed(struct { int x; } *p);\n"
              "int WINAPI MessageBoxA(void *hWnd, const char *lpText, const char *lpCaption, UINT uType);\n");
    dir.Write("a/first.h", "int WINAPI Twice(int);\n");
    dir.Write("b/second.h", "int WINAPI Twice(long);\n");
    dir.Write("broken.h", "int WINAPI Broken(NO_SUCH_TYPE x);\nint WINAPI Fine(void);\n");
    FunctionScanOptions options;
    options.folders = {dir.Path()};
    options.gnuVersion = kMingwGnuVersion;
    HeaderFunctions h;
    std::string error;
    ASSERT_TRUE(ScanHeaderFunctions(options, h, &error)) << error;

    EXPECT_EQ(Prototype(h, "MessageBoxA"), "int stdcall MessageBoxA(void *|const char *|const char *|UINT) @windows.h");
    // An array parameter is the pointer C makes of it.
    EXPECT_EQ(Prototype(h, "TakesArrays"), "void stdcall TakesArrays(unsigned char *|const int *|int (*)[4]) @other.h");
    // A named pointer keeps its name; an unnamed one is written with its convention's macro.
    EXPECT_EQ(Prototype(h, "TakesCallbacks"),
              "void stdcall TakesCallbacks(NAMEDPROC|void (*)(int)|int (WINAPI *)(UINT)|int (*)[4]) @other.h");
    // REFIID stays a name: C++ reads it as a reference.
    EXPECT_EQ(Prototype(h, "Query"), "long stdcall Query(REFIID|const RECT *|LPRECT|struct tagRECT *) @other.h");
    EXPECT_EQ(Prototype(h, "Format"), "int cdecl Format(char *|const char *|...) @other.h");
    EXPECT_EQ(Prototype(h, "OldStyle"), "int cdecl OldStyle() noproto @other.h");
    EXPECT_EQ(Prototype(h, "Inline"), "int cdecl Inline(int) inline @other.h");
    EXPECT_FALSE(WritableHeaderType(FindHeaderFunction(h, "Unnamed")->params.at(0)));
    // The first unit in path order gives a name two declare; the one that did not
    // compile gives only what no other does, and is listed with its error.
    EXPECT_EQ(Prototype(h, "Twice"), "int stdcall Twice(int) @a/first.h");
    EXPECT_EQ(Prototype(h, "Fine"), "int stdcall Fine() @broken.h");
    EXPECT_EQ(FindHeaderFunction(h, "Broken"), nullptr);
    ASSERT_EQ(h.errors.size(), 1u);
    EXPECT_EQ(h.errors[0].header, "broken.h");
    EXPECT_NE(h.errors[0].error.find("broken.h:1: unknown type name 'NO_SUCH_TYPE'"), std::string::npos) << h.errors[0].error;
    // Typedef names, with the header that defines them.
    std::vector<std::string> typedefs;
    for (const HeaderTypedef& t : h.typedefs) typedefs.push_back(t.name + "@" + t.header);
    EXPECT_EQ(typedefs, (std::vector<std::string>{"IID@windows.h", "LPRECT@windows.h", "NAMEDPROC@other.h", "RECT@windows.h",
                                                  "UINT@windows.h"}));
}

TEST(HeaderFunctionScan, NoWindowsHeaderIsAFailure) {
    HeaderFolder dir;
    dir.Write("other.h", "int f(void);\n");
    FunctionScanOptions options;
    options.folders = {dir.Path()};
    HeaderFunctions h;
    std::string error;
    EXPECT_FALSE(ScanHeaderFunctions(options, h, &error));
    EXPECT_NE(error.find("no windows.h"), std::string::npos) << error;
}

#if defined(QALOMIR_HEADER_FUNCTIONS)
// The installed headers read again: the committed extract's records of a few
// units (and its package) are what they give now.
TEST(HeaderFunctionScan, TheCommittedExtractIsTheInstalledHeaders) {
    HeaderFunctions committed;
    std::string error;
    ASSERT_TRUE(ReadHeaderFunctions(QALOMIR_HEADER_FUNCTIONS, committed, &error)) << error;
    if (!fs::exists(std::string(kMingwFolder) + "/windows.h")) GTEST_SKIP() << "no mingw-w64 headers";
    EXPECT_EQ(committed.package, InstalledPackage(kMingwFolder)) << "regenerate data/header-functions.tsv.gz";
    FunctionScanOptions options;
    options.folders = {kMingwFolder};
    options.gnuVersion = kMingwGnuVersion;
    options.only = {"d3d11.h", "wininet.h", "oleauto.h"};
    HeaderFunctions now;
    ASSERT_TRUE(ScanHeaderFunctions(options, now, &error)) << error;
    EXPECT_EQ(now.compiler, committed.compiler);
    std::size_t compared = 0;
    for (const HeaderFunction& f : now.functions) {
        const HeaderFunction* c = FindHeaderFunction(committed, f.name);
        ASSERT_NE(c, nullptr) << f.name;
        // A unit not read here may have given the name first.
        if (c->header != f.header) continue;
        EXPECT_EQ(Prototype(committed, f.name.c_str()), Prototype(now, f.name.c_str()));
        ++compared;
    }
    EXPECT_GT(compared, 5000u);
}
#endif

}  // namespace
}  // namespace tools
