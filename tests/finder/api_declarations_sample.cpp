// Prints the sample functions and types declared in one language, for
// compile-api-declarations to compile: from the sample catalog (api_sample_catalog),
// or with QALOMIR_API_DB set, the same names from that database as qalomir-find
// reads them.
//   api_declarations_sample LANG [i686|x86_64] [functions|types|all]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "finder/api_declarations.h"
#include "finder/api_file.h"
#include "finder/constants_file.h"
#include "jet/utf.h"
#include "tests/finder/api_sample_catalog.h"

namespace {

// The names' functions and types from the database; a name it lacks ends the program.
struct FromDatabase {
    std::unique_ptr<finder::ConstantsFile> constants;
    std::unique_ptr<finder::ApiFile> api;
    std::vector<finder::ApiFunction> functions;

    bool Open(const char* path) {
        std::string error;
        constants = finder::ConstantsFile::Open(path, &error);
        if (constants) api = finder::ApiFile::Open(constants->Database(), &error);
        if (!api) std::fprintf(stderr, "api_declarations_sample: %s\n", error.c_str());
        functions.reserve(16);  // more than the names asked for: the pointers handed out stay valid
        return api != nullptr;
    }
    const finder::ApiFunction* Function(const char* name) {
        std::vector<finder::ApiFunction> found;
        if (!api->Functions(jet::Utf8ToUtf16(name), found, nullptr) || found.empty()) Missing(name);
        functions.push_back(found[0]);
        return &functions.back();
    }
    const finder::ApiType* Type(const char* name) {
        const finder::ApiType* t = api->Find(name);
        if (!t) Missing(name);
        return t;
    }
    [[noreturn]] static void Missing(const char* name) {
        std::fprintf(stderr, "api_declarations_sample: the database has no %s\n", name);
        std::exit(1);
    }
};

}  // namespace

int main(int argc, char** argv) {
    finder::Language language;
    if (argc < 2 || !finder::LanguageNamed(argv[1], language)) {
        std::fprintf(stderr, "usage: api_declarations_sample LANG [i686|x86_64] [functions|types|all]\n");
        return 2;
    }
    finder::Arch arch = finder::DefaultArch(language);
    if (argc > 2) arch = std::strcmp(argv[2], "i686") == 0 ? finder::Arch::I686 : finder::Arch::X86_64;
    const char* what = argc > 3 ? argv[3] : "all";
    const finder_test::SampleCatalog sample;
    FromDatabase db;
    const char* path = std::getenv("QALOMIR_API_DB");
    if (path && *path && !db.Open(path)) return 1;
    const bool fromDb = path && *path;
    std::vector<const finder::ApiFunction*> functions;
    std::vector<const finder::ApiType*> types;
    if (std::strcmp(what, "types") != 0)
        for (const char* name : {"MessageBoxA", "GetWindowRect", "FindFirstFileA", "EnumWindows", "CreateWindowExA",
                                 "SendInput", "WindowFromPoint"})
            functions.push_back(fromDb ? db.Function(name) : &sample.Function(name));
    if (std::strcmp(what, "functions") != 0)
        for (const char* name : {"RECT", "WIN32_FIND_DATAA", "INPUT", "MSG", "BITMAPFILEHEADER", "WNDPROC", "WNDENUMPROC",
                                 "IUnknown"})
            types.push_back(fromDb ? db.Type(name) : &sample.Type(name));
    const finder::TypeCatalog& catalog = fromDb ? static_cast<const finder::TypeCatalog&>(*db.api) : sample;
    const finder::ApiDeclaration d = finder::DeclareApi(language, arch, functions, types, catalog);
    std::fwrite(d.text.data(), 1, d.text.size(), stdout);
    return 0;
}
