#include "ado/sql.h"

#include "ado/jet_text.h"

namespace ado {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000; }

bool IsNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           (c >= 0x80 && c != 0x3000);
}

enum class Tok { End, Name, Bracketed, Literal, Star, Comma, Equals, Semicolon, Bad };

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
        case u';': ++pos_; return {Tok::Semicolon, {}};
        case u'[': return Bracketed();
        case u'\'': return Literal();
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

    Token Literal() {
        std::u16string text;
        ++pos_;
        while (pos_ < s_.size()) {
            char16_t c = s_[pos_++];
            if (c != u'\'') { text += c; continue; }
            if (pos_ < s_.size() && s_[pos_] == u'\'') { text += u'\''; ++pos_; continue; }
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

bool IsReserved(const Token& t) {
    return IsKeyword(t, u"SELECT") || IsKeyword(t, u"FROM") || IsKeyword(t, u"WHERE") || IsKeyword(t, u"AND");
}

class Parser {
public:
    Parser(std::u16string_view sql, std::string* error) : lex_(sql), error_(error) { Advance(); }

    bool Statement(SelectStatement* out) {
        if (!Keyword(u"SELECT", "statement must begin with SELECT")) return false;
        if (!Columns(out)) return false;
        if (!Keyword(u"FROM", "FROM expected after the column list")) return false;
        if (!Identifier(&out->table, "table name expected after FROM")) return false;
        if (IsKeyword(tok_, u"WHERE")) {
            Advance();
            if (!Conditions(out)) return false;
        }
        if (tok_.kind == Tok::Semicolon) Advance();
        if (tok_.kind == Tok::Bad) return Fail(Narrow(tok_.text));
        if (tok_.kind != Tok::End) return Fail("unexpected text after the statement");
        return true;
    }

private:
    bool Columns(SelectStatement* out) {
        if (tok_.kind == Tok::Star) {
            out->allColumns = true;
            Advance();
            return true;
        }
        for (;;) {
            std::u16string name;
            if (!Identifier(&name, "column name or * expected")) return false;
            out->columns.push_back(std::move(name));
            if (tok_.kind != Tok::Comma) return true;
            Advance();
        }
    }

    bool Conditions(SelectStatement* out) {
        for (;;) {
            Condition c;
            if (!Identifier(&c.column, "column name expected in WHERE")) return false;
            if (tok_.kind != Tok::Equals) return Fail(tok_.kind == Tok::Bad ? Narrow(tok_.text) : "= expected in WHERE");
            Advance();
            if (tok_.kind != Tok::Literal)
                return Fail(tok_.kind == Tok::Bad ? Narrow(tok_.text) : "quoted text expected after =");
            c.literal = tok_.text;
            Advance();
            out->where.push_back(std::move(c));
            if (!IsKeyword(tok_, u"AND")) return true;
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
        if (error_) *error_ = "Syntax error: " + why + ".";
        return false;
    }

    static std::string Narrow(const std::u16string& ascii) { return std::string(ascii.begin(), ascii.end()); }

    Lexer lex_;
    Token tok_;
    std::string* error_;
};

}  // namespace

bool ParseSelect(std::u16string_view sql, SelectStatement* out, std::string* error) {
    SelectStatement result;
    if (!Parser(sql, error).Statement(&result)) return false;
    *out = std::move(result);
    return true;
}

}  // namespace ado
