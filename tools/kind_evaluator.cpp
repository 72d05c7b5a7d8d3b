#include "tools/kind_evaluator.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "tools/clang_unit.h"
#include "tools/header_units.h"
#include "tools/literal_notation.h"
#include "tools/string_literal.h"

namespace tools {
namespace {

constexpr const char* kMainFile = "qalomir-kinds.c";
constexpr const char* kBaseFile = "qalomir-kinds-base.h";
constexpr const char* kPlainPrefix = "__qalomir_string_";
constexpr const char* kTextPrefix = "__qalomir_text_";

// TEXT() and tchar.h's spellings of it made wide, for the second declaration of
// each string: what turns wide is what UNICODE would have turned wide.
std::string WidenedText() {
    std::string out;
    for (const char* m : {"__TEXT", "TEXT", "__T", "_TEXT", "_T"})
        out += std::string("#ifdef ") + m + "\n#undef " + m + "\n#define " + m + "(q) L##q\n#endif\n";
    return out;
}

struct Record {
    std::string kind, name, value, file;
};

struct UnitResult {
    std::string error;
    std::vector<Record> records;
};

enum class KeyType { None, Guid, PropertyKey, DevPropKey };

KeyType KeyTypeOf(CXCursor var) {
    const CXType t = clang_getCanonicalType(clang_getCursorType(var));
    if (t.kind != CXType_Record) return KeyType::None;
    const std::string tag = clang::TakeText(clang_getCursorSpelling(clang_getTypeDeclaration(t)));
    if (tag == "_GUID") return KeyType::Guid;
    if (tag == "_tagpropertykey") return KeyType::PropertyKey;
    if (tag == "_DEVPROPKEY") return KeyType::DevPropKey;
    return KeyType::None;
}

// The scalars of an initializer list, in order, as the compiler evaluates them;
// false where one is not an integer constant.
bool Scalars(CXCursor list, std::vector<std::uint64_t>& out) {
    bool ok = true;
    clang::VisitChildren(list, [&](CXCursor c) {
        if (c.kind == CXCursor_InitListExpr) {
            ok = Scalars(c, out);
        } else {
            clang::Evaluation e(clang_Cursor_Evaluate(c));
            ok = e && clang_EvalResult_getKind(e.get()) == CXEval_Int;
            if (ok) out.push_back(clang_EvalResult_getAsUnsigned(e.get()));
        }
        return ok ? CXChildVisit_Continue : CXChildVisit_Break;
    });
    return ok;
}

std::string GuidText(const std::vector<std::uint64_t>& f) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", unsigned(f[0] & 0xFFFFFFFFu),
                  unsigned(f[1] & 0xFFFF), unsigned(f[2] & 0xFFFF), unsigned(f[3] & 0xFF), unsigned(f[4] & 0xFF),
                  unsigned(f[5] & 0xFF), unsigned(f[6] & 0xFF), unsigned(f[7] & 0xFF), unsigned(f[8] & 0xFF),
                  unsigned(f[9] & 0xFF), unsigned(f[10] & 0xFF));
    return text;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// A GUID, PROPERTYKEY or DEVPROPKEY variable with an initializer, as a record.
std::optional<Record> KeyRecord(CXCursor var, const std::string& file) {
    const KeyType type = KeyTypeOf(var);
    if (type == KeyType::None || clang_isInvalidDeclaration(var)) return std::nullopt;
    const CXCursor init = clang_Cursor_getVarDeclInitializer(var);
    std::vector<std::uint64_t> f;
    if (clang_Cursor_isNull(init) || init.kind != CXCursor_InitListExpr || !Scalars(init, f)) return std::nullopt;
    Record r{"", clang::TakeText(clang_getCursorSpelling(var)), "", file};
    if (type == KeyType::Guid) {
        if (f.size() != 11) return std::nullopt;
        r.kind = StartsWith(r.name, "IID_") ? "iid" : StartsWith(r.name, "CLSID_") ? "clsid" : "guid";
        r.value = GuidText(f);
    } else {
        if (f.size() != 12) return std::nullopt;
        r.kind = type == KeyType::PropertyKey ? "propkey" : "devpropkey";
        r.value = PropertyKeyText(GuidText(f), static_cast<std::uint32_t>(f[11]));
    }
    return r;
}

// The string literal a variable's initializer is, through parentheses and implicit conversions.
std::optional<StringLiteralValue> StringOf(CXCursor var) {
    if (clang_isInvalidDeclaration(var)) return std::nullopt;
    CXCursor c = clang_Cursor_getVarDeclInitializer(var);
    while (!clang_Cursor_isNull(c) && (c.kind == CXCursor_UnexposedExpr || c.kind == CXCursor_ParenExpr)) {
        CXCursor only = clang_getNullCursor();
        clang::VisitChildren(c, [&](CXCursor child) {
            only = child;
            return CXChildVisit_Break;
        });
        c = only;
    }
    if (clang_Cursor_isNull(c) || c.kind != CXCursor_StringLiteral) return std::nullopt;
    std::optional<StringLiteralValue> v = DecodeStringLiteral(clang::TakeText(clang_getCursorSpelling(c)));
    // The array the compiler made holds the characters and their terminator: a check of the decoding.
    const long long size = clang_getArraySize(clang_getCursorType(c));
    if (!v || size != static_cast<long long>(v->units + 1)) return std::nullopt;
    return v;
}

// What one parse of a unit shows: its own GUIDs and keys, and its own macros that may be strings.
class UnitScan {
public:
    UnitScan(CXTranslationUnit unit, const Folders& folders, const std::unordered_set<std::string>* baseKeys)
        : unit_(unit), relative_(folders), own_(baseKeys) {
        clang::VisitChildren(clang_getTranslationUnitCursor(unit), [this](CXCursor c) { return Visit(c); });
    }

    std::unordered_set<std::string> TakeKeys() { return own_.Take(); }
    std::vector<Record> TakeRecords() { return std::move(records_); }

    struct Candidate {
        std::string name, file;
    };

    // Own object-like macros in force whose body is made of names, string literals and
    // calls: "Button", TEXT("..."), __MINGW_NAME_AW(WC_BUTTON), WC_BUTTONA.
    std::vector<Candidate> StringCandidates() const {
        std::vector<Candidate> out;
        for (const auto& [name, d] : macros_) {
            if (!d.own || d.file.empty() || clang_Cursor_isMacroFunctionLike(d.cursor)) continue;
            const SourceTokens tokens = clang::TokensIn(unit_, clang_getCursorExtent(d.cursor));
            if (tokens.empty() || tokens[0].text != name) continue;
            const SourceTokens body(tokens.begin() + 1, tokens.end());
            if (MayBeString(body) && MayBeExpression(body)) out.push_back({name, d.file});
        }
        return out;
    }

private:
    struct Definition {
        CXCursor cursor;
        std::string file;
        bool own = false;
    };

    // __FILE__ and its kin would give the unit's own name or the time of the evaluation.
    static bool MayBeString(const SourceTokens& body) {
        static const std::set<std::string> kWhereAndWhen = {"__FILE__", "__BASE_FILE__", "__FILE_NAME__", "__DATE__", "__TIME__",
                                                            "__TIMESTAMP__"};
        return !body.empty() && std::all_of(body.begin(), body.end(), [](const SourceToken& t) {
            switch (t.kind) {
            case SourceToken::Kind::Identifier: return kWhereAndWhen.count(t.text) == 0;
            case SourceToken::Kind::Literal: return t.text.back() == '"';
            case SourceToken::Kind::Punctuation: return t.text == "(" || t.text == ")" || t.text == ",";
            default: return false;
            }
        });
    }

    CXChildVisitResult Visit(CXCursor c) {
        if (c.kind == CXCursor_MacroDefinition && !clang_Cursor_isMacroBuiltin(c)) AddMacro(c);
        else if (c.kind == CXCursor_VarDecl) AddVariable(c);
        return CXChildVisit_Continue;
    }

    void AddMacro(CXCursor c) {
        const clang::Place p = clang::PlaceOf(c);
        if (p.file.empty()) return;  // the command line's
        macros_.insert_or_assign(clang::TakeText(clang_getCursorSpelling(c)), Definition{c, relative_.Of(p.file), own_.Own(p)});
    }

    void AddVariable(CXCursor c) {
        const clang::Place p = clang::PlaceOf(c);
        if (!own_.Own(p)) return;
        const std::string& file = relative_.Of(p.file);
        if (file.empty()) return;
        if (std::optional<Record> r = KeyRecord(c, file)) records_.push_back(std::move(*r));
    }

    CXTranslationUnit unit_;
    RelativePaths relative_;
    OwnPlaces own_;
    std::map<std::string, Definition> macros_;  // name -> definition in force
    std::vector<Record> records_;
};

struct Context {
    const Folders& folders;
    std::vector<std::string> args;
    std::string pch;
    std::unordered_set<std::string> baseKeys;
};

std::string StringDeclarations(const std::string& includes, const std::vector<UnitScan::Candidate>& candidates,
                               const std::vector<std::size_t>& which) {
    std::string source = includes;
    for (const char* prefix : {kPlainPrefix, kTextPrefix}) {
        if (prefix == kTextPrefix) source += WidenedText();
        for (std::size_t i : which)
            source += "static const __auto_type " + std::string(prefix) + std::to_string(i) + " = (" + candidates[i].name + ");\n";
    }
    return source;
}

struct StringValues {
    std::optional<StringLiteralValue> plain, text;
    bool declared = false;
};

// Both declarations of each candidate, from one parse; a macro the headers left
// unbalanced can make clang skip the declarations after its own, and those are
// declared again without it.
std::vector<StringValues> EvaluateStrings(CXIndex index, const Context& ctx, const std::string& includes,
                                          const std::vector<UnitScan::Candidate>& candidates) {
    std::vector<StringValues> values(candidates.size());
    std::vector<std::size_t> pending(candidates.size());
    for (std::size_t i = 0; i < pending.size(); ++i) pending[i] = i;
    while (!pending.empty()) {
        clang::Unit unit = clang::Parse(index, kMainFile, StringDeclarations(includes, candidates, pending),
                                        WithPrecompiled(ctx.args, ctx.pch),
                                        CXTranslationUnit_SkipFunctionBodies | CXTranslationUnit_KeepGoing, nullptr);
        if (!unit) break;
        const std::set<unsigned> errorLines = clang::MainFileErrorLines(unit.get());
        clang::VisitChildren(clang_getTranslationUnitCursor(unit.get()), [&](CXCursor c) {
            if (c.kind != CXCursor_VarDecl || !clang_Location_isFromMainFile(clang_getCursorLocation(c))) return CXChildVisit_Continue;
            const std::string spelling = clang::TakeText(clang_getCursorSpelling(c));
            const bool plain = StartsWith(spelling, kPlainPrefix);
            if (!plain && !StartsWith(spelling, kTextPrefix)) return CXChildVisit_Continue;
            const std::size_t i = std::stoul(spelling.substr(std::string(plain ? kPlainPrefix : kTextPrefix).size()));
            if (i >= values.size()) return CXChildVisit_Continue;
            values[i].declared = true;
            if (!errorLines.count(clang::LineOf(c))) (plain ? values[i].plain : values[i].text) = StringOf(c);
            return CXChildVisit_Continue;
        });
        std::vector<std::size_t> skipped;
        for (std::size_t i : pending)
            if (!values[i].declared) skipped.push_back(i);
        if (skipped.size() == pending.size()) break;
        pending = std::move(skipped);
    }
    return values;
}

// The kind of each string: stringA or stringW as its literal is, string where
// UNICODE decides (TEXT() widened it, or the unit also gives NAMEA and NAMEW).
void AddStrings(const std::vector<UnitScan::Candidate>& candidates, const std::vector<StringValues>& values,
                std::vector<Record>& out) {
    std::unordered_set<std::string> names;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (values[i].plain) names.insert(candidates[i].name);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::optional<StringLiteralValue>& v = values[i].plain;
        if (!v) continue;
        const std::string& name = candidates[i].name;
        const bool text = !v->wide && values[i].text && values[i].text->wide;
        const bool pair = names.count(name + "A") && names.count(name + "W");
        const std::string kind = text || pair ? "string" : v->wide ? "stringW" : "stringA";
        out.push_back({kind, name, EscapeString(v->utf8), candidates[i].file});
    }
}

void Collect(CXIndex index, const Context& ctx, const std::string& includes, UnitScan& scan, UnitResult& result) {
    result.records = scan.TakeRecords();
    const std::vector<UnitScan::Candidate> candidates = scan.StringCandidates();
    if (!candidates.empty()) AddStrings(candidates, EvaluateStrings(index, ctx, includes, candidates), result.records);
}

constexpr unsigned kScanFlags = CXTranslationUnit_DetailedPreprocessingRecord | CXTranslationUnit_KeepGoing;

UnitResult EvaluateUnit(CXIndex index, const Context& ctx, const std::string& header) {
    UnitResult result;
    const std::string includes = UnitIncludes(ctx.pch, {header});
    clang::Unit unit = clang::Parse(index, kMainFile, includes, WithPrecompiled(ctx.args, ctx.pch), kScanFlags, &result.error);
    if (!unit) return result;
    result.error = ErrorText(unit.get(), ctx.folders);
    UnitScan scan(unit.get(), ctx.folders, &ctx.baseKeys);
    Collect(index, ctx, includes, scan, result);
    return result;
}

// <windows.h>'s own unit; it leaves the precompiled header and the keys of what it defines.
bool EvaluateBase(CXIndex index, Context& ctx, const std::string& pch, UnitResult& result, std::string* error) {
    clang::Unit unit = ParseBaseUnit(index, kBaseFile, ctx.args, kScanFlags, error);
    if (!unit) return false;
    result.error = ErrorText(unit.get(), ctx.folders);
    if (SavePrecompiled(unit.get(), ctx.folders, pch)) ctx.pch = pch;
    UnitScan scan(unit.get(), ctx.folders, nullptr);
    Collect(index, ctx, UnitIncludes(ctx.pch, {}), scan, result);
    ctx.baseKeys = scan.TakeKeys();
    return true;
}

// Each (name, value, file) once, with the kind of the best unit that gives it;
// from a unit that did not compile only the names no unit that compiled gives.
void Assemble(const std::vector<UnitResult>& results, const std::vector<std::string>& units, KindConstants& out) {
    std::unordered_set<std::string> compiled;
    for (std::size_t u = 0; u < results.size(); ++u)
        if (results[u].error.empty())
            for (const Record& r : results[u].records) compiled.insert(r.name);
    using Where = std::tuple<std::string, std::string, std::string>;  // file, name, value
    std::map<Where, std::pair<int, const Record*>> best;
    for (std::size_t u = 0; u < results.size(); ++u)
        for (const Record& r : results[u].records) {
            if (!results[u].error.empty() && compiled.count(r.name)) continue;
            const int rank = UnitRank({units[u], results[u].error}, u, r.file);
            auto [it, fresh] = best.emplace(Where{r.file, r.name, r.value}, std::make_pair(rank, &r));
            if (!fresh && rank < it->second.first) it->second = {rank, &r};
        }
    for (const auto& [where, chosen] : best) {
        if (out.spaces.empty() || out.spaces.back() != chosen.second->file) out.spaces.push_back(chosen.second->file);
        out.constants.push_back({chosen.second->kind, chosen.second->name, chosen.second->value,
                                 static_cast<std::uint32_t>(out.spaces.size() - 1)});
    }
}

}  // namespace

bool EvaluateHeaderKinds(const HeaderFolders& in, const EvaluationOptions& options, KindConstants& out,
                         KindEvaluation& report, std::string* error) {
    const Folders folders(in.folders);
    if (!folders.Holds(kBaseHeader)) {
        if (error) *error = "no " + std::string(kBaseHeader) + " in " + (in.folders.empty() ? std::string("(no folder)") : in.folders[0]);
        return false;
    }
    std::vector<std::string> units = {kBaseHeader};
    if (options.only.empty()) {
        const std::vector<std::string> all = folders.Headers();
        units.insert(units.end(), all.begin(), all.end());
    }
    for (const std::string& h : options.only)
        if (h != kBaseHeader && folders.Holds(h)) units.push_back(h);
    HeaderFolders withGuids = in;
    withGuids.defines.push_back("INITGUID");  // DEFINE_GUID and its kin define, with initializers
    Context ctx{folders, UnitCompilerArgs(withGuids, folders, kHeaderTarget), {}, {}};
    clang::TempPch pch;
    std::vector<UnitResult> results(units.size());
    {
        clang::Index index = clang::NewIndex();
        if (!EvaluateBase(index.get(), ctx, pch.Path(), results[0], error)) return false;
    }
    clang::InParallel(units.size() - 1, options.jobs,
                      [&](CXIndex index, std::size_t i) { results[i + 1] = EvaluateUnit(index, ctx, units[i + 1]); });
    out = KindConstants{};
    out.origin = in.source + '\t' + in.package + '\t' + CompilerDescription(in);
    report = KindEvaluation{units.size(), {}};
    for (std::size_t u = 0; u < units.size(); ++u)
        if (!results[u].error.empty()) report.failed.push_back(units[u] + ": " + results[u].error);
    Assemble(results, units, out);
    return true;
}

bool EvaluateKindSources(const SourceFolders& in, const EvaluationOptions& options, std::vector<KindConstants>& out,
                         std::vector<KindEvaluation>& reports, std::string* error) {
    out.assign(1, KindConstants{});
    reports.assign(1, KindEvaluation{});
    const HeaderFolders mingw{"mingw-w64", in.mingwPackage, in.mingw, {}, kMingwGnuVersion};
    if (!EvaluateHeaderKinds(mingw, options, out[0], reports[0], error)) return false;
    if (in.wine.empty()) return true;
    // The version macros <windows.h> settles on, from its integers alone.
    HeaderSource base;
    EvaluationOptions baseOnly;
    baseOnly.only = {kBaseHeader};
    if (!EvaluateHeaders(mingw, baseOnly, base, error)) return false;
    out.emplace_back();
    reports.emplace_back();
    return EvaluateHeaderKinds({"Wine", in.winePackage, in.wine, VersionDefines(base), {}}, options, out[1], reports[1], error);
}

}  // namespace tools
