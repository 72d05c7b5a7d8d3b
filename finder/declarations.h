#pragma once
// Declarations ready to paste, in the languages Windows programmers write,
// with the width and sign each value needs (README "Types").
#include <string>
#include <string_view>
#include <vector>

namespace finder {

enum class Language { E, C, CSharp, VB, VB6, Delphi, Rust, Python };

// "e", "c", "cs", "vb", "vb6", "delphi", "rust", "python".
bool LanguageNamed(std::string_view name, Language& language);
extern const char kLanguageNames[];  // the names above, for messages

struct Declared {
    std::string name;
    std::string stored;  // the value text as the database holds it
};

// One declaration a line, after the header the language needs (易语言's
// ".版本 2", Pascal's "const"). C# and VB.NET lines go inside a class or a
// module. A name the language reserves is escaped where it can be ([Error],
// &String, r#type, @int) and left as a comment where it cannot, as is a value
// the language has no type for (64 bits in VB6) or a text that is no number.
// 易语言's text is what the window copies: CR LF line ends, the decimal the
// window shows.
std::string Declare(Language language, const std::vector<Declared>& constants);

// A member's or a parameter's name as the language can write it: escaped where
// the language reserves it and can escape it, else with "_" after it (VB6's
// Type, Python's None). 易语言's names are left as they are.
std::string MemberName(Language language, const std::string& name);

}  // namespace finder
