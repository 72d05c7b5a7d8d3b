#pragma once
// A preprocessing token of C source, as the constants builder sees it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace constdb {

enum class TokenKind : std::uint8_t { Identifier, Number, CharLiteral, StringLiteral, Punct, Other };

struct Token {
    TokenKind kind = TokenKind::Other;
    bool atLineStart = false;   // first token of a logical line (directives start here)
    bool spaceBefore = false;   // tells `#define F(x)` from `#define F (x)`
    std::uint32_t hideSet = 0;  // used only while expanding macros
    std::string text;

    // The first byte decides most comparisons; scanners ask this of every token.
    bool Is(const char* s) const {
        return text[0] == s[0] && text == s && kind != TokenKind::StringLiteral && kind != TokenKind::CharLiteral;
    }
    bool IsIdentifier() const { return kind == TokenKind::Identifier; }
};

using Tokens = std::vector<Token>;

// A file's tokens one at a time, so that a reader keeps only what it needs (a
// directive's line) rather than the whole file's.
class TokenStream {
public:
    explicit TokenStream(const std::string& source);
    ~TokenStream();
    bool Next(Token& t);  // false at the end

private:
    class Lexer;
    std::unique_ptr<Lexer> lexer_;
};

// Splits a whole file into tokens. Backslash-newline pairs are spliced, comments
// become white space, and a newline inside a block comment does not end a line.
Tokens Tokenize(const std::string& source);

// Joins token texts with single blanks where the source had white space.
std::string JoinTokens(const Tokens& tokens, std::size_t from = 0, std::size_t to = SIZE_MAX);

}  // namespace constdb
