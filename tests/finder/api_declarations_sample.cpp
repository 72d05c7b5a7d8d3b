// Prints the sample functions and types (api_sample_catalog) declared in one
// language, for compile-api-declarations to compile:
//   api_declarations_sample LANG [i686|x86_64] [functions|types|all]
#include <cstdio>
#include <cstring>

#include "finder/api_declarations.h"
#include "tests/finder/api_sample_catalog.h"

int main(int argc, char** argv) {
    finder::Language language;
    if (argc < 2 || !finder::LanguageNamed(argv[1], language)) {
        std::fprintf(stderr, "usage: api_declarations_sample LANG [i686|x86_64] [functions|types|all]\n");
        return 2;
    }
    finder::Arch arch = finder::DefaultArch(language);
    if (argc > 2) arch = std::strcmp(argv[2], "i686") == 0 ? finder::Arch::I686 : finder::Arch::X86_64;
    const char* what = argc > 3 ? argv[3] : "all";
    const finder_test::SampleCatalog catalog;
    std::vector<const finder::ApiFunction*> functions;
    std::vector<const finder::ApiType*> types;
    if (std::strcmp(what, "types") != 0)
        for (const char* name : {"MessageBoxA", "GetWindowRect", "FindFirstFileA", "EnumWindows", "CreateWindowExA",
                                 "SendInput", "WindowFromPoint"})
            functions.push_back(&catalog.Function(name));
    if (std::strcmp(what, "functions") != 0)
        for (const char* name : {"RECT", "WIN32_FIND_DATAA", "INPUT", "MSG", "BITMAPFILEHEADER", "WNDPROC", "WNDENUMPROC",
                                 "IUnknown"})
            types.push_back(&catalog.Type(name));
    const finder::ApiDeclaration d = finder::DeclareApi(language, arch, functions, types, catalog);
    std::fwrite(d.text.data(), 1, d.text.size(), stdout);
    return 0;
}
