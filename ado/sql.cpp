#include "ado/sql.h"

#include "ado/jet_text.h"

namespace ado {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000; }

bool IsNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           (c >= 0x80 && c != 0x3000);
}

bool IsDigits(std::u16string_view s) {
    if (s.empty()) return false;
    for (char16_t c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

enum class Tok { End, Name, Bracketed, Literal, Star, Comma, Equals, NotEquals, Open, Close, Semicolon, Bad };

struct Token {
    Tok kind = Tok::End;
    std::u16string text;
};

// Splits the statement into tokens one at a time; a lexical fault becomes a Bad token
// whose text is the message.
class Lexer {
public:
    explicit Lexer(std::u16string_view s) : s_(s) {}

    Token Next() {
        while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
        if (pos_ >= s_.size()) return {Tok::End, {}};
        char16_t c = s_[pos_];
        switch (c) {
        case u'*': ++pos_; return {Tok::Star, {}};
        case u',': ++pos_; return {Tok::Comma, {}};
        case u'=': ++pos_; return {Tok::Equals, {}};
        case u'(': ++pos_; return {Tok::Open, {}};
        case u')': ++pos_; return {Tok::Close, {}};
        case u';': ++pos_; return {Tok::Semicolon, {}};
        case u'<':
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == u'>') {
                pos_ += 2;
                return {Tok::NotEquals, {}};
            }
            return Bad("only = , <> and LIKE compare in WHERE");
        case u'[': return Bracketed();
        case u'\'':
        case u'"': return Literal(c);
        default: break;
        }
        if (!IsNameChar(c)) return Bad("unexpected character in statement");
        std::size_t start = pos_;
        while (pos_ < s_.size() && IsNameChar(s_[pos_])) ++pos_;
        return {Tok::Name, std::u16string(s_.substr(start, pos_ - start))};
    }

private:
    Token Bracketed() {
        std::size_t close = s_.find(u']', pos_ + 1);
        if (close == std::u16string_view::npos) return Bad("unclosed [ in identifier");
        std::u16string name(s_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        if (name.empty()) return Bad("empty identifier []");
        if (name.find(u'[') != std::u16string::npos) return Bad("[ inside a bracketed identifier");
        return {Tok::Bracketed, name};
    }

    // Jet takes text in either quote; the same quote written twice stands for itself.
    Token Literal(char16_t quote) {
        std::u16string text;
        ++pos_;
        while (pos_ < s_.size()) {
            char16_t c = s_[pos_++];
            if (c != quote) { text += c; continue; }
            if (pos_ < s_.size() && s_[pos_] == quote) { text += quote; ++pos_; continue; }
            return {Tok::Literal, text};
        }
        return Bad("unterminated text literal");
    }

    static Token Bad(const char* why) {
        Token t{Tok::Bad, {}};
        for (const char* p = why; *p; ++p) t.text += char16_t(*p);
        return t;
    }

    std::u16string_view s_;
    std::size_t pos_ = 0;
};

bool IsKeyword(const Token& t, std::u16string_view word) {
    return t.kind == Tok::Name && JetTextEqual(t.text, word);
}

// Every keyword is ASCII and at most six letters: most names are told apart
// without a comparison (Chinese names, long names).
bool MayBeKeyword(const Token& t) {
    if (t.kind != Tok::Name || t.text.size() > 6) return false;
    for (char16_t c : t.text)
        if (c >= 0x80) return false;
    return true;
}

bool IsReserved(const Token& t) {
    if (!MayBeKeyword(t)) return false;
    static const char16_t* const kWords[] = {u"SELECT", u"FROM", u"WHERE", u"AND", u"OR",  u"NOT", u"LIKE",
                                             u"ORDER",  u"BY",   u"ASC",   u"DESC", u"TOP", u"AS",  u"INTO"};
    for (const char16_t* w : kWords)
        if (IsKeyword(t, w)) return true;
    return false;
}

// Statements that would change the file: refused as the file is open read-only.
bool IsWriteVerb(const Token& t) {
    if (!MayBeKeyword(t)) return false;
    static const char16_t* const kVerbs[] = {u"INSERT", u"UPDATE", u"DELETE", u"DROP",
                                             u"CREATE", u"ALTER",  u"GRANT",  u"REVOKE"};
    for (const char16_t* w : kVerbs)
        if (IsKeyword(t, w)) return true;
    return false;
}

std::string Narrow(const std::u16string& ascii) { return std::string(ascii.begin(), ascii.end()); }

class Parser {
public:
    Parser(std::u16string_view sql, SqlError* error) : lex_(sql), error_(error) { Advance(); }

    bool Statement(SelectStatement* out) {
        if (IsWriteVerb(tok_)) return ReadOnly(Narrow(JetFold(tok_.text)));
        if (!Keyword(u"SELECT", "statement must begin with SELECT")) return false;
        if (IsKeyword(tok_, u"TOP") && !Top(out)) return false;
        if (!Columns(out)) return false;
        if (IsKeyword(tok_, u"INTO")) return ReadOnly("SELECT ... INTO");
        if (!Keyword(u"FROM", "FROM expected after the column list")) return false;
        out->tables.emplace_back();
        if (!Identifier(&out->tables.back().name, "table name expected after FROM")) return false;
        if (IsKeyword(tok_, u"WHERE")) {
            Advance();
            out->hasWhere = true;
            if (!Or(&out->where, 0)) return false;
        }
        if (IsKeyword(tok_, u"ORDER") && !OrderBy(out)) return false;
        if (tok_.kind == Tok::Semicolon) Advance();
        if (tok_.kind == Tok::Bad) return Fail(Narrow(tok_.text));
        if (tok_.kind != Tok::End) return Fail("unexpected text after the statement");
        return true;
    }

private:
    bool Top(SelectStatement* out) {
        Advance();
        if (tok_.kind != Tok::Name || !IsDigits(tok_.text) || tok_.text.size() > 9)
            return Fail("a row count expected after TOP");
        out->top = std::stol(Narrow(tok_.text));
        Advance();
        return true;
    }

    bool Columns(SelectStatement* out) {
        if (tok_.kind == Tok::Star) {
            out->allColumns = true;
            Advance();
            return true;
        }
        if (IsKeyword(tok_, u"COUNT")) {
            Advance();
            if (tok_.kind != Tok::Open) return Fail("( expected after COUNT");
            Advance();
            if (tok_.kind != Tok::Star) return Fail("only COUNT(*) is answered");
            Advance();
            if (tok_.kind != Tok::Close) return Fail(") expected after COUNT(*");
            Advance();
            SelectItem item;
            item.value.kind = Operand::Kind::Aggregate;
            item.value.aggregate = Aggregate::Count;
            item.value.star = true;
            if (!Alias(&item.alias)) return false;
            out->columns.push_back(std::move(item));
            return true;
        }
        for (;;) {
            SelectItem item;
            if (!Identifier(&item.value.column.column, "column name or * expected")) return false;
            if (!Alias(&item.alias)) return false;
            out->columns.push_back(std::move(item));
            if (tok_.kind != Tok::Comma) return true;
            Advance();
        }
    }

    bool Alias(std::u16string* out) {
        if (!IsKeyword(tok_, u"AS")) return true;
        Advance();
        return Identifier(out, "name expected after AS");
    }

    // condition := and {OR and}; and := unary {AND unary}; unary := NOT unary | ( condition ) | comparison
    bool Or(Condition* out, int depth) { return Chain(out, depth, u"OR", Condition::Kind::Or, &Parser::And); }
    bool And(Condition* out, int depth) { return Chain(out, depth, u"AND", Condition::Kind::And, &Parser::Unary); }

    bool Chain(Condition* out, int depth, std::u16string_view word, Condition::Kind kind,
               bool (Parser::*operand)(Condition*, int)) {
        Condition first;
        if (!(this->*operand)(&first, depth)) return false;
        if (!IsKeyword(tok_, word)) {
            *out = std::move(first);
            return true;
        }
        out->kind = kind;
        out->parts.push_back(std::move(first));
        while (IsKeyword(tok_, word)) {
            Advance();
            Condition next;
            if (!(this->*operand)(&next, depth)) return false;
            out->parts.push_back(std::move(next));
        }
        return true;
    }

    bool Unary(Condition* out, int depth) {
        // Deep nesting is refused rather than followed down the stack.
        if (depth > 64) return Fail("conditions nested too deeply");
        if (IsKeyword(tok_, u"NOT")) {
            Advance();
            out->kind = Condition::Kind::Not;
            out->parts.emplace_back();
            return Unary(&out->parts.back(), depth + 1);
        }
        if (tok_.kind == Tok::Open) {
            Advance();
            if (!Or(out, depth + 1)) return false;
            if (tok_.kind != Tok::Close) return Fail(tok_.kind == Tok::Bad ? Narrow(tok_.text) : ") expected");
            Advance();
            return true;
        }
        return Compare(out);
    }

    bool Compare(Condition* out) {
        out->operands.resize(2);
        if (!Identifier(&out->operands[0].column.column, "column name expected in WHERE")) return false;
        if (tok_.kind == Tok::Equals) {
            out->op = Condition::Op::Equal;
        } else if (tok_.kind == Tok::NotEquals) {
            out->op = Condition::Op::NotEqual;
        } else if (IsKeyword(tok_, u"LIKE")) {
            out->kind = Condition::Kind::Like;
        } else {
            return Fail(tok_.kind == Tok::Bad ? Narrow(tok_.text) : "=, <> or LIKE expected in WHERE");
        }
        Advance();
        if (tok_.kind != Tok::Literal)
            return Fail(tok_.kind == Tok::Bad ? Narrow(tok_.text) : "quoted text expected after the comparison");
        out->operands[1].kind = Operand::Kind::Literal;
        out->operands[1].literal = TypedValue::Text(tok_.text);
        Advance();
        return true;
    }

    bool OrderBy(SelectStatement* out) {
        Advance();
        if (!Keyword(u"BY", "BY expected after ORDER")) return false;
        for (;;) {
            SortKey key;
            if (!Identifier(&key.key.column.column, "column name expected in ORDER BY")) return false;
            if (IsKeyword(tok_, u"DESC") || IsKeyword(tok_, u"ASC")) {
                key.descending = IsKeyword(tok_, u"DESC");
                Advance();
            }
            out->orderBy.push_back(std::move(key));
            if (tok_.kind != Tok::Comma) return true;
            Advance();
        }
    }

    bool Identifier(std::u16string* out, const char* what) {
        if (tok_.kind == Tok::Bad) return Fail(Narrow(tok_.text));
        if (tok_.kind == Tok::Bracketed || (tok_.kind == Tok::Name && !IsReserved(tok_))) {
            *out = tok_.text;
            Advance();
            return true;
        }
        return Fail(what);
    }

    bool Keyword(std::u16string_view word, const char* what) {
        if (tok_.kind == Tok::Bad) return Fail(Narrow(tok_.text));
        if (!IsKeyword(tok_, word)) return Fail(what);
        Advance();
        return true;
    }

    void Advance() { tok_ = lex_.Next(); }

    bool Fail(const std::string& why) {
        *error_ = {SqlFault::Syntax, "Syntax error: " + why + "."};
        return false;
    }

    bool ReadOnly(const std::string& verb) {
        *error_ = {SqlFault::ReadOnly, "The database is open read-only: " + verb + " statements are refused."};
        return false;
    }

    Lexer lex_;
    Token tok_;
    SqlError* error_;
};

}  // namespace

bool ParseSelect(std::u16string_view sql, SelectStatement* out, SqlError* error) {
    SelectStatement result;
    SqlError why;
    if (!Parser(sql, &why).Statement(&result)) {
        if (error) *error = std::move(why);
        return false;
    }
    *out = std::move(result);
    return true;
}

bool ParseSelect(std::u16string_view sql, SelectStatement* out, std::string* error) {
    SqlError why;
    if (ParseSelect(sql, out, &why)) return true;
    if (error) *error = std::move(why.text);
    return false;
}

}  // namespace ado
