#include "tools/literal_notation.h"

#include <algorithm>
#include <cctype>

#include "tools/value_text.h"

namespace tools {
namespace {

constexpr int kMaxDepth = 64;  // macros naming macros; the headers go a dozen deep

bool IsHexLiteral(const SourceToken& t) {
    const std::string& s = t.text;
    return t.kind == SourceToken::Kind::Literal && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') &&
           std::isxdigit(static_cast<unsigned char>(s[2]));
}

bool IsParen(const SourceToken& t) {
    return t.kind == SourceToken::Kind::Punctuation && (t.text == "(" || t.text == ")");
}

// The one token that is not a parenthesis, or null.
const SourceToken* OnlyToken(const SourceTokens& tokens) {
    const SourceToken* only = nullptr;
    for (const SourceToken& t : tokens) {
        if (IsParen(t)) continue;
        if (only) return nullptr;
        only = &t;
    }
    return only;
}

// "0x" and the digits, without a suffix: "0X1fL" is "0x1f".
std::string HexDigitsAsWritten(const std::string& literal) {
    std::size_t end = 2;
    while (end < literal.size() && std::isxdigit(static_cast<unsigned char>(literal[end]))) ++end;
    return "0x" + literal.substr(2, end - 2);
}

// Without the parentheses that enclose all of the tokens.
SourceTokens Unparenthesised(const SourceTokens& tokens) {
    std::size_t begin = 0, end = tokens.size();
    while (end - begin >= 2 && tokens[begin].text == "(" && tokens[end - 1].text == ")") {
        int depth = 0;
        std::size_t i = begin;
        for (; i < end; ++i) {
            depth += tokens[i].text == "(" ? 1 : tokens[i].text == ")" ? -1 : 0;
            if (depth == 0) break;
        }
        if (i != end - 1) break;  // "(a) | (b)": the first parenthesis closes early
        ++begin;
        --end;
    }
    return SourceTokens(tokens.begin() + static_cast<std::ptrdiff_t>(begin), tokens.begin() + static_cast<std::ptrdiff_t>(end));
}

// The arguments of NAME ( ... ) when the call is all the tokens.
bool SplitArguments(const SourceTokens& call, std::vector<SourceTokens>& args) {
    args.assign(1, {});
    int depth = 0;
    for (std::size_t i = 2; i < call.size(); ++i) {
        const std::string& t = call[i].text;
        if (t == ")" && depth == 0) {
            if (args.size() == 1 && args[0].empty()) args.clear();  // NAME()
            return i + 1 == call.size();
        }
        if (t == "," && depth == 0) {
            args.emplace_back();
            continue;
        }
        depth += t == "(" ? 1 : t == ")" ? -1 : 0;
        args.back().push_back(call[i]);
    }
    return false;
}

// A function-like macro's body with its parameters replaced: by the argument as
// written next to ##, else by the argument expanded; ## joins its neighbours.
SourceTokens Substitute(const MacroTokens& m, const std::vector<SourceTokens>& args, const std::vector<SourceTokens>& expanded) {
    SourceTokens out;
    bool paste = false;
    for (std::size_t i = 0; i < m.body.size(); ++i) {
        const SourceToken& t = m.body[i];
        if (t.text == "##") {
            paste = true;
            continue;
        }
        auto param = std::find(m.params.begin(), m.params.end(), t.text);
        const bool pasted = paste || (i + 1 < m.body.size() && m.body[i + 1].text == "##");
        SourceTokens piece{t};
        if (t.kind == SourceToken::Kind::Identifier && param != m.params.end()) {
            const auto p = static_cast<std::size_t>(param - m.params.begin());
            piece = pasted ? args[p] : expanded[p];
        }
        auto next = piece.begin();
        if (paste && !out.empty() && next != piece.end()) out.back().text += (next++)->text;
        out.insert(out.end(), next, piece.end());
        paste = false;
    }
    return out;
}

bool LiteralIsValue(const std::string& hex, const IntValue& value) {
    if (hex.size() > 18) return false;  // more than 16 digits
    const std::uint64_t literal = std::stoull(hex.substr(2), nullptr, 16);
    return literal == value.Raw() || (value.Type().bits == 32 && literal == (value.Raw() & 0xFFFFFFFFu));
}

}  // namespace

bool MayBeExpression(const SourceTokens& body) {
    int depth = 0;
    for (const SourceToken& t : body) {
        if (t.kind != SourceToken::Kind::Punctuation) continue;
        if (t.text == "{" || t.text == "}" || t.text == ";" || t.text == "#") return false;
        depth += t.text == "(" ? 1 : t.text == ")" ? -1 : 0;
        if (depth < 0) return false;
    }
    return !body.empty() && depth == 0;
}

MacroTokens MacroFromDefinition(const SourceTokens& definition, bool functionLike) {
    MacroTokens m;
    m.functionLike = functionLike;
    std::size_t at = 1;  // after the name
    if (functionLike) {
        for (++at; at < definition.size() && definition[at].text != ")"; ++at)
            if (definition[at].kind == SourceToken::Kind::Identifier) m.params.push_back(definition[at].text);
        ++at;
    }
    if (at < definition.size()) m.body.assign(definition.begin() + static_cast<std::ptrdiff_t>(at), definition.end());
    return m;
}

Notation NotationFinder::Of(const SourceTokens& tokens) {
    Notation n;
    n.hexLiteral = SingleHexLiteral(tokens, 0);
    n.anyHex = !n.hexLiteral.empty() || AnyHex(tokens, 0);
    return n;
}

// One hexadecimal literal, parentheses aside; or a macro, or a call of one, that expands to one.
std::string NotationFinder::SingleHexLiteral(const SourceTokens& tokens, int depth) {
    if (depth > kMaxDepth) return {};
    const SourceToken* only = OnlyToken(tokens);
    if (only && IsHexLiteral(*only)) return HexDigitsAsWritten(only->text);
    if (only && only->kind == SourceToken::Kind::Identifier) {
        const MacroTokens* m = Enter(only->text, false);
        if (!m) return {};
        std::string found = SingleHexLiteral(m->body, depth + 1);
        busy_.erase(only->text);
        return found;
    }
    SourceTokens call(Unparenthesised(tokens));
    std::vector<SourceTokens> args;
    if (call.size() < 3 || call[0].kind != SourceToken::Kind::Identifier || call[1].text != "(" || !SplitArguments(call, args))
        return {};
    const MacroTokens* m = Enter(call[0].text, true);
    if (!m) return {};
    std::string found = args.size() == m->params.size() ? SingleHexLiteral(Expand(*m, args), depth + 1) : std::string();
    busy_.erase(call[0].text);
    return found;
}

// A call's expansion, its arguments expanded first as far as they are object-like
// macros standing alone (_WIN32_WINNT before NTDDI_VERSION_FROM_WIN32_WINNT2 pastes it).
SourceTokens NotationFinder::Expand(const MacroTokens& m, const std::vector<SourceTokens>& args) {
    std::vector<SourceTokens> expanded = args;
    for (SourceTokens& a : expanded)
        for (int depth = 0; depth < kMaxDepth && a.size() == 1 && a[0].kind == SourceToken::Kind::Identifier; ++depth) {
            const MacroTokens* inner = busy_.count(a[0].text) ? nullptr : lookup_(a[0].text);
            if (!inner || inner->functionLike || inner->body.empty() || (inner->body.size() == 1 && inner->body[0].text == a[0].text)) break;
            a = inner->body;
        }
    return Substitute(m, args, expanded);
}

// The macro of that kind a name is, marked as being looked into; null when it is none or already is.
const MacroTokens* NotationFinder::Enter(const std::string& name, bool functionLike) {
    if (busy_.count(name)) return nullptr;
    const MacroTokens* m = lookup_(name);
    if (!m || m->functionLike != functionLike) return nullptr;
    busy_[name] = true;
    return m;
}

bool NotationFinder::AnyHex(const SourceTokens& tokens, int depth) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const SourceToken& t = tokens[i];
        if (IsHexLiteral(t)) return true;
        if (t.kind != SourceToken::Kind::Identifier) continue;
        if (i + 1 < tokens.size() && tokens[i + 1].text == "(" && CallAnyHex(tokens, i, depth)) return true;
        if (MacroAnyHex(t.text, depth + 1)) return true;
    }
    return false;
}

// A call of a function-like macro at tokens[at]: what its body makes of the
// arguments (pasting LVM_INSERTITEM and A, for one). The arguments themselves are
// looked at where they stand.
bool NotationFinder::CallAnyHex(const SourceTokens& tokens, std::size_t at, int depth) {
    std::size_t end = at + 2;
    for (int open = 1; end < tokens.size() && open > 0; ++end) open += tokens[end].text == "(" ? 1 : tokens[end].text == ")" ? -1 : 0;
    std::vector<SourceTokens> args;
    if (depth > kMaxDepth || !SplitArguments(SourceTokens(tokens.begin() + static_cast<std::ptrdiff_t>(at), tokens.begin() + static_cast<std::ptrdiff_t>(end)), args))
        return false;
    const MacroTokens* m = Enter(tokens[at].text, true);
    if (!m) return false;
    const bool hex = args.size() == m->params.size() && AnyHex(Expand(*m, args), depth + 1);
    busy_.erase(tokens[at].text);
    return hex;
}

// An object-like macro's body; a function-like macro's name expands only when called.
bool NotationFinder::MacroAnyHex(const std::string& name, int depth) {
    auto known = anyHex_.find(name);
    if (known != anyHex_.end()) return known->second;
    const MacroTokens* m = depth > kMaxDepth ? nullptr : Enter(name, false);  // a macro does not expand inside itself
    if (!m) return false;
    const bool hex = AnyHex(m->body, depth);
    busy_.erase(name);
    anyHex_[name] = hex;
    return hex;
}

std::string NotationText(const IntValue& value, const Notation& notation) {
    if (!notation.hexLiteral.empty() && LiteralIsValue(notation.hexLiteral, value)) return notation.hexLiteral;
    return FormatValueText(value, notation.anyHex);
}

}  // namespace tools
