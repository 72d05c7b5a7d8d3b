#pragma once
// Tokens kept for later (a macro's body) in one string rather than a string per
// token: a definition of a few tokens then needs no allocation at all.
#include <string>

#include "tools/token.h"

namespace constdb {

class PackedTokens {
public:
    PackedTokens() = default;
    // Keeps kind, text and spacing; hide sets belong to an expansion and are not kept.
    PackedTokens(Tokens::const_iterator begin, Tokens::const_iterator end);

    bool empty() const { return bytes_.empty(); }
    Tokens Unpack() const;

private:
    // Per token: a byte of kind and flags, the text's length (7 bits a byte, low first), the text.
    std::string bytes_;
};

}  // namespace constdb
