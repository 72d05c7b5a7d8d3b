#include "jetsql/jet_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "jet/index_key.h"

namespace jetsql {
namespace {

// Where one character sorts: its inline code (0: none), or the code it adds
// to the key's trailer, where the few characters that only break ties go.
struct CharOrder {
    std::uint32_t inlineCode = 0;
    std::uint8_t trailer = 0;
};

// Read once from the keys the jet writer gives each ASCII character, so the
// order is the one the file's own indexes hold. A two-byte code compares by
// its first byte first, as it does in a key.
const std::array<CharOrder, 128>& AsciiOrder() {
    static const std::array<CharOrder, 128> table = [] {
        std::array<CharOrder, 128> t{};
        for (char16_t c = 0; c < 128; ++c) {
            jet::ByteVec key;
            if (!jet::AppendKeyValue(jet::ColumnType::Text, jet::Value::FromText(std::u16string(1, c)), key)) continue;
            std::size_t i = 1;  // past the flag byte
            std::uint32_t code = 0, bytes = 0;
            for (; i < key.size() && key[i] != 0x01; ++i, ++bytes) code = code << 8 | key[i];
            if (bytes == 1) code <<= 8;
            t[c].inlineCode = code;
            if (!code && key.size() > i + 3) t[c].trailer = key[key.size() - 2];
        }
        return t;
    }();
    return table;
}

CharOrder OrderOf(char16_t c) {
    if (c < 128) return AsciiOrder()[c];
    return {0x10000u + c, 0};
}

// Walks a text's characters of one kind: the inline codes, or the trailer
// entries (each with the count of inline characters before it).
class Walk {
public:
    explicit Walk(std::u16string_view text) : text_(text) {}

    bool NextInline(std::uint32_t* code) {
        for (; at_ < text_.size(); ++at_) {
            const CharOrder o = OrderOf(text_[at_]);
            if (o.inlineCode) {
                *code = o.inlineCode;
                ++at_;
                return true;
            }
        }
        return false;
    }

    bool NextTrailer(std::pair<std::size_t, std::uint8_t>* entry) {
        for (; at_ < text_.size(); ++at_) {
            const CharOrder o = OrderOf(text_[at_]);
            if (o.inlineCode) {
                ++inlineSeen_;
            } else if (o.trailer) {
                *entry = {inlineSeen_, o.trailer};
                ++at_;
                return true;
            }
        }
        return false;
    }

private:
    std::u16string_view text_;
    std::size_t at_ = 0, inlineSeen_ = 0;
};

// Lexicographic over two walks of one kind: a shorter run sorts first.
template <typename T, typename Next>
int Lexicographic(std::u16string_view a, std::u16string_view b, Next next) {
    Walk x(a), y(b);
    for (;;) {
        T p{}, q{};
        const bool more = (x.*next)(&p), other = (y.*next)(&q);
        if (!more || !other) return more == other ? 0 : (more ? 1 : -1);
        if (p != q) return p < q ? -1 : 1;
    }
}

}  // namespace

int JetTextCompare(std::u16string_view a, std::u16string_view b) {
    if (JetTextEqual(a, b)) return 0;
    if (int c = Lexicographic<std::uint32_t>(a, b, &Walk::NextInline)) return c;
    if (int c = Lexicographic<std::pair<std::size_t, std::uint8_t>>(a, b, &Walk::NextTrailer)) return c;
    // Characters the key leaves out (NUL) still tell texts apart.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (jet::UpperAscii(a[i]) != jet::UpperAscii(b[i])) return jet::UpperAscii(a[i]) < jet::UpperAscii(b[i]) ? -1 : 1;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace jetsql
