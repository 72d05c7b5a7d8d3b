#include "tools/layout_evaluator.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "tools/clang_unit.h"
#include "tools/header_folders.h"
#include "tools/header_units.h"

namespace tools {

// mingw-w64's _mingw.h makes time_t 32-bit on i686 unless this is defined (or _UCRT,
// which changes much else); the SDK's has been 64-bit since Visual C++ 2005.
const std::vector<std::string> kSdkAbiDefines = {"__MINGW_USE_VC2005_COMPAT=1"};

const std::vector<LayoutTargetName> kLayoutTargets = {{"i686", "i686-w64-mingw32"}, {"x86_64", "x86_64-w64-mingw32"}};

namespace {

namespace fs = std::filesystem;

constexpr const char* kMainFile = "qalomir-layout.c";
constexpr const char* kBaseFile = "qalomir-layout-base.h";

// A record as one unit laid it out, with the records nested in it without a tag
// (their names start with its own and a dot) right after it.
struct Candidate {
    std::string key;  // where it is defined: the same definition met in another unit has the same key
    std::vector<LayoutRecord> records;
};

struct UnitResult {
    std::string error;
    std::vector<Candidate> candidates;
};

struct Context {
    const Folders& folders;
    std::vector<std::string> args;  // for every parse
    std::string pch;                // <windows.h> precompiled; empty when it could not be
    std::unordered_set<std::string> baseKeys;
};

// A type's spelling without the place clang names an unnamed record by:
// "struct (unnamed struct at /usr/.../x.h:12:3)" is "struct (unnamed struct)".
std::string TypeText(CXType type) {
    std::string text = OneLine(clang::TakeText(clang_getTypeSpelling(type)));
    for (std::size_t at; (at = text.find(" at ")) != std::string::npos;) {
        const std::size_t close = text.find(')', at);
        text.erase(at, close == std::string::npos ? std::string::npos : close - at);
    }
    return text;
}

bool IsRecord(CXCursorKind kind) { return kind == CXCursor_StructDecl || kind == CXCursor_UnionDecl; }

class UnitLayouts {
public:
    UnitLayouts(CXTranslationUnit unit, const Folders& folders, const std::unordered_set<std::string>* baseKeys)
        : relative_(folders), baseKeys_(baseKeys) {
        const CXCursor root = clang_getTranslationUnitCursor(unit);
        clang::VisitChildren(root, [this](CXCursor c) { return FindTypedefs(c); });
        clang::VisitChildren(root, [this](CXCursor c) { return FindRecords(c); });
    }

    std::vector<Candidate> TakeCandidates() { return std::move(candidates_); }
    // Keys of every record seen, for telling later units' own from <windows.h>'s.
    std::unordered_set<std::string> TakeKeys() { return std::move(keys_); }

private:
    // Where a definition is: its file and offset, where its macro was expanded and
    // where it is spelled (one macro may define several), and its tag.
    std::string Key(CXCursor c) {
        CXFile file = nullptr;
        unsigned expanded = 0, spelled = 0;
        clang_getExpansionLocation(clang_getCursorLocation(c), &file, nullptr, nullptr, &expanded);
        clang_getSpellingLocation(clang_getCursorLocation(c), nullptr, nullptr, nullptr, &spelled);
        std::string key = file ? clang::TakeText(clang_getFileName(file)) : std::string();
        key += ':' + std::to_string(expanded) + ':' + std::to_string(spelled);
        if (!clang_Cursor_isAnonymous(c)) key += ':' + clang::TakeText(clang_getCursorSpelling(c));
        return key;
    }

    // typedef struct tagRECT { ... } RECT: the typedef names of each record, in order.
    CXChildVisitResult FindTypedefs(CXCursor c) {
        if (c.kind != CXCursor_TypedefDecl) return CXChildVisit_Continue;
        CXType underlying = clang_getTypedefDeclUnderlyingType(c);
        if (underlying.kind == CXType_Elaborated) underlying = clang_Type_getNamedType(underlying);
        if (underlying.kind != CXType_Record) return CXChildVisit_Continue;  // a pointer, or another typedef's name
        const CXCursor definition = clang_getCursorDefinition(clang_getTypeDeclaration(underlying));
        if (clang_Cursor_isNull(definition)) return CXChildVisit_Continue;
        std::vector<std::string>& names = typedefs_[Key(definition)];
        std::string name = clang::TakeText(clang_getCursorSpelling(c));
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
        return CXChildVisit_Continue;
    }

    CXChildVisitResult FindRecords(CXCursor c) {
        if (!IsRecord(c.kind)) return CXChildVisit_Continue;
        if (clang_isCursorDefinition(c) && !clang_Cursor_isAnonymous(c)) AddRecord(c);
        else if (clang_isCursorDefinition(c) && clang_getCursorSemanticParent(c).kind == CXCursor_TranslationUnit) AddRecord(c);
        return CXChildVisit_Recurse;  // a record nested with a tag is declared at file scope in C
    }

    void AddRecord(CXCursor c) {
        std::string key = Key(c);
        if (baseKeys_ && baseKeys_->count(key)) return;  // <windows.h>'s
        if (!baseKeys_) keys_.insert(key);
        const std::string header = Relative(clang::PlaceOf(c).file);
        if (header.empty()) return;  // the compiler's own headers
        const std::string tag = clang_Cursor_isAnonymous(c) ? std::string() : clang::TakeText(clang_getCursorSpelling(c));
        auto named = typedefs_.find(key);
        std::vector<std::string> names = named == typedefs_.end() ? std::vector<std::string>() : named->second;
        if (names.empty() && tag.empty()) return;  // a variable's type, not one the headers name
        Candidate candidate{std::move(key), {}};
        const std::string name = names.empty() ? tag : names[0];
        if (!names.empty()) names.erase(names.begin());
        if (!Layout(c, name, header, candidate.records)) return;
        candidate.records[0].tag = tag;
        candidate.records[0].aliases = std::move(names);
        candidates_.push_back(std::move(candidate));
    }

    // Appends the record and those nested in it without a tag; false when the
    // compiler could not lay it out (an invalid or incomplete declaration).
    bool Layout(CXCursor c, const std::string& name, const std::string& header, std::vector<LayoutRecord>& out) {
        if (clang_isInvalidDeclaration(c)) return false;
        const CXType type = clang_getCursorType(c);
        const long long size = clang_Type_getSizeOf(type), align = clang_Type_getAlignOf(type);
        if (size < 0 || align <= 0) return false;
        const std::size_t at = out.size();
        out.push_back({name, c.kind == CXCursor_UnionDecl, std::uint64_t(size), std::uint64_t(align), header, {}, {}, {}});

        std::vector<CXCursor> fields;
        clang_Type_visitFields(
            type,
            [](CXCursor field, CXClientData data) {
                static_cast<std::vector<CXCursor>*>(data)->push_back(field);
                return CXVisit_Continue;
            },
            &fields);
        std::size_t anonymous = 0;
        for (CXCursor f : fields) anonymous += clang_Cursor_isAnonymousRecordDecl(clang_getTypeDeclaration(clang_getCursorType(f))) != 0;

        std::size_t anonymousSeen = 0;
        for (CXCursor f : fields) {
            if (clang_isInvalidDeclaration(f)) return false;
            const CXType fieldType = clang_getCursorType(f);
            LayoutField field;
            field.name = clang::TakeText(clang_getCursorSpelling(f));
            // The record a member's type is, through its array dimensions.
            CXType element = clang_getCanonicalType(fieldType);
            std::string dimensions;
            while (element.kind == CXType_ConstantArray || element.kind == CXType_IncompleteArray) {
                dimensions += element.kind == CXType_ConstantArray ? "[" + std::to_string(clang_getArraySize(element)) + "]" : "[]";
                element = clang_getCanonicalType(clang_getArrayElementType(element));
            }
            const CXCursor declaration = clang_getTypeDeclaration(element);
            const bool anonymousMember = clang_Cursor_isAnonymousRecordDecl(declaration) != 0;
            if (anonymousMember) field.name = anonymous == 1 ? "Anonymous" : "Anonymous" + std::to_string(++anonymousSeen);
            if (field.name.empty()) continue;  // an unnamed bit-field: padding
            const long long offset = clang_Cursor_getOffsetOfField(f);
            long long fieldSize = clang_Type_getSizeOf(fieldType);
            if (fieldSize == CXTypeLayoutError_Incomplete && clang_getCanonicalType(fieldType).kind == CXType_IncompleteArray) fieldSize = 0;
            if (offset < 0 || fieldSize < 0) return false;
            if (clang_Cursor_isBitField(f)) {
                field.bitField = true;
                field.bit = static_cast<unsigned>(offset % 8);
                field.width = static_cast<unsigned>(clang_getFieldDeclBitWidth(f));
            }
            field.offset = std::uint64_t(offset / 8);
            field.size = std::uint64_t(fieldSize);
            // A member whose type has no tag and is declared in it: a record of its own.
            if (IsRecord(declaration.kind) && clang_Cursor_isAnonymous(declaration) &&
                clang_equalCursors(clang_getCursorSemanticParent(declaration), c)) {
                const std::string child =
                    "_" + field.name + "_e__" + (declaration.kind == CXCursor_UnionDecl ? "Union" : "Struct");
                field.type = child + dimensions;  // as clang spells arrays: "CHAR[260]"
                out[at].fields.push_back(std::move(field));
                if (!Layout(declaration, name + "." + child, header, out)) return false;
                continue;
            }
            field.type = TypeText(fieldType);
            out[at].fields.push_back(std::move(field));
        }
        return true;
    }

    const std::string& Relative(const std::string& path) { return relative_.Of(path); }

    RelativePaths relative_;
    const std::unordered_set<std::string>* baseKeys_;  // null while <windows.h>'s own unit is read
    std::unordered_map<std::string, std::vector<std::string>> typedefs_;  // record key -> typedef names
    std::unordered_set<std::string> keys_;
    std::vector<Candidate> candidates_;
};

constexpr unsigned kParseFlags = CXTranslationUnit_SkipFunctionBodies | CXTranslationUnit_KeepGoing;

UnitResult LayOutUnit(CXIndex index, const Context& ctx, const std::string& header) {
    UnitResult result;
    clang::Unit unit = clang::Parse(index, kMainFile, UnitIncludes(ctx.pch, {header}), WithPrecompiled(ctx.args, ctx.pch),
                                    kParseFlags, &result.error);
    if (!unit) return result;
    result.error = ErrorText(unit.get(), ctx.folders);
    result.candidates = UnitLayouts(unit.get(), ctx.folders, &ctx.baseKeys).TakeCandidates();
    return result;
}

// <windows.h>'s own unit; it leaves the precompiled header and the keys of what it defines.
bool LayOutBase(CXIndex index, Context& ctx, const std::string& pch, UnitResult& result, std::string* error) {
    clang::Unit unit = ParseBaseUnit(index, kBaseFile, ctx.args, kParseFlags, error);
    if (!unit) return false;
    result.error = ErrorText(unit.get(), ctx.folders);
    if (SavePrecompiled(unit.get(), ctx.folders, pch)) ctx.pch = pch;
    UnitLayouts layouts(unit.get(), ctx.folders, nullptr);
    result.candidates = layouts.TakeCandidates();
    ctx.baseKeys = layouts.TakeKeys();
    return true;
}

std::vector<UnitResult> LayOutUnits(const Context& ctx, const std::vector<std::string>& headers, unsigned jobs) {
    std::vector<UnitResult> results(headers.size());
    clang::InParallel(headers.size(), jobs,
                      [&](CXIndex index, std::size_t i) { results[i] = LayOutUnit(index, ctx, headers[i]); });
    return results;
}

// Each definition once, from the unit that speaks best for it, and each name once:
// a name two headers define (under guards, or in branches of their own) is taken
// from the better unit, the first in path order among equals.
void Assemble(std::vector<UnitResult>& results, const std::vector<std::string>& units, LayoutTarget& out) {
    using Rank = std::pair<int, std::size_t>;  // (UnitRank, unit)
    auto rankOf = [&](std::size_t u, const LayoutRecord& r) {
        return Rank{UnitRank({units[u], results[u].error}, u, r.header), u};
    };
    std::unordered_map<std::string, std::pair<Rank, const Candidate*>> byKey;
    for (std::size_t u = 0; u < results.size(); ++u)
        for (const Candidate& c : results[u].candidates) {
            const Rank rank = rankOf(u, c.records[0]);
            auto [it, fresh] = byKey.emplace(c.key, std::make_pair(rank, &c));
            if (!fresh && rank < it->second.first) it->second = {rank, &c};
        }
    std::map<std::string, std::pair<Rank, const Candidate*>> byName;
    for (const auto& [key, chosen] : byKey) {
        auto [it, fresh] = byName.emplace(chosen.second->records[0].name, chosen);
        if (!fresh && chosen.first < it->second.first) it->second = chosen;
    }
    for (const auto& [name, chosen] : byName)
        out.records.insert(out.records.end(), chosen.second->records.begin(), chosen.second->records.end());
    // Nested records follow their parent: '.' sorts before every character of a C name.
    std::stable_sort(out.records.begin(), out.records.end(), [](const LayoutRecord& a, const LayoutRecord& b) { return a.name < b.name; });
}

bool LayOutTarget(const HeaderFolders& in, const Folders& folders, const std::vector<std::string>& headers,
                  const LayoutOptions& options, const LayoutTargetName& target, LayoutTarget& out, std::string* error) {
    Context ctx{folders, UnitCompilerArgs(in, folders, target.target), {}, {}};
    clang::TempPch pch;
    std::vector<UnitResult> results(1);
    {
        clang::Index index = clang::NewIndex();
        if (!LayOutBase(index.get(), ctx, pch.Path(), results[0], error)) return false;
    }
    std::vector<UnitResult> others = LayOutUnits(ctx, headers, options.jobs);
    std::move(others.begin(), others.end(), std::back_inserter(results));
    std::vector<std::string> units = {kBaseHeader};
    units.insert(units.end(), headers.begin(), headers.end());
    out = LayoutTarget{target.arch, target.target, units.size(), {}, {}};
    for (std::size_t u = 0; u < units.size(); ++u)
        if (!results[u].error.empty()) out.failed.push_back({units[u], results[u].error});
    Assemble(results, units, out);
    return true;
}

}  // namespace

bool EvaluateLayouts(const HeaderFolders& in, const LayoutOptions& options, HeaderLayouts& out, std::string* error) {
    const Folders folders(in.folders);
    if (!folders.Holds(kBaseHeader)) {
        if (error) *error = "no " + std::string(kBaseHeader) + " in " + (in.folders.empty() ? std::string("(no folder)") : in.folders[0]);
        return false;
    }
    std::vector<std::string> headers;
    if (options.only.empty()) headers = folders.Headers();
    for (const std::string& h : options.only)
        if (h != kBaseHeader && folders.Holds(h)) headers.push_back(h);
    out = HeaderLayouts{};
    out.source = in.source;
    out.package = in.package;
    out.compiler = clang::TakeText(clang_getClangVersion()) + " (libclang)" +
                   (in.gnuVersion.empty() ? std::string() : ", as GCC " + in.gnuVersion);
    out.defines = in.defines;
    for (const LayoutTargetName& t : options.targets) {
        out.targets.emplace_back();
        if (!LayOutTarget(in, folders, headers, options, t, out.targets.back(), error)) return false;
    }
    return true;
}

}  // namespace tools
