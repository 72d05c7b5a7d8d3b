#pragma once
// Evaluates a fully macro-expanded C constant expression with 32-bit Windows types.
#include <functional>
#include <optional>
#include <string>

#include "tools/int_value.h"
#include "tools/token.h"
#include "tools/type_table.h"

namespace constdb {

struct EvalEnv {
    const TypeTable* types = nullptr;  // names usable in casts and sizeof
    // Identifiers left after expansion (enum members); nothing for an unknown name.
    std::function<std::optional<IntValue>(const std::string&)> identifier;
    // #if rules: every value is intmax_t or uintmax_t and unknown identifiers are 0.
    bool preprocessor = false;
};

struct EvalResult {
    bool ok = false;
    IntValue value;
    bool anyHex = false;  // some operand was written in hexadecimal
    std::string error;    // a short, fixed reason when !ok, for grouping
    std::string subject;  // the token the reason is about
};

EvalResult Evaluate(const Tokens& tokens, const EvalEnv& env);

// The value and type of one integer literal ("0x10UL", "'a'"); nothing when it is not one.
std::optional<IntValue> ParseIntegerLiteral(const std::string& text, bool* isHex = nullptr);
std::optional<IntValue> ParseCharLiteral(const std::string& text);

}  // namespace constdb
