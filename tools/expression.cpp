#include "tools/expression.h"

#include <cctype>
#include <climits>

namespace constdb {
namespace {

struct LiteralForm {
    bool isUnsigned = false;
    int longs = 0;       // 0, 1 (l) or 2 (ll)
    int fixedBits = 0;   // MSVC i8..i64
};

bool ParseSuffix(std::string s, LiteralForm& f) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (s.empty()) return true;
    if (s[0] == 'u') { f.isUnsigned = true; s.erase(0, 1); }
    if (s == "i8" || s == "i16" || s == "i32" || s == "i64") { f.fixedBits = std::stoi(s.substr(1)); return true; }
    if (s.size() && s.back() == 'u' && !f.isUnsigned) { f.isUnsigned = true; s.pop_back(); }
    if (s.empty()) return true;
    if (s == "l") { f.longs = 1; return true; }
    if (s == "ll") { f.longs = 2; return true; }
    return false;
}

// C99 literal typing with 32-bit long: the first type of the list that holds the value.
IntType LiteralType(std::uint64_t v, bool decimal, const LiteralForm& f) {
    if (f.fixedBits == 64) return f.isUnsigned ? IntType::ULongLong() : IntType::LongLong();
    bool fitsInt = v <= INT32_MAX, fitsUInt = v <= UINT32_MAX, fitsLL = v <= INT64_MAX;
    if (f.longs < 2) {
        if (f.isUnsigned) return fitsUInt ? IntType::UInt() : IntType::ULongLong();
        if (fitsInt) return IntType::Int();
        if (!decimal && fitsUInt) return IntType::UInt();
    }
    if (f.isUnsigned) return IntType::ULongLong();
    return fitsLL ? IntType::LongLong() : IntType::ULongLong();
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

std::uint32_t ReadEscape(const std::string& s, std::size_t& i) {
    char c = s[i++];
    switch (c) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'v': return '\v';
    case 'x': {
        std::uint32_t v = 0;
        while (i < s.size() && DigitValue(s[i]) < 16) v = v * 16 + DigitValue(s[i++]);
        return v;
    }
    default:
        if (c >= '0' && c <= '7') {
            std::uint32_t v = c - '0';
            for (int n = 0; n < 2 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++n) v = v * 8 + (s[i++] - '0');
            return v;
        }
        return static_cast<unsigned char>(c);
    }
}

}  // namespace

std::optional<IntValue> ParseIntegerLiteral(const std::string& text, bool* isHex) {
    std::size_t i = 0;
    unsigned base = 10;
    if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) base = 16, i = 2;
    else if (text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) base = 2, i = 2;
    else if (text.size() > 1 && text[0] == '0') base = 8, i = 1;
    std::size_t digitsStart = i;
    std::uint64_t v = 0;
    for (; i < text.size(); ++i) {
        unsigned d = static_cast<unsigned>(DigitValue(text[i]));
        if (d >= base) break;
        if (v > (UINT64_MAX - d) / base) return std::nullopt;
        v = v * base + d;
    }
    if (base != 8 && i == digitsStart) return std::nullopt;
    LiteralForm form;
    if (!ParseSuffix(text.substr(i), form)) return std::nullopt;
    if (isHex) *isHex = base == 16;
    return IntValue::Of(v, LiteralType(v, base == 10, form));
}

std::optional<IntValue> ParseCharLiteral(const std::string& text) {
    std::size_t q = text.find('\'');
    if (q == std::string::npos || text.size() < q + 3 || text.back() != '\'') return std::nullopt;
    bool wide = q > 0;  // L'x', u'x', U'x': the character's code, never negative
    std::string body = text.substr(q + 1, text.size() - q - 2);
    std::uint32_t v = 0;
    int chars = 0;
    for (std::size_t i = 0; i < body.size(); ++chars) {
        std::uint32_t c = body[i] == '\\' ? (++i, ReadEscape(body, i)) : static_cast<unsigned char>(body[i++]);
        v = wide ? c : (v << 8) | (c & 0xFF);
    }
    if (chars == 0) return std::nullopt;
    if (!wide && chars == 1) return IntValue::FromInt(static_cast<std::int8_t>(v));  // char is signed
    return IntValue::Of(v, IntType::Int());
}

namespace {

class Parser {
public:
    Parser(const Tokens& t, const EvalEnv& env) : t_(t), env_(env) {}

    EvalResult Run() {
        if (t_.empty()) return Fail("empty definition");
        IntValue v = Conditional(true);
        if (!failed_ && pos_ < t_.size()) Fail("syntax error", &t_[pos_]);
        if (failed_) return result_;
        result_.ok = true;
        result_.value = v;
        return result_;
    }

private:
    EvalResult Fail(const char* why, const Token* about = nullptr) {
        if (!failed_) {
            failed_ = true;
            result_.error = why;
            if (about) result_.subject = about->text;
        }
        return result_;
    }
    const Token* Peek() const { return pos_ < t_.size() ? &t_[pos_] : nullptr; }
    bool PeekIs(const char* s) const { return Peek() && Peek()->Is(s); }
    bool Accept(const char* s) {
        if (!PeekIs(s)) return false;
        ++pos_;
        return true;
    }
    bool Expect(const char* s) {
        if (Accept(s)) return true;
        Fail("syntax error", Peek());
        return false;
    }
    IntValue Widen(IntValue v) const {
        if (!env_.preprocessor) return v;
        return IntValue::Of(v.Raw(), v.IsUnsigned() ? IntType::ULongLong() : IntType::LongLong());
    }
    static IntValue Bool(bool b) { return IntValue::FromInt(b ? 1 : 0); }

    IntValue Conditional(bool live) {
        IntValue c = Binary(0, live);
        if (failed_ || !Accept("?")) return c;
        bool take = !c.IsZero();
        IntValue a = Conditional(live && take);
        if (!Expect(":")) return {};
        IntValue b = Conditional(live && !take);
        IntType type = CommonType(a.Type(), b.Type());
        return IntValue::Of(take ? a.Raw() : b.Raw(), type);
    }

    static int Precedence(const Token& t) {
        static const struct { const char* op; int level; } table[] = {
            {"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4}, {"&", 5}, {"==", 6}, {"!=", 6},
            {"<", 7}, {">", 7}, {"<=", 7}, {">=", 7}, {"<<", 8}, {">>", 8},
            {"+", 9}, {"-", 9}, {"*", 10}, {"/", 10}, {"%", 10},
        };
        if (t.kind != TokenKind::Punct) return -1;
        for (const auto& e : table)
            if (t.text == e.op) return e.level;
        return -1;
    }

    IntValue Binary(int minLevel, bool live) {
        IntValue lhs = Unary(live);
        while (!failed_ && Peek()) {
            int level = Precedence(*Peek());
            if (level < 0 || level < minLevel) break;
            std::string op = t_[pos_++].text;
            bool rhsLive = live && !((op == "&&" && lhs.IsZero()) || (op == "||" && !lhs.IsZero()));
            IntValue rhs = Binary(level + 1, rhsLive);
            if (failed_) break;
            lhs = Apply(op, lhs, rhs, rhsLive || (op != "&&" && op != "||" && live));
        }
        return lhs;
    }

    IntValue Apply(const std::string& op, IntValue a, IntValue b, bool live) {
        if (op == "&&") return Bool(!a.IsZero() && !b.IsZero());
        if (op == "||") return Bool(!a.IsZero() || !b.IsZero());
        if (op == "<<" || op == ">>") return Shift(op, a, b, live);
        IntType type = CommonType(a.Type(), b.Type());
        a = IntValue::Of(a.Raw(), type);
        b = IntValue::Of(b.Raw(), type);
        std::uint64_t x = a.Raw(), y = b.Raw();
        bool u = type.isUnsigned;
        if (op == "==") return Bool(x == y);
        if (op == "!=") return Bool(x != y);
        if (op == "<") return Bool(u ? x < y : a.Signed() < b.Signed());
        if (op == ">") return Bool(u ? x > y : a.Signed() > b.Signed());
        if (op == "<=") return Bool(u ? x <= y : a.Signed() <= b.Signed());
        if (op == ">=") return Bool(u ? x >= y : a.Signed() >= b.Signed());
        if (op == "+") return IntValue::Of(x + y, type);
        if (op == "-") return IntValue::Of(x - y, type);
        if (op == "*") return IntValue::Of(x * y, type);
        if (op == "&") return IntValue::Of(x & y, type);
        if (op == "|") return IntValue::Of(x | y, type);
        if (op == "^") return IntValue::Of(x ^ y, type);
        // "/" and "%"
        if (y == 0) {
            if (live) Fail("division by zero");
            return IntValue::Of(0, type);
        }
        bool div = op == "/";
        if (u) return IntValue::Of(div ? x / y : x % y, type);
        if (b.Signed() == -1) return IntValue::Of(div ? 0 - x : 0, type);  // INT64_MIN / -1 must not trap
        return IntValue::Of(static_cast<std::uint64_t>(div ? a.Signed() / b.Signed() : a.Signed() % b.Signed()), type);
    }

    IntValue Shift(const std::string& op, IntValue a, IntValue b, bool live) {
        IntType type = a.Type();
        if (b.IsNegative() || b.Raw() >= static_cast<std::uint64_t>(type.bits)) {
            if (live) Fail("shift count out of range");
            return IntValue::Of(0, type);
        }
        unsigned n = static_cast<unsigned>(b.Raw());
        if (op == "<<") return IntValue::Of(a.Raw() << n, type);
        if (type.isUnsigned) return IntValue::Of(a.Raw() >> n, type);
        return IntValue::Of(static_cast<std::uint64_t>(a.Signed() >> n), type);
    }

    IntValue Unary(bool live) {
        struct Depth {
            int& n;
            explicit Depth(int& d) : n(++d) {}
            ~Depth() { --n; }
        } depth(depth_);
        const Token* t = Peek();
        if (!t) { Fail("syntax error"); return {}; }
        if (depth_ > kMaxDepth) { Fail("expression too deep"); return {}; }
        if (t->kind == TokenKind::Punct) {
            const std::string op = t->text;
            if (op == "-" || op == "+" || op == "~" || op == "!") {
                ++pos_;
                IntValue v = Unary(live);
                if (op == "-") return IntValue::Of(0 - v.Raw(), v.Type());
                if (op == "~") return IntValue::Of(~v.Raw(), v.Type());
                if (op == "!") return Bool(v.IsZero());
                return v;
            }
            if (op == "(") return Parenthesised(live);
        }
        if (t->IsIdentifier() && t->text == "sizeof") return SizeOf();
        return Primary();
    }

    IntValue Parenthesised(bool live) {
        ++pos_;
        if (!env_.preprocessor && env_.types && Peek() && env_.types->IsKeywordOrName(*Peek())) {
            std::size_t close = MatchingParen(pos_ - 1);
            std::optional<CType> type = env_.types->ParseTypeName(t_, pos_, close);
            if (!type) { Fail("unknown type", Peek()); return {}; }
            pos_ = close + 1;
            std::optional<IntType> target = type->CastTarget();
            if (!target) { Fail("not an integer"); return {}; }
            IntValue v = Unary(live);
            return IntValue::Of(v.Raw(), *target);
        }
        IntValue v = Conditional(live);
        Expect(")");
        return v;
    }

    std::size_t MatchingParen(std::size_t open) const {
        int depth = 0;
        for (std::size_t i = open; i < t_.size(); ++i) {
            if (t_[i].Is("(")) ++depth;
            if (t_[i].Is(")") && --depth == 0) return i;
        }
        return t_.size();
    }

    IntValue SizeOf() {
        ++pos_;
        if (!PeekIs("(") || env_.preprocessor || !env_.types) { Fail("sizeof of an expression"); return {}; }
        std::size_t close = MatchingParen(pos_);
        std::optional<CType> type = env_.types->ParseTypeName(t_, pos_ + 1, close);
        if (!type) { Fail("sizeof of an expression", Peek()); return {}; }
        std::optional<int> size = type->Size();
        if (!size) { Fail("sizeof of a structure"); return {}; }
        pos_ = close + 1;
        return IntValue::Of(static_cast<std::uint64_t>(*size), IntType::UInt());  // size_t
    }

    IntValue Primary() {
        const Token& t = t_[pos_++];
        switch (t.kind) {
        case TokenKind::Number: {
            bool hex = false;
            std::optional<IntValue> v = ParseIntegerLiteral(t.text, &hex);
            if (!v) {
                bool floating = t.text.find_first_of(".eEpP") != std::string::npos && t.text.compare(0, 2, "0x") != 0;
                Fail(floating ? "not an integer" : "bad literal", &t);
                return {};
            }
            result_.anyHex |= hex;
            return Widen(*v);
        }
        case TokenKind::CharLiteral: {
            std::optional<IntValue> v = ParseCharLiteral(t.text);
            if (!v) { Fail("bad literal", &t); return {}; }
            return Widen(*v);
        }
        case TokenKind::Identifier: {
            if (env_.preprocessor) {
                if (PeekIs("(")) pos_ = MatchingParen(pos_) + 1;  // __has_builtin(x) and the like
                return Widen(IntValue::FromInt(0));
            }
            if (PeekIs("(")) { Fail("function call", &t); return {}; }
            std::optional<IntValue> v = env_.identifier ? env_.identifier(t.text) : std::nullopt;
            if (!v) { Fail("undefined identifier", &t); return {}; }
            return *v;
        }
        case TokenKind::StringLiteral:
            Fail("not an integer", &t);
            return {};
        default:
            Fail("syntax error", &t);
            return {};
        }
    }

    const Tokens& t_;
    const EvalEnv& env_;
    static constexpr int kMaxDepth = 1000;  // nesting, against stack exhaustion
    std::size_t pos_ = 0;
    int depth_ = 0;
    bool failed_ = false;
    EvalResult result_;
};

}  // namespace

EvalResult Evaluate(const Tokens& tokens, const EvalEnv& env) { return Parser(tokens, env).Run(); }

}  // namespace constdb
