#include "tools/clang_unit.h"

#include <filesystem>
#include <random>

namespace tools::clang {

TempPch::TempPch() {
    std::random_device rd;
    path_ = (std::filesystem::temp_directory_path() / ("qalomir-windows-" + std::to_string(rd()) + std::to_string(rd()) + ".pch")).string();
}

TempPch::~TempPch() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

std::string TakeText(CXString text) {
    const char* chars = clang_getCString(text);
    std::string s = chars ? chars : "";
    clang_disposeString(text);
    return s;
}

Index NewIndex() {
    return Index(clang_createIndex(/*excludeDeclarationsFromPCH=*/0, /*displayDiagnostics=*/0));
}

Unit Parse(CXIndex index, const std::string& name, const std::string& source, const std::vector<std::string>& args,
           unsigned flags, std::string* error) {
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    CXUnsavedFile main{name.c_str(), source.c_str(), static_cast<unsigned long>(source.size())};
    CXTranslationUnit unit = nullptr;
    const CXErrorCode code = clang_parseTranslationUnit2(index, name.c_str(), argv.data(), static_cast<int>(argv.size()),
                                                         &main, 1, flags, &unit);
    if (code != CXError_Success && error) *error = "libclang could not parse (error " + std::to_string(int(code)) + ")";
    return Unit(code == CXError_Success ? unit : nullptr);
}

namespace {

// Calls visit(file, line, diagnostic) for each error, where its macro was
// expanded, until visit returns false.
template <typename Visit>
void VisitErrors(CXTranslationUnit unit, Visit visit) {
    const unsigned count = clang_getNumDiagnostics(unit);
    for (unsigned i = 0; i < count; ++i) {
        std::unique_ptr<void, void (*)(CXDiagnostic)> d(clang_getDiagnostic(unit, i), clang_disposeDiagnostic);
        if (clang_getDiagnosticSeverity(d.get()) < CXDiagnostic_Error) continue;
        CXFile file = nullptr;
        unsigned line = 0;
        clang_getExpansionLocation(clang_getDiagnosticLocation(d.get()), &file, &line, nullptr, nullptr);
        if (!visit(file ? TakeText(clang_getFileName(file)) : std::string(), line, d.get())) return;
    }
}

}  // namespace

bool FirstError(CXTranslationUnit unit, Diagnostic& out) {
    bool found = false;
    VisitErrors(unit, [&](const std::string& file, unsigned line, CXDiagnostic d) {
        out = {file, line, TakeText(clang_getDiagnosticSpelling(d))};
        found = true;
        return false;
    });
    return found;
}

std::set<unsigned> MainFileErrorLines(CXTranslationUnit unit) {
    const std::string main = TakeText(clang_getTranslationUnitSpelling(unit));
    std::set<unsigned> lines;
    VisitErrors(unit, [&](const std::string& file, unsigned line, CXDiagnostic) {
        if (file == main) lines.insert(line);
        return true;
    });
    return lines;
}

void UndeclaredNames(CXTranslationUnit unit, std::set<std::string>& out) {
    static const std::string kUndeclared = "use of undeclared identifier '";
    const std::string main = TakeText(clang_getTranslationUnitSpelling(unit));
    const unsigned count = clang_getNumDiagnostics(unit);
    for (unsigned i = 0; i < count; ++i) {
        std::unique_ptr<void, void (*)(CXDiagnostic)> d(clang_getDiagnostic(unit, i), clang_disposeDiagnostic);
        CXFile file = nullptr;  // where the macro was used: a macro's own location is in its header
        clang_getExpansionLocation(clang_getDiagnosticLocation(d.get()), &file, nullptr, nullptr, nullptr);
        if (!file || TakeText(clang_getFileName(file)) != main) continue;
        const std::string text = TakeText(clang_getDiagnosticSpelling(d.get()));
        if (text.compare(0, kUndeclared.size(), kUndeclared) != 0) continue;
        const std::size_t end = text.find('\'', kUndeclared.size());
        if (end != std::string::npos) out.insert(text.substr(kUndeclared.size(), end - kUndeclared.size()));
    }
}

Place PlaceOf(CXCursor cursor) {
    CXFile file = nullptr;
    Place p;
    clang_getExpansionLocation(clang_getCursorLocation(cursor), &file, nullptr, nullptr, &p.offset);
    if (file) p.file = TakeText(clang_getFileName(file));
    return p;
}

unsigned LineOf(CXCursor cursor) {
    unsigned line = 0;
    clang_getExpansionLocation(clang_getCursorLocation(cursor), nullptr, &line, nullptr, nullptr);
    return line;
}

SourceTokens TokensIn(CXTranslationUnit unit, CXSourceRange range) {
    CXToken* tokens = nullptr;
    unsigned count = 0;
    clang_tokenize(unit, range, &tokens, &count);
    SourceTokens out(count);
    for (unsigned i = 0; i < count; ++i) {
        switch (clang_getTokenKind(tokens[i])) {
        case CXToken_Punctuation: out[i].kind = SourceToken::Kind::Punctuation; break;
        case CXToken_Identifier:
        case CXToken_Keyword: out[i].kind = SourceToken::Kind::Identifier; break;
        case CXToken_Literal: out[i].kind = SourceToken::Kind::Literal; break;
        default: out[i].kind = SourceToken::Kind::Other; break;
        }
        out[i].text = TakeText(clang_getTokenSpelling(unit, tokens[i]));
    }
    if (tokens) clang_disposeTokens(unit, tokens, count);
    return out;
}

}  // namespace tools::clang
