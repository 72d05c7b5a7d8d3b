#pragma once
// Jet's LIKE. A pattern in ANSI-89 form uses * (any run) ? (one character) and
// # (one digit); in ANSI-92 form, as OLE DB sends it, % and _. A pattern that
// holds * or ? outside brackets is read in the first form, any other in the
// second, so 'WM_*' finds names with an underscore and 'WM_%' is ANSI's.
// Both take [abc], [a-z] and [!abc] (or [^abc]) for one character of a set.
// Letters match without regard to ASCII case, as Jet's equality does.
#include <string>
#include <string_view>
#include <vector>

namespace jetsql {

class LikePattern {
public:
    explicit LikePattern(std::u16string_view pattern);

    // False for a pattern with an unclosed [.
    bool Valid() const { return valid_; }
    bool Matches(std::u16string_view text) const;
    // The text every match begins with (ASCII letters upper-cased): what an index can seek.
    const std::u16string& FixedPrefix() const { return prefix_; }

private:
    struct Element {
        enum class Kind { Char, AnyOne, AnyRun, Digit, Set } kind = Kind::Char;
        char16_t c = 0;
        std::vector<std::pair<char16_t, char16_t>> ranges;  // for Set, folded
        bool negated = false;
    };
    bool ElementMatches(const Element& e, char16_t c) const;
    bool ReadSet(std::u16string_view pattern, std::size_t* pos, Element* out);

    std::vector<Element> elements_;
    std::u16string prefix_;
    bool valid_ = true;
};

}  // namespace jetsql
