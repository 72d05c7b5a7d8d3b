#include "tools/header_function_scan.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "tools/clang_unit.h"
#include "tools/header_folders.h"
#include "tools/header_constants.h"
#include "tools/header_units.h"

#ifndef QALOMIR_CLANG_RESOURCE_DIR
#error "QALOMIR_CLANG_RESOURCE_DIR names libclang's own headers (stddef.h, ...)"
#endif

namespace tools {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMainFile = "qalomir-functions.c";
constexpr const char* kBaseFile = "qalomir-functions-base.h";

struct UnitResult {
    std::string error;
    std::vector<HeaderFunction> functions;
    std::vector<HeaderTypedef> typedefs;
};

class Roots {
public:
    explicit Roots(const std::vector<std::string>& folders) {
        for (const std::string& f : folders) {
            std::string r = fs::absolute(f).lexically_normal().generic_string();
            if (r.size() > 1 && r.back() == '/') r.pop_back();
            roots_.push_back(r);
        }
    }
    const std::vector<std::string>& All() const { return roots_; }

    std::string Relative(const std::string& path) const {
        const std::string normal = fs::path(path).lexically_normal().generic_string();
        for (const std::string& r : roots_)
            if (normal.size() > r.size() && normal.compare(0, r.size(), r) == 0 && normal[r.size()] == '/')
                return normal.substr(r.size() + 1);
        return {};
    }

    bool Holds(const std::string& header) const {
        std::error_code ec;
        return std::any_of(roots_.begin(), roots_.end(), [&](const std::string& r) { return fs::is_regular_file(r + '/' + header, ec); });
    }

    // Every *.h, the first folder's where two hold the same path, sorted; windows.h left out.
    std::vector<std::string> Headers() const {
        std::set<std::string> found;
        for (const std::string& r : roots_) {
            std::error_code ec;
            for (auto it = fs::recursive_directory_iterator(r, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
                if (it->is_regular_file(ec) && it->path().extension() == ".h")
                    found.insert(fs::relative(it->path(), r, ec).generic_string());
        }
        found.erase(kBaseHeader);
        return {found.begin(), found.end()};
    }

private:
    std::vector<std::string> roots_;
};

std::string Spell(CXType t) { return clang::TakeText(clang_getTypeSpelling(t)); }

bool IsArray(CXType t) {
    return t.kind == CXType_ConstantArray || t.kind == CXType_IncompleteArray || t.kind == CXType_VariableArray ||
           t.kind == CXType_DependentSizedArray;
}

// The one identifier a parameter's written type is, when it is a macro: guiddef.h's
// REFIID is `const IID *const` to C and `const IID &` to C++, so only the
// macro's name is the header's type in both.
std::string MacroTypeName(CXTranslationUnit unit, CXCursor param, const std::string& spelled) {
    // The written tokens: the extent's ends where their macros were expanded.
    const CXSourceRange extent = clang_getCursorExtent(param);
    CXFile file = nullptr, endFile = nullptr;
    unsigned begin = 0, end = 0;
    clang_getExpansionLocation(clang_getRangeStart(extent), &file, nullptr, nullptr, &begin);
    clang_getExpansionLocation(clang_getRangeEnd(extent), &endFile, nullptr, nullptr, &end);
    if (!file || file != endFile || end <= begin) return {};
    const SourceTokens tokens = clang::TokensIn(
        unit, clang_getRange(clang_getLocationForOffset(unit, file, begin), clang_getLocationForOffset(unit, file, end)));
    const std::string name = clang::TakeText(clang_getCursorSpelling(param));
    const std::size_t count = tokens.size() - (!tokens.empty() && !name.empty() && tokens.back().text == name ? 1 : 0);
    if (count != 1 || tokens[0].kind != SourceToken::Kind::Identifier || tokens[0].text == spelled) return {};
    return tokens[0].text;
}

const char* CallName(CXCallingConv c);

// A pointer to a function the header did not name, as C writes its type with the
// convention's macro inside: `int (WINAPI *)(UINT)`. Clang's own spelling puts a
// convention from a macro first (`WINAPI int (*)(UINT)`) or as an attribute last.
std::string FunctionPointer(CXType function) {
    const std::string call = CallName(clang_getFunctionTypeCallingConv(function));
    std::string out = Spell(clang_getResultType(function)) + " (" +
                      (call == std::string("cdecl") ? std::string() : CallingConventionMacro(call) + " ") + "*)(";
    const int count = clang_getNumArgTypes(function);
    for (int i = 0; i < count; ++i) out += (i ? ", " : "") + Spell(clang_getArgType(function, static_cast<unsigned>(i)));
    if (function.kind == CXType_FunctionProto && clang_isFunctionTypeVariadic(function)) out += count ? ", ..." : "...";
    else if (function.kind == CXType_FunctionProto && count == 0) out += "void";
    return out + ")";
}

// An array parameter as the pointer C makes of it: `BYTE *`, `int (*)[4]`.
std::string ArrayPointer(CXType array) {
    CXType element = clang_getArrayElementType(array);
    if (!IsArray(element)) return Spell(element) + " *";
    std::string dims;
    for (; IsArray(element); element = clang_getArrayElementType(element))
        dims += "[" + (element.kind == CXType_ConstantArray ? std::to_string(clang_getArraySize(element)) : "") + "]";
    return Spell(element) + " (*)" + dims;
}

// A parameter's type as C declares it (header_functions.h says how a name goes in).
std::string ParamType(CXTranslationUnit unit, CXCursor param) {
    CXType t = clang_getCursorType(param);
    if (IsArray(t)) return ArrayPointer(t);
    std::string spelled = Spell(t);
    if (t.kind == CXType_Pointer && spelled.find("(*)") != std::string::npos) {  // not RPC_CLIENT_ALLOC *
        const CXType pointee = clang_getPointeeType(t);
        const CXType canonical = clang_getCanonicalType(pointee);
        if (canonical.kind == CXType_FunctionProto || canonical.kind == CXType_FunctionNoProto) return FunctionPointer(pointee);
    }
    std::string macro = MacroTypeName(unit, param, spelled);
    return macro.empty() ? spelled : macro;
}

const char* CallName(CXCallingConv c) {
    switch (c) {
    case CXCallingConv_C: return "cdecl";
    case CXCallingConv_X86StdCall: return "stdcall";
    case CXCallingConv_X86FastCall: return "fastcall";
    case CXCallingConv_X86ThisCall: return "thiscall";
    case CXCallingConv_X86VectorCall: return "vectorcall";
    default: return "other";
    }
}

class UnitScan {
public:
    UnitScan(const Roots& roots, const std::unordered_set<std::string>* base) : roots_(roots), base_(base) {}

    void Scan(CXTranslationUnit unit, UnitResult& out) {
        unit_ = unit;
        clang::VisitChildren(clang_getTranslationUnitCursor(unit), [&](CXCursor c) {
            if (c.kind == CXCursor_FunctionDecl) Function(c, out);
            else if (c.kind == CXCursor_TypedefDecl) Typedef(c, out);
            return CXChildVisit_Continue;
        });
    }

    std::unordered_set<std::string> TakeNames() { return std::move(names_); }

private:
    // Whether the name is this unit's to give: new to it, not <windows.h>'s, in the folders.
    bool Fresh(const std::string& key, CXCursor c, std::string& header) {
        if (base_ && base_->count(key)) return false;
        if (!names_.insert(key).second) return false;
        header = Relative(clang::PlaceOf(c).file);
        if (header.empty()) {
            names_.erase(key);
            return false;
        }
        return true;
    }

    void Function(CXCursor c, UnitResult& out) {
        if (clang_isInvalidDeclaration(c)) return;
        HeaderFunction f;
        f.name = clang::TakeText(clang_getCursorSpelling(c));
        if (!Fresh("F" + f.name, c, f.header)) return;
        const CXType type = clang_getCursorType(c);
        f.returns = Spell(clang_getResultType(type));
        f.call = CallName(clang_getFunctionTypeCallingConv(type));
        f.noPrototype = type.kind == CXType_FunctionNoProto;
        f.variadic = !f.noPrototype && clang_isFunctionTypeVariadic(type);
        f.isInline = clang_Cursor_isFunctionInlined(c) != 0;
        const int count = clang_Cursor_getNumArguments(c);
        for (int i = 0; i < count; ++i) f.params.push_back(ParamType(unit_, clang_Cursor_getArgument(c, static_cast<unsigned>(i))));
        out.functions.push_back(std::move(f));
    }

    void Typedef(CXCursor c, UnitResult& out) {
        HeaderTypedef t;
        t.name = clang::TakeText(clang_getCursorSpelling(c));
        if (Fresh("T" + t.name, c, t.header)) out.typedefs.push_back(std::move(t));
    }

    const std::string& Relative(const std::string& path) {
        auto known = relative_.find(path);
        if (known == relative_.end()) known = relative_.emplace(path, roots_.Relative(path)).first;
        return known->second;
    }

    const Roots& roots_;
    CXTranslationUnit unit_ = nullptr;
    const std::unordered_set<std::string>* base_;  // null for <windows.h>'s own unit
    std::unordered_set<std::string> names_;
    std::unordered_map<std::string, std::string> relative_;
};

struct Context {
    const Roots& roots;
    std::vector<std::string> args;
    std::string pch;
    std::unordered_set<std::string> baseNames;
};

std::string ErrorText(CXTranslationUnit unit, const Roots& roots) {
    clang::Diagnostic d;
    if (!clang::FirstError(unit, d)) return {};
    std::string where = roots.Relative(d.file);
    if (where.empty()) where = d.file.empty() ? "command line" : fs::path(d.file).filename().string();
    return OneLine(where + ':' + std::to_string(d.line) + ": " + d.message);
}

constexpr unsigned kParseFlags = CXTranslationUnit_SkipFunctionBodies | CXTranslationUnit_KeepGoing;

UnitResult ScanUnit(CXIndex index, const Context& ctx, const std::string& header) {
    UnitResult result;
    std::vector<std::string> args = ctx.args;
    std::string source;
    if (ctx.pch.empty()) source = std::string("#include <") + kBaseHeader + ">\n";
    else args.insert(args.end(), {"-include-pch", ctx.pch});
    source += "#include <" + header + ">\n";
    clang::Unit unit = clang::Parse(index, kMainFile, source, args, kParseFlags, &result.error);
    if (!unit) return result;
    result.error = ErrorText(unit.get(), ctx.roots);
    UnitScan(ctx.roots, &ctx.baseNames).Scan(unit.get(), result);
    return result;
}

class TempFile {
public:
    TempFile() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("qalomir-functions-" + std::to_string(rd()) + std::to_string(rd()) + ".pch");
    }
    ~TempFile() {
        std::error_code ec;
        fs::remove(path_, ec);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

bool ScanHeaderFunctions(const FunctionScanOptions& in, HeaderFunctions& out, std::string* error) {
    const Roots roots(in.folders);
    if (!roots.Holds(kBaseHeader)) {
        if (error) *error = "no " + std::string(kBaseHeader) + " in " + (in.folders.empty() ? std::string("(no folder)") : in.folders[0]);
        return false;
    }
    std::vector<std::string> headers;
    if (in.only.empty()) headers = roots.Headers();
    for (const std::string& h : in.only)
        if (h != kBaseHeader && roots.Holds(h)) headers.push_back(h);

    Context ctx{roots, {"-target", kHeaderTarget, "-nostdlibinc", "-resource-dir", QALOMIR_CLANG_RESOURCE_DIR, "-w", "-ferror-limit=0"}, {}, {}};
    if (!in.gnuVersion.empty()) ctx.args.push_back("-fgnuc-version=" + in.gnuVersion);
    for (const std::string& r : roots.All()) ctx.args.insert(ctx.args.end(), {"-isystem", r});

    TempFile pch;
    std::vector<UnitResult> results(headers.size() + 1);
    {
        clang::Index index = clang::NewIndex();
        std::vector<std::string> args = ctx.args;
        args.insert(args.end(), {"-x", "c-header"});
        clang::Unit unit = clang::Parse(index.get(), kBaseFile, std::string("#include <") + kBaseHeader + ">\n", args,
                                        kParseFlags | CXTranslationUnit_ForSerialization, error);
        if (!unit) return false;
        results[0].error = ErrorText(unit.get(), roots);
        if (results[0].error.empty() &&
            clang_saveTranslationUnit(unit.get(), pch.Path().string().c_str(), clang_defaultSaveOptions(unit.get())) ==
                CXSaveError_None)
            ctx.pch = pch.Path().string();
        UnitScan scan(roots, nullptr);
        scan.Scan(unit.get(), results[0]);
        ctx.baseNames = scan.TakeNames();
    }
    clang::InParallel(headers.size(), in.jobs,
                      [&](CXIndex index, std::size_t i) { results[i + 1] = ScanUnit(index, ctx, headers[i]); });

    out = HeaderFunctions{};
    out.source = "mingw-w64";
    out.package = in.package;
    out.compiler = clang::TakeText(clang_getClangVersion()) + " (libclang), " + kHeaderTarget +
                   (in.gnuVersion.empty() ? std::string() : ", as GCC " + in.gnuVersion);
    // The first unit that declares a name gives it: <windows.h>'s, then path order.
    // Units that did not compile come after those that did.
    std::unordered_set<std::string> functions, typedefs;
    for (const bool compiled : {true, false})
        for (std::size_t u = 0; u < results.size(); ++u) {
            if (results[u].error.empty() != compiled) continue;
            if (!compiled) out.errors.push_back({u == 0 ? std::string(kBaseHeader) : headers[u - 1], results[u].error});
            for (HeaderFunction& f : results[u].functions)
                if (functions.insert(f.name).second) out.functions.push_back(std::move(f));
            for (HeaderTypedef& t : results[u].typedefs)
                if (typedefs.insert(t.name).second) out.typedefs.push_back(std::move(t));
        }
    std::sort(out.functions.begin(), out.functions.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    std::sort(out.typedefs.begin(), out.typedefs.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return true;
}

}  // namespace tools
