#include "tools/token.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <string_view>

namespace constdb {
namespace {

// Phase 2 of translation: backslash-newline pairs vanish; CR is dropped.
std::string SpliceLines(const std::string& in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '\r') continue;
        if (c == '\\') {
            std::size_t j = i + 1;
            while (j < in.size() && in[j] == '\r') ++j;
            if (j < in.size() && in[j] == '\n') { i = j; continue; }
        }
        out += c;
    }
    return out;
}

bool IsIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '$' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

constexpr std::string_view kPunctuators[] = {
    "<<=", ">>=", "...", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&", "||",
    "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "##", "::",
};

}  // namespace

class TokenStream::Lexer {
public:
    explicit Lexer(std::string text) : s_(std::move(text)) {}

    bool Next(Token& t) {
        while (p_ < s_.size()) {
            char c = s_[p_];
            if (c == '\n') { lineStart_ = true; space_ = false; ++p_; continue; }
            if (c == ' ' || c == '\t' || c == '\f' || c == '\v') { space_ = true; ++p_; continue; }
            if (SkipComment()) { space_ = true; continue; }
            t = Token{};
            t.atLineStart = lineStart_;
            t.spaceBefore = space_;
            Lex(t);
            lineStart_ = space_ = false;
            return true;
        }
        return false;
    }

private:
    bool At(const char* lit) const { return s_.compare(p_, std::strlen(lit), lit) == 0; }

    bool SkipComment() {
        if (s_[p_] != '/') return false;
        if (At("//")) {
            while (p_ < s_.size() && s_[p_] != '\n') ++p_;
            return true;
        }
        if (At("/*")) {
            std::size_t end = s_.find("*/", p_ + 2);
            p_ = end == std::string::npos ? s_.size() : end + 2;
            return true;
        }
        return false;
    }

    void Lex(Token& t) {
        std::size_t start = p_;
        unsigned char c = s_[p_];
        std::size_t quote = QuoteAfterPrefix();
        if (quote != std::string::npos && LexQuoted(t, quote)) return;
        if (IsIdentStart(c)) {
            while (p_ < s_.size() && IsIdentChar(s_[p_])) ++p_;
            t.kind = TokenKind::Identifier;
        } else if (std::isdigit(c) || (c == '.' && p_ + 1 < s_.size() && std::isdigit((unsigned char)s_[p_ + 1]))) {
            LexNumber();
            t.kind = TokenKind::Number;
        } else {
            t.kind = TokenKind::Punct;
            std::size_t len = 1;
            for (std::string_view punct : kPunctuators)
                if (punct[0] == c && s_.compare(p_, punct.size(), punct) == 0) { len = punct.size(); break; }
            if (!std::ispunct(c)) t.kind = TokenKind::Other;
            p_ += len;
        }
        t.text.assign(s_, start, p_ - start);
    }

    // Position of the opening quote of a character or string literal that starts here, if any.
    std::size_t QuoteAfterPrefix() const {
        if (!std::strchr("uLU'\"", s_[p_])) return std::string::npos;
        for (const char* prefix : {"u8", "L", "u", "U", ""}) {
            std::size_t n = std::strlen(prefix);
            if (s_.compare(p_, n, prefix) == 0 && p_ + n < s_.size() && (s_[p_ + n] == '\'' || s_[p_ + n] == '"'))
                return p_ + n;
        }
        return std::string::npos;
    }

    // An unterminated quote (an apostrophe in skipped text, say) is left to the caller as a lone punctuator.
    bool LexQuoted(Token& t, std::size_t quote) {
        char q = s_[quote];
        std::size_t i = quote + 1;
        while (i < s_.size() && s_[i] != q && s_[i] != '\n') i += (s_[i] == '\\' && i + 1 < s_.size()) ? 2 : 1;
        if (i >= s_.size() || s_[i] != q) {
            if (quote != p_) return false;  // lex the prefix as an identifier instead
            t.kind = TokenKind::Other;
            t.text.assign(1, q);
            ++p_;
            return true;
        }
        t.kind = q == '\'' ? TokenKind::CharLiteral : TokenKind::StringLiteral;
        t.text.assign(s_, p_, i + 1 - p_);
        p_ = i + 1;
        return true;
    }

    void LexNumber() {
        while (p_ < s_.size()) {
            char c = s_[p_];
            if ((c == '+' || c == '-') && std::strchr("eEpP", s_[p_ - 1])) { ++p_; continue; }
            if (!IsIdentChar(c) && c != '.') break;
            ++p_;
        }
    }

    std::string s_;
    std::size_t p_ = 0;
    bool lineStart_ = true, space_ = false;
};

TokenStream::TokenStream(const std::string& source) : lexer_(std::make_unique<Lexer>(SpliceLines(source))) {}
TokenStream::~TokenStream() = default;
bool TokenStream::Next(Token& t) { return lexer_->Next(t); }

Tokens Tokenize(const std::string& source) {
    Tokens out;
    TokenStream stream(source);
    for (Token t; stream.Next(t);) out.push_back(std::move(t));
    return out;
}

std::string JoinTokens(const Tokens& tokens, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < tokens.size() && i < to; ++i) {
        if (i > from && tokens[i].spaceBefore) out += ' ';
        out += tokens[i].text;
    }
    return out;
}

}  // namespace constdb
