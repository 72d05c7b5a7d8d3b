#pragma once
// Names compared as Jet compares them (ASCII letters without regard to case),
// and patterns over names: '*' any run of characters, '?' any one.
#include <cstddef>
#include <string>
#include <string_view>

namespace finder {

// The longest query taken: the name column holds 255 characters.
constexpr std::size_t kLongestQuery = 255;

bool IsPattern(std::u16string_view text);

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix);
bool ContainsIgnoringCase(std::u16string_view text, std::u16string_view part);

// Whether name matches pattern as a whole. Each run between '*'s is matched at
// its leftmost place, so a match costs at most the product of the lengths.
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name);

// The characters before the first wildcard: every match begins with them.
std::u16string_view FixedPrefix(std::u16string_view pattern);

}  // namespace finder
