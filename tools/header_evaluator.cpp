#include "tools/header_evaluator.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "tools/clang_unit.h"
#include "tools/header_folders.h"
#include "tools/header_units.h"
#include "tools/literal_notation.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMainFile = "qalomir-unit.c";
constexpr const char* kBaseFile = "qalomir-base.h";
constexpr const char* kValuePrefix = "__qalomir_value_";

// A name's value, and the text and file it is written with.
struct Record {
    std::string name;
    IntValue value;
    std::string text;
    std::string file;  // under the folders
};

struct UnitResult {
    std::string error;
    std::vector<Record> records;
    std::set<std::string> undeclared;  // names the unit's own definitions use but nothing in it declares
};

// A unit's headers, included in order after <windows.h>: one header, or the headers
// whose names it uses and then it.
using UnitHeaders = std::vector<std::string>;

std::string UnitName(const UnitHeaders& headers) {
    std::string name;
    for (const std::string& h : headers) name += (name.empty() ? "" : " ") + h;
    return name;
}

UnitHeaders SplitUnitName(const std::string& name) {
    UnitHeaders headers;
    for (std::size_t at = 0; at <= name.size();) {
        std::size_t end = name.find(' ', at);
        if (end == std::string::npos) end = name.size();
        if (end > at) headers.push_back(name.substr(at, end - at));
        at = end + 1;
    }
    return headers;
}

std::optional<IntType> IntegerTypeOf(CXType type) {
    type = clang_getCanonicalType(type);
    if (type.kind == CXType_Enum) type = clang_getCanonicalType(clang_getEnumDeclIntegerType(clang_getTypeDeclaration(type)));
    bool isUnsigned = false;
    switch (type.kind) {
    case CXType_Bool: case CXType_Char_U: case CXType_UChar: case CXType_Char16: case CXType_Char32:
    case CXType_UShort: case CXType_UInt: case CXType_ULong: case CXType_ULongLong:
    case CXType_WChar:  // unsigned short on Windows
        isUnsigned = true;
        break;
    case CXType_Char_S: case CXType_SChar: case CXType_Short: case CXType_Int: case CXType_Long: case CXType_LongLong:
        break;
    default:
        return std::nullopt;
    }
    const long long bytes = clang_Type_getSizeOf(type);
    if (bytes != 1 && bytes != 2 && bytes != 4 && bytes != 8) return std::nullopt;
    return IntType{static_cast<int>(bytes * 8), isUnsigned};
}

// The names a unit evaluates: what its first parse shows that <windows.h>'s unit did not.
class UnitScan {
public:
    UnitScan(CXTranslationUnit unit, const Folders& folders, const std::unordered_set<std::string>* baseKeys,
             std::set<std::string> helpers = {})
        : unit_(unit), relative_(folders), own_(baseKeys), helpers_(std::move(helpers)),
          notation_([this](const std::string& name) { return Macro(name); }) {
        clang::VisitChildren(clang_getTranslationUnitCursor(unit), [this](CXCursor c) { return Visit(c); });
    }

    // Keys of every definition and enum member seen, for telling later units' own from <windows.h>'s.
    std::unordered_set<std::string> TakeKeys() { return own_.Take(); }

    struct Candidate {
        std::string name;
        std::string file;
        Notation notation;
    };

    // Object-like macros whose definition in force is this unit's own, with a body an expression may be.
    std::vector<Candidate> MacroCandidates() {
        std::vector<Candidate> out;
        for (const auto& [name, d] : definitions_) {
            if (!d.own || d.functionLike || d.file.empty() || helpers_.count(d.file)) continue;
            const MacroTokens* m = Macro(name);
            if (!m || !MayBeExpression(m->body)) continue;
            out.push_back({name, d.file, notation_.Of(m->body)});
        }
        return out;
    }

    // This unit's own enum members, with the values the compiler gave them.
    std::vector<Record> EnumRecords() {
        std::vector<Record> out;
        for (CXCursor c : members_) {
            std::optional<IntType> type = IntegerTypeOf(clang_getCursorType(c));
            if (!type) continue;
            const std::uint64_t raw = type->isUnsigned ? clang_getEnumConstantDeclUnsignedValue(c)
                                                       : static_cast<std::uint64_t>(clang_getEnumConstantDeclValue(c));
            const IntValue value = IntValue::Of(raw, *type);
            const std::string file = Relative(clang::PlaceOf(c).file);
            out.push_back({clang::TakeText(clang_getCursorSpelling(c)), value, NotationText(value, MemberNotation(c)), file});
        }
        return out;
    }

private:
    struct Definition {
        CXCursor cursor;
        std::string file;  // under the folders; empty when outside them
        bool functionLike = false;
        bool own = false;
    };

    CXChildVisitResult Visit(CXCursor c) {
        switch (c.kind) {
        case CXCursor_MacroDefinition:
            if (!clang_Cursor_isMacroBuiltin(c)) AddDefinition(c);
            return CXChildVisit_Continue;
        case CXCursor_EnumConstantDecl:
            AddMember(c);
            return CXChildVisit_Continue;
        case CXCursor_EnumDecl: case CXCursor_TypedefDecl: case CXCursor_StructDecl: case CXCursor_UnionDecl:
        case CXCursor_FieldDecl: case CXCursor_VarDecl:
            return CXChildVisit_Recurse;  // enums declared inside them
        default:
            return CXChildVisit_Continue;
        }
    }

    void AddDefinition(CXCursor c) {
        const clang::Place p = clang::PlaceOf(c);
        if (p.file.empty()) return;  // the command line's
        Definition d{c, Relative(p.file), clang_Cursor_isMacroFunctionLike(c) != 0, Own(p)};
        std::string name = clang::TakeText(clang_getCursorSpelling(c));
        macros_.erase(name);
        definitions_.insert_or_assign(std::move(name), d);  // the last definition met is the one in force
    }

    void AddMember(CXCursor c) {
        const clang::Place p = clang::PlaceOf(c);
        const std::string key = p.file + ':' + std::to_string(p.offset);
        if (!seenMembers_.insert(key).second) return;  // met again through its typedef
        const std::string& file = Relative(p.file);
        if (Own(p) && !file.empty() && !helpers_.count(file)) members_.push_back(c);
    }

    const MacroTokens* Macro(const std::string& name) {
        auto known = macros_.find(name);
        if (known != macros_.end()) return &known->second;
        auto d = definitions_.find(name);
        if (d == definitions_.end()) return nullptr;
        const SourceTokens tokens = clang::TokensIn(unit_, clang_getCursorExtent(d->second.cursor));
        if (tokens.empty() || tokens[0].text != name) return nullptr;
        return &macros_.emplace(name, MacroFromDefinition(tokens, d->second.functionLike)).first->second;
    }

    Notation MemberNotation(CXCursor c) {
        bool initialised = false;
        clang::VisitChildren(c, [&](CXCursor child) {
            initialised = initialised || clang_isExpression(child.kind);
            return CXChildVisit_Break;
        });
        if (!initialised) return {};  // one more than the member before: decimal
        const SourceTokens tokens = clang::TokensIn(unit_, clang_getCursorExtent(c));
        auto equals = std::find_if(tokens.begin(), tokens.end(), [](const SourceToken& t) { return t.text == "="; });
        return notation_.Of(SourceTokens(equals == tokens.end() ? tokens.begin() : equals + 1, tokens.end()));
    }

    const std::string& Relative(const std::string& path) { return relative_.Of(path); }
    bool Own(const clang::Place& p) { return own_.Own(p); }

    CXTranslationUnit unit_;
    RelativePaths relative_;
    OwnPlaces own_;
    std::set<std::string> helpers_;  // headers included only for the names they give
    std::map<std::string, Definition> definitions_;  // name -> definition in force
    std::unordered_map<std::string, MacroTokens> macros_;
    std::unordered_set<std::string> seenMembers_;
    std::vector<CXCursor> members_;
    NotationFinder notation_;
};

struct Context {
    const Folders& folders;
    std::vector<std::string> args;    // for every parse
    std::string pch;                  // <windows.h> precompiled; empty when it could not be
    std::unordered_set<std::string> baseKeys;
};

// The value the compiler gives a declared variable, when it is an integer.
std::optional<IntValue> ValueOf(CXCursor var) {
    if (clang_isInvalidDeclaration(var)) return std::nullopt;
    std::optional<IntType> type = IntegerTypeOf(clang_getCursorType(var));
    if (!type) return std::nullopt;
    clang::Evaluation result(clang_Cursor_Evaluate(var));
    if (!result || clang_EvalResult_getKind(result.get()) != CXEval_Int) return std::nullopt;
    const std::uint64_t raw = clang_EvalResult_isUnsignedInt(result.get())
                                  ? clang_EvalResult_getAsUnsigned(result.get())
                                  : static_cast<std::uint64_t>(clang_EvalResult_getAsLongLong(result.get()));
    return IntValue::Of(raw, *type);
}

// Declares one variable per candidate after the includes; the parse gives their values.
std::string ValueDeclarations(const std::string& includes, const std::vector<UnitScan::Candidate>& candidates,
                              const std::vector<std::size_t>& which) {
    std::string source = includes;
    for (std::size_t i : which) {
        const std::string& n = candidates[i].name;
        // A pointer constant (IDC_ARROW, HKEY_LOCAL_MACHINE) is read as the address it holds.
        source += "static const __auto_type " + std::string(kValuePrefix) + std::to_string(i) +
                  " = __builtin_choose_expr(__builtin_classify_type(" + n + ") == 5, (unsigned long)(" + n + "), (" + n + "));\n";
    }
    return source;
}

// The values of the candidates, from a second parse. A macro the headers left
// unbalanced can make the parser skip the declarations after its own; those are
// declared again without it.
void EvaluateMacros(CXIndex index, const Context& ctx, const std::string& includes,
                    const std::vector<UnitScan::Candidate>& candidates, UnitResult& out) {
    std::vector<std::size_t> pending(candidates.size());
    for (std::size_t i = 0; i < pending.size(); ++i) pending[i] = i;
    const std::size_t prefix = std::string(kValuePrefix).size();
    while (!pending.empty()) {
        clang::Unit unit = clang::Parse(index, kMainFile, ValueDeclarations(includes, candidates, pending),
                                        WithPrecompiled(ctx.args, ctx.pch),
                                        CXTranslationUnit_SkipFunctionBodies | CXTranslationUnit_KeepGoing, nullptr);
        if (!unit) return;
        std::vector<bool> declared(candidates.size(), false);
        // Clang recovers from a malformed expansion and may still give the
        // declaration a value: "( 0x1 0x2 0x4 )" would read as 1.
        const std::set<unsigned> errorLines = clang::MainFileErrorLines(unit.get());
        clang::VisitChildren(clang_getTranslationUnitCursor(unit.get()), [&](CXCursor c) {
            if (c.kind != CXCursor_VarDecl || !clang_Location_isFromMainFile(clang_getCursorLocation(c))) return CXChildVisit_Continue;
            const std::string spelling = clang::TakeText(clang_getCursorSpelling(c));
            if (spelling.compare(0, prefix, kValuePrefix) != 0) return CXChildVisit_Continue;
            const std::size_t i = std::stoul(spelling.substr(prefix));
            if (i >= candidates.size()) return CXChildVisit_Continue;
            declared[i] = true;
            if (errorLines.count(clang::LineOf(c))) return CXChildVisit_Continue;
            std::optional<IntValue> value = ValueOf(c);
            if (value) out.records.push_back({candidates[i].name, *value, NotationText(*value, candidates[i].notation), candidates[i].file});
            return CXChildVisit_Continue;
        });
        clang::UndeclaredNames(unit.get(), out.undeclared);
        std::vector<std::size_t> skipped;
        for (std::size_t i : pending)
            if (!declared[i]) skipped.push_back(i);
        if (skipped.size() == pending.size()) return;  // nothing more to learn
        pending = std::move(skipped);
    }
}

void Collect(CXIndex index, const Context& ctx, const std::string& includes, UnitScan& scan, UnitResult& result) {
    std::vector<UnitScan::Candidate> candidates = scan.MacroCandidates();
    result.records = scan.EnumRecords();
    EvaluateMacros(index, ctx, includes, candidates, result);
}

UnitResult EvaluateUnit(CXIndex index, const Context& ctx, const UnitHeaders& headers) {
    UnitResult result;
    const std::string includes = UnitIncludes(ctx.pch, headers);
    std::string error;
    clang::Unit unit = clang::Parse(index, kMainFile, includes, WithPrecompiled(ctx.args, ctx.pch),
                                    CXTranslationUnit_DetailedPreprocessingRecord | CXTranslationUnit_KeepGoing, &error);
    if (!unit) {
        result.error = error;
        return result;
    }
    result.error = ErrorText(unit.get(), ctx.folders);
    UnitScan scan(unit.get(), ctx.folders, &ctx.baseKeys, std::set<std::string>(headers.begin(), headers.end() - 1));
    Collect(index, ctx, includes, scan, result);
    return result;
}

// <windows.h>'s own unit; it leaves the precompiled header and the keys of what it defines.
bool EvaluateBase(CXIndex index, Context& ctx, const fs::path& pch, UnitResult& result, std::string* error) {
    clang::Unit unit = ParseBaseUnit(index, kBaseFile, ctx.args,
                                     CXTranslationUnit_DetailedPreprocessingRecord | CXTranslationUnit_KeepGoing, error);
    if (!unit) return false;
    result.error = ErrorText(unit.get(), ctx.folders);
    if (SavePrecompiled(unit.get(), ctx.folders, pch.string())) ctx.pch = pch.string();
    UnitScan scan(unit.get(), ctx.folders, nullptr);
    Collect(index, ctx, UnitIncludes(ctx.pch, {}), scan, result);
    ctx.baseKeys = scan.TakeKeys();
    return true;
}

std::vector<UnitResult> EvaluateUnits(const Context& ctx, const std::vector<UnitHeaders>& headers, unsigned jobs) {
    std::vector<UnitResult> results(headers.size());
    clang::InParallel(headers.size(), jobs,
                      [&](CXIndex index, std::size_t i) { results[i] = EvaluateUnit(index, ctx, headers[i]); });
    return results;
}

// Each (name, file, value) once, from the unit that speaks best for it.
void Assemble(std::vector<UnitResult> results, HeaderSource& out) {
    using Key = std::tuple<std::string, std::string, std::uint64_t, bool, int>;
    std::map<Key, std::pair<int, std::size_t>> best;  // -> (rank, unit)
    for (std::size_t u = 0; u < results.size(); ++u)
        for (const Record& r : results[u].records) {
            const Key key{r.name, r.file, r.value.Raw(), r.value.IsUnsigned(), r.value.Type().bits};
            const std::pair<int, std::size_t> here{UnitRank(out.units[u], u, r.file), u};
            auto [it, fresh] = best.emplace(key, here);
            if (!fresh && here < it->second) it->second = here;
        }
    std::unordered_map<std::string, std::uint32_t> files;
    for (std::size_t u = 0; u < results.size(); ++u) {
        std::vector<Record>& records = results[u].records;
        std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.name < b.name; });
        for (Record& r : records) {
            auto& chosen = best.at(Key{r.name, r.file, r.value.Raw(), r.value.IsUnsigned(), r.value.Type().bits});
            if (chosen.second != u) continue;
            chosen.second = SIZE_MAX;  // a unit may give the same record twice (a macro and an enum member)
            auto [f, fresh] = files.emplace(r.file, static_cast<std::uint32_t>(out.files.size()));
            if (fresh) out.files.push_back(r.file);
            out.constants.push_back({std::move(r.name), r.value, std::move(r.text), f->second, static_cast<std::uint32_t>(u)});
        }
    }
}

// For each unit whose own definitions use names it does not declare (mshtmdid.h's
// DomConstructorAttr, from mshtml.h), a unit that includes the headers defining
// those names first. results[0] is <windows.h>'s unit, results[i + 1] units[i]'s.
std::vector<UnitHeaders> UnitsWithHelpers(const std::vector<UnitHeaders>& units, const std::vector<UnitResult>& results) {
    std::unordered_map<std::string_view, std::string_view> definedIn;
    for (const UnitResult& r : results)
        for (const Record& c : r.records) definedIn.emplace(c.name, c.file);
    std::vector<UnitHeaders> helped;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::set<std::string> helpers;
        for (const std::string& name : results[i + 1].undeclared) {
            auto found = definedIn.find(name);
            if (found != definedIn.end() && found->second != units[i].back()) helpers.emplace(found->second);
        }
        if (helpers.empty()) continue;
        UnitHeaders u(helpers.begin(), helpers.end());
        u.push_back(units[i].back());
        helped.push_back(std::move(u));
    }
    return helped;
}

}  // namespace

std::string CompilerDescription(const HeaderFolders& in) {
    return clang::TakeText(clang_getClangVersion()) + " (libclang), " + kHeaderTarget +
           (in.gnuVersion.empty() ? std::string() : ", as GCC " + in.gnuVersion);
}

bool EvaluateHeaders(const HeaderFolders& in, const EvaluationOptions& options, HeaderSource& out, std::string* error) {
    const Folders folders(in.folders);
    if (!folders.Holds(kBaseHeader)) {
        if (error) *error = "no " + std::string(kBaseHeader) + " in " + (in.folders.empty() ? std::string("(no folder)") : in.folders[0]);
        return false;
    }
    std::vector<UnitHeaders> units;
    if (options.only.empty())
        for (const std::string& h : folders.Headers()) units.push_back({h});
    for (const std::string& name : options.only) {  // a sample: the named units the folders hold
        UnitHeaders u = SplitUnitName(name);
        if (!u.empty() && name != kBaseHeader && std::all_of(u.begin(), u.end(), [&](const std::string& h) { return folders.Holds(h); }))
            units.push_back(std::move(u));
    }
    Context ctx{folders, UnitCompilerArgs(in, folders, kHeaderTarget), {}, {}};
    clang::TempPch pch;
    std::vector<UnitResult> results(1);
    {
        clang::Index index = clang::NewIndex();
        if (!EvaluateBase(index.get(), ctx, pch.Path(), results[0], error)) return false;
    }
    std::vector<UnitResult> others = EvaluateUnits(ctx, units, options.jobs);
    std::move(others.begin(), others.end(), std::back_inserter(results));
    if (options.only.empty()) {
        std::vector<UnitHeaders> helped = UnitsWithHelpers(units, results);
        others = EvaluateUnits(ctx, helped, options.jobs);
        std::move(others.begin(), others.end(), std::back_inserter(results));
        units.insert(units.end(), helped.begin(), helped.end());
    }
    out = HeaderSource{};
    out.name = in.source;
    out.package = in.package;
    out.compiler = CompilerDescription(in);
    out.defines = in.defines;
    out.units.push_back({kBaseHeader, results[0].error});
    for (std::size_t i = 0; i < units.size(); ++i) out.units.push_back({UnitName(units[i]), results[i + 1].error});
    Assemble(std::move(results), out);
    return true;
}

}  // namespace tools
