#include "tools/header_walker.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/expression.h"

namespace fs = std::filesystem;

namespace constdb {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ReadFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

Token NumberToken(const char* text) {
    Token t;
    t.kind = TokenKind::Number;
    t.text = text;
    return t;
}

}  // namespace

struct HeaderWalker::FileState {
    std::string dir;   // relative to its folder, lower case
    const std::string* name = nullptr;  // the file name alone
    std::vector<Conditional> conditionals;
    bool Active() const { return conditionals.empty() || conditionals.back().active; }
};

std::vector<std::pair<std::string, std::string>> HeaderWalker::PredefinedMacros() {
    return {
        {"_WIN32", "1"}, {"WIN32", "1"}, {"__WIN32", "1"}, {"__WIN32__", "1"},
        {"WINNT", "1"}, {"_X86_", "1"}, {"__i386__", "1"}, {"__i386", "1"}, {"i386", "1"},
        {"__i686__", "1"}, {"__i686", "1"}, {"__pentiumpro__", "1"}, {"__pentiumpro", "1"},
        {"__MINGW32__", "1"}, {"__MSVCRT__", "1"}, {"__GNUC__", "12"}, {"__GNUC_MINOR__", "0"},
        {"__GNUC_PATCHLEVEL__", "0"}, {"__STDC__", "1"}, {"__STDC_VERSION__", "201710L"},
        {"__CHAR_BIT__", "8"}, {"__SIZEOF_INT__", "4"}, {"__SIZEOF_LONG__", "4"},
        {"__SIZEOF_LONG_LONG__", "8"}, {"__SIZEOF_POINTER__", "4"}, {"__SIZEOF_SHORT__", "2"},
        {"__SIZEOF_WCHAR_T__", "2"}, {"__SIZEOF_LONG_DOUBLE__", "12"},
        {"__SCHAR_MAX__", "0x7f"}, {"__SHRT_MAX__", "0x7fff"}, {"__INT_MAX__", "0x7fffffff"},
        {"__LONG_MAX__", "0x7fffffffL"}, {"__LONG_LONG_MAX__", "0x7fffffffffffffffLL"},
        {"__WCHAR_MAX__", "0xffff"}, {"__WCHAR_MIN__", "0"}, {"__SIZE_MAX__", "0xffffffffU"},
        {"__PTRDIFF_MAX__", "0x7fffffff"}, {"__INTPTR_MAX__", "0x7fffffff"}, {"__UINTPTR_MAX__", "0xffffffffU"},
        {"__SIZE_TYPE__", "unsigned int"}, {"__PTRDIFF_TYPE__", "int"}, {"__WCHAR_TYPE__", "short unsigned int"},
        {"__INTPTR_TYPE__", "int"}, {"__UINTPTR_TYPE__", "unsigned int"},
        {"__ORDER_LITTLE_ENDIAN__", "1234"}, {"__ORDER_BIG_ENDIAN__", "4321"},
        {"__BYTE_ORDER__", "__ORDER_LITTLE_ENDIAN__"}, {"_INTEGRAL_MAX_BITS", "64"},
    };
}

HeaderWalker::HeaderWalker(std::vector<std::string> folders) : folders_(std::move(folders)) {
    for (const std::string& f : folders_) IndexFolder(f);
}

void HeaderWalker::IndexFolder(const std::string& folder) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::follow_directory_symlink, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        // Any file may be #included (Wine's winuser.h includes winuser.rh); C headers are also read on their own.
        std::string key = Lower(fs::relative(it->path(), folder, ec).generic_string());
        std::string ext = Lower(it->path().extension().string());
        if (byLowerPath_.emplace(key, it->path().string()).second && (ext == ".h" || ext == ".rh"))
            allHeaders_.push_back(key);
    }
    std::sort(allHeaders_.begin(), allHeaders_.end());
}

std::string HeaderWalker::Resolve(const std::string& name, const std::string& fromDir) const {
    std::string key = Lower(fs::path(name).lexically_normal().generic_string());
    if (!fromDir.empty()) {
        auto it = byLowerPath_.find(Lower(fs::path(fromDir + "/" + name).lexically_normal().generic_string()));
        if (it != byLowerPath_.end()) return it->second;
    }
    auto it = byLowerPath_.find(key);
    return it == byLowerPath_.end() ? std::string() : it->second;
}

HeaderSet HeaderWalker::Walk() {
    for (const auto& [name, body] : PredefinedMacros()) {
        Tokens line = Tokenize(name + " " + body);
        Definition d;
        ParseDefine(line, 0, d.macro);
        d.reach = Reach::Predefined;
        out_.definitions.push_back(std::move(d));
        MakeCurrent(out_.definitions.size() - 1);
    }
    phase_ = Reach::WindowsH;
    std::string windows = Resolve("windows.h", "");
    if (!windows.empty()) WalkFile(windows);
    out_.afterWindowsH = out_.atEnd;
    phase_ = Reach::OtherHeader;
    for (const std::string& key : allHeaders_) WalkFile(byLowerPath_.at(key));
    return std::move(out_);
}

void HeaderWalker::WalkFile(const std::string& path) {
    if (!visited_.insert(path).second) return;
    std::string text;
    if (!ReadFile(path, text)) return;
    ++out_.headersRead;
    TokenStream tokens(text);
    text = std::string();

    FileState file;
    out_.fileNames.push_back(fs::path(path).filename().string());
    file.name = &out_.fileNames.back();
    for (const std::string& folder : folders_) {
        std::error_code ec;
        fs::path rel = fs::relative(fs::path(path).parent_path(), folder, ec);
        if (!ec && !rel.empty() && rel.native().compare(0, 2, "..") != 0) {
            file.dir = Lower(rel.generic_string());
            if (file.dir == ".") file.dir.clear();
            break;
        }
    }
    Reach reach = phase_;
    DeclarationScanner kept({[&](std::vector<EnumMemberSource> m) { AddEnum(std::move(m), file.name, reach); },
                             [&](Tokens t) { AddTypedef(std::move(t)); },
                             [&](const std::string& name) { out_.types.Add(name, CType::Pointer()); }});
    DeclarationScanner every({[&](std::vector<EnumMemberSource> m) { AddEnum(std::move(m), file.name, Reach::Inactive); },
                              nullptr, nullptr});
    // Only a directive's line is held; a file's tokens are never all in memory at once.
    Tokens line;
    Token t;
    for (bool more = tokens.Next(t); more;) {
        if (t.atLineStart && t.Is("#")) {
            line.clear();
            while ((more = tokens.Next(t)) && !t.atLineStart) line.push_back(std::move(t));
            Directive(line, 0, line.size(), file);
            continue;
        }
        if (file.Active()) kept.Feed(t);
        every.Feed(t);
        more = tokens.Next(t);
    }
}

void HeaderWalker::Directive(const Tokens& t, std::size_t b, std::size_t e, FileState& file) {
    if (b >= e || !t[b].IsIdentifier()) return;
    const std::string& d = t[b].text;
    auto& conds = file.conditionals;
    bool active = file.Active();
    if (d == "if" || d == "ifdef" || d == "ifndef") {
        bool v = false;
        if (active && d == "if") v = Condition(t, b + 1, e);
        else if (active && b + 1 < e) v = IsDefined(t[b + 1].text) == (d == "ifdef");
        conds.push_back({active, v, v || !active});
    } else if (d == "elif") {
        if (conds.empty()) return;
        Conditional& c = conds.back();
        c.active = c.parentActive && !c.taken && Condition(t, b + 1, e);
        c.taken = c.taken || c.active;
    } else if (d == "else") {
        if (conds.empty()) return;
        Conditional& c = conds.back();
        c.active = c.parentActive && !c.taken;
        c.taken = true;
    } else if (d == "endif") {
        if (!conds.empty()) conds.pop_back();
    } else if (d == "define") {
        Define(t, b + 1, e, active, file.name);
    } else if (!active) {
        return;
    } else if (d == "undef") {
        if (b + 1 < e) out_.atEnd.erase(t[b + 1].text);
    } else if (d == "include" || d == "include_next") {
        Include(t, b + 1, e, file);
    } else if (d == "pragma") {
        Pragma(t, b + 1, e);
    }
}

void HeaderWalker::Define(const Tokens& t, std::size_t b, std::size_t e, bool active, const std::string* file) {
    Definition d;
    if (!ParseDefine(Tokens(t.begin() + b, t.begin() + e), 0, d.macro)) return;
    d.file = file;
    d.reach = active ? phase_ : Reach::Inactive;
    out_.definitions.push_back(std::move(d));
    if (active) MakeCurrent(out_.definitions.size() - 1);
}

// The key views the definition's own name: definitions stay where they are.
void HeaderWalker::MakeCurrent(std::size_t definition) {
    std::string_view name = out_.definitions[definition].macro.name;
    out_.atEnd.erase(name);
    out_.atEnd.emplace(name, definition);
}

void HeaderWalker::Include(const Tokens& t, std::size_t b, std::size_t e, const FileState& file) {
    if (b >= e) return;
    std::string name;
    bool quoted = t[b].kind == TokenKind::StringLiteral;
    if (quoted && t[b].text.size() >= 2) {
        name = t[b].text.substr(1, t[b].text.size() - 2);
    } else if (t[b].Is("<")) {
        for (std::size_t i = b + 1; i < e && !t[i].Is(">"); ++i) name += t[i].text;
    } else {
        return;  // computed includes are left out
    }
    std::string path = Resolve(name, quoted ? file.dir : std::string());
    if (!path.empty()) WalkFile(path);
}

void HeaderWalker::Pragma(const Tokens& t, std::size_t b, std::size_t e) {
    if (b + 3 >= e || t[b + 2].kind != TokenKind::StringLiteral) return;
    const std::string& quoted = t[b + 2].text;
    std::string name = quoted.substr(1, quoted.size() - 2);
    if (t[b].Is("push_macro")) {
        auto it = out_.atEnd.find(name);
        pushedMacros_[name].push_back(it == out_.atEnd.end() ? -1 : static_cast<std::ptrdiff_t>(it->second));
    } else if (t[b].Is("pop_macro")) {
        auto& stack = pushedMacros_[name];
        if (stack.empty()) return;
        if (stack.back() < 0) out_.atEnd.erase(name);
        else MakeCurrent(static_cast<std::size_t>(stack.back()));
        stack.pop_back();
    }
}

const Macro* HeaderWalker::Lookup(const std::string& name) const {
    auto it = out_.atEnd.find(name);
    return it == out_.atEnd.end() ? nullptr : &out_.definitions[it->second].macro;
}

bool HeaderWalker::ExpandWithCurrentMacros(const Tokens& in, Tokens& out) const {
    MacroExpander expander([this](const std::string& n) { return Lookup(n); });
    return expander.Expand(in, out, nullptr);
}

Tokens HeaderWalker::ReplaceDefined(const Tokens& t, std::size_t b, std::size_t e) const {
    Tokens out;
    for (std::size_t i = b; i < e; ++i) {
        if (!t[i].Is("defined")) {
            out.push_back(t[i]);
            continue;
        }
        bool paren = i + 1 < e && t[i + 1].Is("(");
        std::size_t at = i + (paren ? 2 : 1);
        if (at >= e) break;
        out.push_back(NumberToken(IsDefined(t[at].text) ? "1" : "0"));
        i = at + (paren ? 1 : 0);
    }
    return out;
}

bool HeaderWalker::Condition(const Tokens& t, std::size_t b, std::size_t e) {
    Tokens expanded;
    if (!ExpandWithCurrentMacros(ReplaceDefined(t, b, e), expanded)) {
        ++out_.conditionsUnevaluated;
        return false;
    }
    expanded = ReplaceDefined(expanded, 0, expanded.size());  // `defined` produced by a macro
    EvalEnv env;
    env.preprocessor = true;
    EvalResult r = Evaluate(expanded, env);
    if (!r.ok) {
        ++out_.conditionsUnevaluated;
        return false;
    }
    return !r.value.IsZero();
}

void HeaderWalker::AddEnum(std::vector<EnumMemberSource> members, const std::string* file, Reach reach) {
    for (EnumMemberSource& m : members) out_.enumMembers.push_back({std::move(m), file, reach});
}

void HeaderWalker::AddTypedef(Tokens raw) {
    Tokens t;
    if (!ExpandWithCurrentMacros(raw, t) || t.empty()) return;
    // A pointer to function: ... (* NAME)(...).
    for (std::size_t i = 0; i + 3 < t.size(); ++i) {
        if (t[i].Is("*") && t[i + 1].IsIdentifier() && t[i + 2].Is(")") && t[i + 3].Is("(")) {
            out_.types.Add(t[i + 1].text, CType::Pointer());
            return;
        }
    }
    std::optional<CType> base;
    std::size_t declarators = 0;
    auto brace = std::find_if(t.begin(), t.end(), [](const Token& x) { return x.Is("{"); });
    if (brace != t.end()) {
        bool isEnum = std::any_of(t.begin(), brace, [](const Token& x) { return x.Is("enum"); });
        base = isEnum ? CType::Integer(IntType::Int()) : CType::Of(CType::Kind::Record);
        int depth = 0;
        for (auto it = brace; it != t.end(); ++it) {
            if (it->Is("{")) ++depth;
            if (it->Is("}") && --depth == 0) { declarators = static_cast<std::size_t>(it - t.begin()) + 1; break; }
        }
        if (declarators == 0) return;
    } else {
        // The first declarator starts at its first '*', or else is its last identifier.
        std::size_t comma = std::find_if(t.begin(), t.end(), [](const Token& x) { return x.Is(","); }) - t.begin();
        std::size_t star = std::find_if(t.begin(), t.begin() + comma, [](const Token& x) { return x.Is("*"); }) - t.begin();
        declarators = star < comma ? star : comma - 1;
        if (declarators == 0 || declarators > comma) return;
        base = out_.types.ParseTypeName(t, 0, declarators);
    }
    if (!base) return;
    std::size_t i = declarators;
    while (i < t.size()) {
        std::size_t end = i;
        int pointers = 0;
        bool plain = true;
        const Token* name = nullptr;
        for (; end < t.size() && !t[end].Is(","); ++end) {
            if (t[end].Is("*")) ++pointers;
            else if (t[end].IsIdentifier()) name = &t[end];
            else plain = false;  // arrays, function types
        }
        if (plain && name) out_.types.Add(name->text, pointers ? CType::Pointer() : *base);
        i = end + 1;
    }
}

}  // namespace constdb
