#pragma once
// Text comparison the way Jet compares: letters without regard to case.
#include <string>

namespace jet {

enum class TextMatch {
    Exact,            // code unit by code unit
    IgnoreAsciiCase,  // A-Z equal a-z; everything else exact
};

// Lower-cases A-Z.
std::u16string FoldAsciiCase(std::u16string text);

bool TextEqual(const std::u16string& a, const std::u16string& b, TextMatch match);

}  // namespace jet
