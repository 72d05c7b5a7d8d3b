#include "tools/literal_notation.h"

#include <algorithm>
#include <cctype>

#include "tools/value_text.h"

namespace constdb {
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

// A function-like macro's body with its parameters replaced, and ## joining its neighbours.
SourceTokens Substitute(const MacroTokens& m, const std::vector<SourceTokens>& args) {
    SourceTokens out;
    bool paste = false;
    for (const SourceToken& t : m.body) {
        if (t.text == "##") {
            paste = true;
            continue;
        }
        auto param = std::find(m.params.begin(), m.params.end(), t.text);
        SourceTokens piece = t.kind == SourceToken::Kind::Identifier && param != m.params.end()
                                 ? args[static_cast<std::size_t>(param - m.params.begin())]
                                 : SourceTokens{t};
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
    n.anyHex = !n.hexLiteral.empty() || AnyHex(tokens, nullptr, 0);
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
    std::string found = args.size() == m->params.size() ? SingleHexLiteral(Substitute(*m, args), depth + 1) : std::string();
    busy_.erase(call[0].text);
    return found;
}

// The macro of that kind a name is, marked as being looked into; null when it is none or already is.
const MacroTokens* NotationFinder::Enter(const std::string& name, bool functionLike) {
    if (busy_.count(name)) return nullptr;
    const MacroTokens* m = lookup_(name);
    if (!m || m->functionLike != functionLike) return nullptr;
    busy_[name] = true;
    return m;
}

bool NotationFinder::AnyHex(const SourceTokens& tokens, const std::vector<std::string>* params, int depth) {
    for (const SourceToken& t : tokens) {
        if (IsHexLiteral(t)) return true;
        if (t.kind != SourceToken::Kind::Identifier) continue;
        if (params && std::find(params->begin(), params->end(), t.text) != params->end()) continue;
        if (MacroAnyHex(t.text, depth + 1)) return true;
    }
    return false;
}

bool NotationFinder::MacroAnyHex(const std::string& name, int depth) {
    auto known = anyHex_.find(name);
    if (known != anyHex_.end()) return known->second;
    if (depth > kMaxDepth || busy_.count(name)) return false;  // a macro does not expand inside itself
    const MacroTokens* m = lookup_(name);
    if (!m) return false;
    busy_[name] = true;
    const bool hex = AnyHex(m->body, &m->params, depth);
    busy_.erase(name);
    anyHex_[name] = hex;
    return hex;
}

std::string NotationText(const IntValue& value, const Notation& notation) {
    if (!notation.hexLiteral.empty() && LiteralIsValue(notation.hexLiteral, value)) return notation.hexLiteral;
    return FormatValueText(value, notation.anyHex);
}

}  // namespace constdb
