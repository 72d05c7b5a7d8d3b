#include "tools/packed_tokens.h"

namespace constdb {
namespace {

constexpr unsigned kKindBits = 0x07;
constexpr unsigned kSpaceBefore = 0x08;
constexpr unsigned kAtLineStart = 0x10;
constexpr unsigned kMore = 0x80;  // another length byte follows

}  // namespace

PackedTokens::PackedTokens(Tokens::const_iterator begin, Tokens::const_iterator end) {
    for (auto t = begin; t != end; ++t) {
        unsigned head = static_cast<unsigned>(t->kind) | (t->spaceBefore ? kSpaceBefore : 0) | (t->atLineStart ? kAtLineStart : 0);
        bytes_ += static_cast<char>(head);
        std::size_t n = t->text.size();
        for (; n >= kMore; n >>= 7) bytes_ += static_cast<char>((n & 0x7F) | kMore);
        bytes_ += static_cast<char>(n);
        bytes_ += t->text;
    }
}

Tokens PackedTokens::Unpack() const {
    Tokens out;
    for (std::size_t at = 0; at < bytes_.size();) {
        const auto head = static_cast<unsigned char>(bytes_[at++]);
        std::size_t n = 0;
        for (int shift = 0;; shift += 7) {
            const auto b = static_cast<unsigned char>(bytes_[at++]);
            n |= static_cast<std::size_t>(b & 0x7F) << shift;
            if (!(b & kMore)) break;
        }
        Token t;
        t.kind = static_cast<TokenKind>(head & kKindBits);
        t.spaceBefore = head & kSpaceBefore;
        t.atLineStart = head & kAtLineStart;
        t.text.assign(bytes_, at, n);
        at += n;
        out.push_back(std::move(t));
    }
    return out;
}

}  // namespace constdb
