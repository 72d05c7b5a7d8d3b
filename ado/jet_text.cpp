#include "ado/jet_text.h"

#include <array>
#include <cstdint>
#include <vector>

#include "jet/index_key.h"

namespace ado {
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

struct Sequences {
    std::vector<std::uint32_t> inlineCodes;
    std::vector<std::pair<std::size_t, std::uint8_t>> trailer;  // (inline characters before, code)
};

Sequences SequencesOf(std::u16string_view text) {
    Sequences s;
    for (char16_t c : text) {
        const CharOrder o = OrderOf(c);
        if (o.inlineCode) s.inlineCodes.push_back(o.inlineCode);
        else if (o.trailer) s.trailer.emplace_back(s.inlineCodes.size(), o.trailer);
    }
    return s;
}

template <typename T>
int Lexicographic(const std::vector<T>& a, const std::vector<T>& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int JetTextCompare(std::u16string_view a, std::u16string_view b) {
    if (JetTextEqual(a, b)) return 0;
    const Sequences x = SequencesOf(a), y = SequencesOf(b);
    if (int c = Lexicographic(x.inlineCodes, y.inlineCodes)) return c;
    if (int c = Lexicographic(x.trailer, y.trailer)) return c;
    // Characters the key leaves out (NUL) still tell texts apart.
    const std::u16string p = JetFold(a), q = JetFold(b);
    return p < q ? -1 : 1;
}

}  // namespace ado
