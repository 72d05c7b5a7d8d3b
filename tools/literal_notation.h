#pragma once
// How a header wrote a value, which decides how the value column writes it (see
// value_text.h). The compiler gives the value; this looks only at the literals a
// definition's tokens reach, through the macros they name.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "tools/int_value.h"

namespace tools {

struct SourceToken {
    enum class Kind : std::uint8_t { Punctuation, Identifier, Literal, Other };
    Kind kind = Kind::Other;
    std::string text;
};

using SourceTokens = std::vector<SourceToken>;

struct MacroTokens {
    std::vector<std::string> params;  // a function-like macro's parameters
    bool functionLike = false;
    SourceTokens body;                // after the name and any parameter list
};

// Splits the tokens of a #define after the directive (name first) into a macro.
MacroTokens MacroFromDefinition(const SourceTokens& definition, bool functionLike);

// Whether a macro's body may be an expression: not empty, no braces, semicolons or
// #, parentheses balanced. Declared as one, any other would upset the declarations after it.
bool MayBeExpression(const SourceTokens& body);

struct Notation {
    std::string hexLiteral;  // the one hexadecimal literal the tokens are, as written; else empty
    bool anyHex = false;     // some hexadecimal literal is among what they expand to
};

// The macro in force for a name, or null.
using MacroLookup = std::function<const MacroTokens*(const std::string&)>;

class NotationFinder {
public:
    explicit NotationFinder(MacroLookup lookup) : lookup_(std::move(lookup)) {}

    // The notation of a definition's body or of an enum member's initialiser.
    Notation Of(const SourceTokens& tokens);

private:
    std::string SingleHexLiteral(const SourceTokens& tokens, int depth);
    const MacroTokens* Enter(const std::string& name, bool functionLike);
    SourceTokens Expand(const MacroTokens& m, const std::vector<SourceTokens>& args);
    bool AnyHex(const SourceTokens& tokens, int depth);
    bool CallAnyHex(const SourceTokens& tokens, std::size_t at, int depth);
    bool MacroAnyHex(const std::string& name, int depth);

    MacroLookup lookup_;
    std::unordered_map<std::string, bool> anyHex_;  // per macro name, once known
    std::unordered_map<std::string, bool> busy_;    // names being looked into, against cycles
};

// The value column's text for a value the compiler gave: the hexadecimal literal's
// digits as written when it is that value, else FormatValueText's.
std::string NotationText(const IntValue& value, const Notation& notation);

}  // namespace tools
