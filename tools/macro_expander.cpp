#include "tools/macro_expander.h"

#include <algorithm>

namespace constdb {
namespace {

Token Placemarker() {
    Token t;
    t.kind = TokenKind::Other;
    return t;  // empty text: stands for an empty argument next to ##
}
bool IsPlacemarker(const Token& t) { return t.kind == TokenKind::Other && t.text.empty(); }

Token Stringize(const Tokens& arg) {
    std::string s = "\"";
    for (char c : JoinTokens(arg)) {
        if (c == '"' || c == '\\') s += '\\';
        s += c;
    }
    s += '"';
    Token t;
    t.kind = TokenKind::StringLiteral;
    t.text = std::move(s);
    return t;
}

Tokens Paste(const Token& lhs, const Token& rhs) {
    if (IsPlacemarker(lhs)) return {rhs};
    if (IsPlacemarker(rhs)) return {lhs};
    Tokens joined = Tokenize(lhs.text + rhs.text);
    if (joined.size() != 1) return {lhs, rhs};  // not one token: keep both, as GCC does after its error
    joined[0].spaceBefore = lhs.spaceBefore;
    joined[0].atLineStart = false;
    joined[0].hideSet = lhs.hideSet;
    return joined;
}

}  // namespace

bool ParseDefine(const Tokens& line, std::size_t i, Macro& out) {
    if (i >= line.size() || !line[i].IsIdentifier()) return false;
    out = Macro{};
    out.name = line[i++].text;
    if (i < line.size() && line[i].Is("(") && !line[i].spaceBefore) {
        out.functionLike = true;
        ++i;
        while (i < line.size() && !line[i].Is(")")) {
            if (line[i].Is(",")) { ++i; continue; }
            if (line[i].Is("...")) {
                out.variadic = true;
                out.params.push_back("__VA_ARGS__");
            } else if (line[i].IsIdentifier()) {
                out.params.push_back(line[i].text);
                if (i + 1 < line.size() && line[i + 1].Is("...")) { out.variadic = true; ++i; }
            } else {
                return false;
            }
            ++i;
        }
        if (i >= line.size()) return false;
        ++i;
    }
    Tokens body(line.begin() + i, line.end());
    for (Token& t : body) t.atLineStart = false;
    if (!body.empty()) body.front().spaceBefore = false;
    out.body = PackedTokens(body.begin(), body.end());
    return true;
}

bool MacroExpander::Expand(const Tokens& in, Tokens& out, std::string* error) {
    sets_.assign(1, HideSet{});
    unions_.clear();
    depth_ = 0;
    error_.clear();
    out.clear();
    bool ok = ExpandList(Tokens(in.rbegin(), in.rend()), out);
    if (!ok && error) *error = error_;
    return ok;
}

// `pending` holds the tokens still to scan, the next one last.
bool MacroExpander::ExpandList(Tokens pending, Tokens& out) {
    while (!pending.empty()) {
        Token t = std::move(pending.back());
        pending.pop_back();
        const Macro* m = t.IsIdentifier() ? lookup_(t.text) : nullptr;
        if (!m || Hidden(t.hideSet, m) || (m->functionLike && (pending.empty() || !pending.back().Is("(")))) {
            out.push_back(std::move(t));
            continue;
        }
        std::vector<Tokens> args;
        std::uint32_t hs;
        if (m->functionLike) {
            Token rparen;
            if (!CollectArguments(pending, *m, args, rparen)) return false;
            hs = With(Intersect(t.hideSet, rparen.hideSet), m);
        } else {
            hs = With(t.hideSet, m);
        }
        Tokens body;
        if (!Substitute(*m, args, hs, body)) return false;
        if (!body.empty()) body.front().spaceBefore = t.spaceBefore;
        if (pending.size() + body.size() + out.size() > tokenLimit_) return Fail("expansion too large");
        pending.insert(pending.end(), body.rbegin(), body.rend());
    }
    return true;
}

bool MacroExpander::CollectArguments(Tokens& pending, const Macro& m, std::vector<Tokens>& args, Token& rparen) {
    pending.pop_back();  // "("
    args.assign(1, Tokens{});
    int depth = 0;
    while (!pending.empty()) {
        Token t = std::move(pending.back());
        pending.pop_back();
        if (depth == 0 && t.Is(")")) {
            rparen = std::move(t);
            if (args.size() == 1 && args[0].empty() && m.params.empty()) args.clear();
            if (m.variadic && args.size() + 1 == m.params.size()) args.emplace_back();
            if (args.size() != m.params.size()) return Fail("wrong number of macro arguments");
            return true;
        }
        if (depth == 0 && t.Is(",") && !(m.variadic && args.size() == m.params.size())) {
            args.emplace_back();
            continue;
        }
        if (t.Is("(")) ++depth;
        if (t.Is(")")) --depth;
        args.back().push_back(std::move(t));
    }
    return Fail("unterminated macro call");
}

int MacroExpander::ParamIndex(const Macro& m, const Token& t) const {
    if (!t.IsIdentifier()) return -1;
    for (std::size_t i = 0; i < m.params.size(); ++i)
        if (m.params[i] == t.text) return static_cast<int>(i);
    return -1;
}

bool MacroExpander::Substitute(const Macro& m, const std::vector<Tokens>& args, std::uint32_t hs, Tokens& result) {
    Tokens body = m.body.Unpack();
    for (std::size_t i = 0; i < body.size(); ++i) {
        Token& t = body[i];
        if (m.functionLike && t.Is("#") && i + 1 < body.size() && ParamIndex(m, body[i + 1]) >= 0) {
            result.push_back(Stringize(args[ParamIndex(m, body[++i])]));
            continue;
        }
        if (t.Is("##") && i + 1 < body.size() && !result.empty()) {
            const Token& next = body[++i];
            int p = ParamIndex(m, next);
            Tokens rhs = p >= 0 ? args[p] : Tokens{next};
            if (rhs.empty()) rhs.push_back(Placemarker());
            Token lhs = std::move(result.back());
            result.pop_back();
            Tokens pasted = Paste(lhs, rhs.front());
            result.insert(result.end(), pasted.begin(), pasted.end());
            result.insert(result.end(), rhs.begin() + 1, rhs.end());
            continue;
        }
        int p = ParamIndex(m, t);
        if (p < 0) {
            result.push_back(std::move(t));
            continue;
        }
        bool beforePaste = i + 1 < body.size() && body[i + 1].Is("##");
        Tokens arg;
        if (beforePaste) {
            arg = args[p];
            if (arg.empty()) arg.push_back(Placemarker());
        } else {
            if (++depth_ > kMaxDepth) return Fail("macro arguments nested too deep");
            bool ok = ExpandList(Tokens(args[p].rbegin(), args[p].rend()), arg);
            --depth_;
            if (!ok) return false;
        }
        if (!arg.empty()) arg.front().spaceBefore = t.spaceBefore;
        result.insert(result.end(), arg.begin(), arg.end());
    }
    result.erase(std::remove_if(result.begin(), result.end(), IsPlacemarker), result.end());
    for (Token& t : result) t.hideSet = Union(t.hideSet, hs);
    return true;
}

bool MacroExpander::Hidden(std::uint32_t hs, const Macro* m) const {
    const HideSet& s = sets_[hs];
    return std::binary_search(s.begin(), s.end(), m);
}

std::uint32_t MacroExpander::Intern(HideSet set) {
    sets_.push_back(std::move(set));
    return static_cast<std::uint32_t>(sets_.size() - 1);
}

std::uint32_t MacroExpander::Union(std::uint32_t a, std::uint32_t b) {
    if (a == b || b == 0) return a;
    if (a == 0) return b;
    auto known = unions_.find({a, b});
    if (known != unions_.end()) return known->second;
    HideSet u;
    std::set_union(sets_[a].begin(), sets_[a].end(), sets_[b].begin(), sets_[b].end(), std::back_inserter(u));
    return unions_[{a, b}] = Intern(std::move(u));
}

std::uint32_t MacroExpander::With(std::uint32_t a, const Macro* m) {
    HideSet s = sets_[a];
    s.insert(std::upper_bound(s.begin(), s.end(), m), m);
    return Intern(std::move(s));
}

std::uint32_t MacroExpander::Intersect(std::uint32_t a, std::uint32_t b) {
    if (a == b) return a;
    HideSet s;
    std::set_intersection(sets_[a].begin(), sets_[a].end(), sets_[b].begin(), sets_[b].end(), std::back_inserter(s));
    return s.empty() ? 0 : Intern(std::move(s));
}

}  // namespace constdb
