#pragma once
// One #define, and full expansion of token lists against a table of them.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/packed_tokens.h"
#include "tools/token.h"

namespace constdb {

struct Macro {
    std::string name;
    bool functionLike = false;
    bool variadic = false;  // the last parameter takes the remaining arguments
    std::vector<std::string> params;
    PackedTokens body;  // 1.6 million tokens in the Windows headers: kept packed
};

// Parses the tokens after "#define" (name first). False when they are not a definition.
bool ParseDefine(const Tokens& line, std::size_t begin, Macro& out);

using MacroLookup = std::function<const Macro*(const std::string&)>;

// Expands the way a C preprocessor does: rescanning, argument pre-expansion, # and ##,
// and hide sets so that a macro never expands inside its own expansion.
class MacroExpander {
public:
    explicit MacroExpander(MacroLookup lookup, std::size_t tokenLimit = 100000)
        : lookup_(std::move(lookup)), tokenLimit_(tokenLimit) {}

    // False (with a reason) on a malformed call or an expansion past the token limit.
    bool Expand(const Tokens& in, Tokens& out, std::string* error);

private:
    using HideSet = std::vector<const Macro*>;
    bool ExpandList(Tokens pending, Tokens& out);
    bool CollectArguments(Tokens& pending, const Macro& m, std::vector<Tokens>& args, Token& rparen);
    bool Substitute(const Macro& m, const std::vector<Tokens>& args, std::uint32_t hs, Tokens& result);
    int ParamIndex(const Macro& m, const Token& t) const;
    bool Hidden(std::uint32_t hs, const Macro* m) const;
    std::uint32_t Union(std::uint32_t a, std::uint32_t b);
    std::uint32_t With(std::uint32_t a, const Macro* m);
    std::uint32_t Intersect(std::uint32_t a, std::uint32_t b);
    std::uint32_t Intern(HideSet set);
    bool Fail(const char* why) { if (error_.empty()) error_ = why; return false; }

    MacroLookup lookup_;
    std::size_t tokenLimit_;
    std::vector<HideSet> sets_;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> unions_;
    std::string error_;
    int depth_ = 0;
    static constexpr int kMaxDepth = 200;  // arguments expanded within arguments, against stack exhaustion
};

}  // namespace constdb
