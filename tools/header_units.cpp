#include "tools/header_units.h"

#include "tools/header_constants.h"

#ifndef QALOMIR_CLANG_RESOURCE_DIR
#error "QALOMIR_CLANG_RESOURCE_DIR names libclang's own headers (stddef.h, ...)"
#endif

namespace tools {

std::vector<std::string> UnitCompilerArgs(const HeaderFolders& in, const Folders& folders, const std::string& target) {
    std::vector<std::string> args = {"-target", target, "-nostdlibinc", "-resource-dir", QALOMIR_CLANG_RESOURCE_DIR, "-w",
                                     "-ferror-limit=0"};
    if (!in.gnuVersion.empty()) args.push_back("-fgnuc-version=" + in.gnuVersion);
    for (const std::string& r : folders.Roots()) {
        args.push_back("-isystem");
        args.push_back(r);
    }
    for (const std::string& d : in.defines) args.push_back("-D" + d);
    return args;
}

clang::Unit ParseBaseUnit(CXIndex index, const std::string& name, std::vector<std::string> args, unsigned flags,
                          std::string* error) {
    args.insert(args.end(), {"-x", "c-header"});
    return clang::Parse(index, name, std::string("#include <") + kBaseHeader + ">\n", args,
                        flags | CXTranslationUnit_ForSerialization, error);
}

bool SavePrecompiled(CXTranslationUnit base, const Folders& folders, const std::string& path) {
    return ErrorText(base, folders).empty() &&
           clang_saveTranslationUnit(base, path.c_str(), clang_defaultSaveOptions(base)) == CXSaveError_None;
}

std::string UnitIncludes(const std::string& pch, const std::vector<std::string>& headers) {
    std::string source = pch.empty() ? std::string("#include <") + kBaseHeader + ">\n" : std::string();
    for (const std::string& h : headers) source += "#include <" + h + ">\n";
    return source;
}

std::vector<std::string> WithPrecompiled(std::vector<std::string> args, const std::string& pch) {
    if (!pch.empty()) args.insert(args.end(), {"-include-pch", pch});
    return args;
}

bool OwnPlaces::Own(const clang::Place& p) {
    std::string key = p.file + ':' + std::to_string(p.offset);
    if (base_) return base_->count(key) == 0;
    met_.insert(std::move(key));
    return true;
}

}  // namespace tools
