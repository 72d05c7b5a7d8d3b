#include "finder/declarations.h"

#include <algorithm>
#include <initializer_list>

#include "finder/integer.h"
#include "finder/window_notation.h"

namespace finder {

const char kLanguageNames[] = "e, c, cs, vb, vb6, delphi, rust, python";

namespace {

struct Keywords {
    std::initializer_list<const char*> words;
    bool ignoreCase;

    bool Has(const std::string& name) const {
        return std::any_of(words.begin(), words.end(), [&](const char* w) {
            const std::string word = w;
            if (word.size() != name.size()) return false;
            for (std::size_t i = 0; i < word.size(); ++i) {
                const auto fold = [&](char c) {
                    return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                };
                if (fold(word[i]) != fold(name[i])) return false;
            }
            return true;
        });
    }
};

const Keywords kC{{"auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum",
                   "extern", "float", "for", "goto", "if", "inline", "int", "long", "register", "restrict", "return",
                   "short", "signed", "sizeof", "static", "struct", "switch", "typedef", "union", "unsigned", "void",
                   "volatile", "while", "_Alignas", "_Alignof", "_Atomic", "_Bool", "_Complex", "_Generic",
                   "_Imaginary", "_Noreturn", "_Static_assert", "_Thread_local", "defined"},
                  false};
const Keywords kCSharp{{"abstract", "as", "base", "bool", "break", "byte", "case", "catch", "char", "checked",
                        "class", "const", "continue", "decimal", "default", "delegate", "do", "double", "else",
                        "enum", "event", "explicit", "extern", "false", "finally", "fixed", "float", "for",
                        "foreach", "goto", "if", "implicit", "in", "int", "interface", "internal", "is", "lock",
                        "long", "namespace", "new", "null", "object", "operator", "out", "override", "params",
                        "private", "protected", "public", "readonly", "ref", "return", "sbyte", "sealed", "short",
                        "sizeof", "stackalloc", "static", "string", "struct", "switch", "this", "throw", "true",
                        "try", "typeof", "uint", "ulong", "unchecked", "unsafe", "ushort", "using", "virtual",
                        "void", "volatile", "while"},
                       false};
const Keywords kVB{{"AddHandler", "AddressOf", "Alias", "And", "AndAlso", "As", "Boolean", "ByRef", "Byte", "ByVal",
                    "Call", "Case", "Catch", "CBool", "CByte", "CChar", "CDate", "CDbl", "CDec", "Char", "CInt",
                    "Class", "CLng", "CObj", "Const", "Continue", "CSByte", "CShort", "CSng", "CStr", "CType",
                    "CUInt", "CULng", "CUShort", "Date", "Decimal", "Declare", "Default", "Delegate", "Dim",
                    "DirectCast", "Do", "Double", "Each", "Else", "ElseIf", "End", "EndIf", "Enum", "Erase", "Error",
                    "Event", "Exit", "False", "Finally", "For", "Friend", "Function", "Get", "GetType",
                    "GetXMLNamespace", "Global", "GoSub", "GoTo", "Handles", "If", "Implements", "Imports", "In",
                    "Inherits", "Integer", "Interface", "Is", "IsNot", "Let", "Lib", "Like", "Long", "Loop", "Me",
                    "Mod", "Module", "MustInherit", "MustOverride", "MyBase", "MyClass", "NameOf", "Namespace",
                    "Narrowing", "New", "Next", "Not", "Nothing", "NotInheritable", "NotOverridable", "Object", "Of",
                    "On", "Operator", "Option", "Optional", "Or", "OrElse", "Out", "Overloads", "Overridable",
                    "Overrides", "ParamArray", "Partial", "Private", "Property", "Protected", "Public",
                    "RaiseEvent", "ReadOnly", "ReDim", "REM", "RemoveHandler", "Resume", "Return", "SByte",
                    "Select", "Set", "Shadows", "Shared", "Short", "Single", "Static", "Step", "Stop", "String",
                    "Structure", "Sub", "SyncLock", "Then", "Throw", "To", "True", "Try", "TryCast", "TypeOf",
                    "UInteger", "ULong", "UShort", "Using", "Variant", "Wend", "When", "While", "Widening", "With",
                    "WithEvents", "WriteOnly", "Xor"},
                   true};
const Keywords kVB6{{"And", "As", "Boolean", "ByRef", "Byte", "ByVal", "Call", "Case", "CBool", "CByte", "CCur",
                     "CDate", "CDbl", "CDec", "CInt", "CLng", "Close", "Const", "CSng", "CStr", "Currency", "CVar",
                     "CVErr", "Date", "Debug", "Declare", "DefBool", "DefByte", "DefCur", "DefDate", "DefDbl",
                     "DefDec", "DefInt", "DefLng", "DefObj", "DefSng", "DefStr", "DefVar", "Dim", "Do", "Double",
                     "Each", "Else", "ElseIf", "Empty", "End", "Enum", "Eqv", "Erase", "Error", "Event", "Exit",
                     "False", "For", "Friend", "Function", "Get", "Global", "GoSub", "GoTo", "If", "Imp",
                     "Implements", "In", "Input", "Integer", "Is", "Let", "Like", "Line", "Lock", "Long", "Loop",
                     "LSet", "Me", "Mod", "New", "Next", "Not", "Nothing", "Null", "On", "Open", "Option",
                     "Optional", "Or", "ParamArray", "Preserve", "Print", "Private", "Property", "Public", "Put",
                     "RaiseEvent", "ReDim", "Rem", "Resume", "Return", "RSet", "Seek", "Select", "Set", "Single",
                     "Spc", "Static", "Step", "Stop", "String", "Sub", "Tab", "Then", "To", "True", "Type",
                     "TypeOf", "Until", "Variant", "Wend", "While", "With", "WithEvents", "Write", "Xor"},
                    true};
const Keywords kPascal{{"and", "array", "as", "asm", "begin", "case", "class", "const", "constructor", "destructor",
                        "dispinterface", "div", "do", "downto", "else", "end", "except", "exports", "file",
                        "finalization", "finally", "for", "function", "goto", "if", "implementation", "in",
                        "inherited", "initialization", "inline", "interface", "is", "label", "library", "mod", "nil",
                        "not", "object", "of", "on", "operator", "or", "out", "packed", "procedure", "program",
                        "property", "raise", "record", "repeat", "resourcestring", "self", "set", "shl", "shr",
                        "string", "then", "threadvar", "to", "try", "type", "unit", "until", "uses", "var", "while",
                        "with", "xor"},
                       true};
const Keywords kRust{{"as", "async", "await", "break", "const", "continue", "dyn", "else", "enum", "extern",
                      "false", "fn", "for", "if", "impl", "in", "let", "loop", "match", "mod", "move", "mut", "pub",
                      "ref", "return", "static", "struct", "trait", "true", "type", "unsafe", "use", "where",
                      "while", "abstract", "become", "box", "do", "final", "gen", "macro", "override", "priv",
                      "try", "typeof", "unsized", "virtual", "yield"},
                     false};
const Keywords kRustNeverRaw{{"self", "Self", "super", "crate", "_"}, false};
const Keywords kVBLineContinuation{{"_"}, false};
const Keywords kNothing{{}, false};
const Keywords kPython{{"False", "None", "True", "and", "as", "assert", "async", "await", "break", "class",
                        "continue", "def", "del", "elif", "else", "except", "finally", "for", "from", "global", "if",
                        "import", "in", "is", "lambda", "nonlocal", "not", "or", "pass", "raise", "return", "try",
                        "while", "with", "yield"},
                       false};

// The value in the forms the languages' literals are built from.
struct Literal {
    Integer value;
    bool hex = false;    // write it as the bit pattern it was written as
    std::string digits;  // hexadecimal digits as written
    bool Minimum() const {  // the one value whose magnitude its own type cannot hold
        return value.width == Width::Int32 ? value.Low32() == 0x80000000u : value.bits == 0x8000000000000000u;
    }
    std::string Magnitude() const {  // Decimal() without its sign
        const std::string d = value.Decimal();
        return d[0] == '-' ? d.substr(1) : d;
    }
};

std::string C(const std::string& name, const Literal& v) {
    const bool neg = v.value.Negative();
    std::string lit;
    switch (v.value.width) {
    case Width::Int32:
        if (v.hex) lit = neg ? "((int)0x" + v.digits + ")" : "0x" + v.digits;
        else lit = !neg ? v.value.Decimal() : v.Minimum() ? "(-2147483647 - 1)" : "(" + v.value.Decimal() + ")";
        break;
    case Width::UInt32: lit = v.value.Decimal() + "u"; break;
    case Width::Int64:
        if (v.hex) lit = neg ? "((long long)0x" + v.digits + "ull)" : "0x" + v.digits + "ll";
        else lit = !neg ? v.value.Decimal() + "ll"
                   : v.Minimum() ? "(-9223372036854775807ll - 1)" : "(" + v.value.Decimal() + "ll)";
        break;
    case Width::UInt64: lit = v.value.Decimal() + "ull"; break;
    }
    return "#define " + name + " " + lit;
}

std::string CSharp(const std::string& name, const Literal& v) {
    static const char* const types[] = {"int", "uint", "long", "ulong"};
    const Width w = v.value.width;
    std::string lit = v.value.Decimal();
    if (v.hex && v.value.Negative()) lit = std::string("unchecked((") + types[int(w)] + ")0x" + v.digits + ")";
    else if (v.hex) lit = "0x" + v.digits;
    return std::string("public const ") + types[int(w)] + " " + name + " = " + lit + ";";
}

std::string VB(const std::string& name, const Literal& v) {
    static const char* const types[] = {"Integer", "UInteger", "Long", "ULong"};
    static const char* const suffixes[] = {"", "UI", "L", "UL"};
    const Width w = v.value.width;
    std::string lit;
    if (v.hex) lit = "&H" + v.digits + suffixes[int(w)];
    else if (v.Minimum()) lit = w == Width::Int32 ? "&H80000000" : "&H8000000000000000L";
    else lit = v.value.Decimal() + suffixes[int(w)];
    return "Public Const " + name + " As " + types[int(w)] + " = " + lit;
}

std::string VB6(const std::string& name, const Literal& v) {
    const std::string head = "Public Const " + name + " As Long = ";
    switch (v.value.width) {
    case Width::Int32:
        if (v.hex) return head + "&H" + v.digits + "&";
        return head + (v.Minimum() ? "&H80000000" : v.value.Decimal());
    case Width::UInt32:
        return head + "&H" + v.value.Hex().substr(2) + "&  ' " + v.value.Decimal() +
               ": VB6 has no unsigned type; the same 32 bits as a Long";
    default:
        return "' " + name + " = " + v.value.Decimal() + ": VB6 has no 64-bit integer type";
    }
}

std::string Delphi(const std::string& name, const Literal& v) {
    static const char* const types[] = {"LongInt", "Cardinal", "Int64", "UInt64"};
    const Width w = v.value.width;
    std::string lit;
    if (v.hex) lit = "$" + v.digits;
    else if (v.Minimum() && w == Width::Int64) lit = "$8000000000000000";
    else lit = v.value.Decimal();
    return "  " + name + " = " + types[int(w)] + "(" + lit + ");";
}

std::string Rust(const std::string& name, const Literal& v) {
    static const char* const types[] = {"i32", "u32", "i64", "u64"};
    static const char* const unsignedOf[] = {"u32", "u32", "u64", "u64"};
    const Width w = v.value.width;
    std::string lit = v.value.Decimal();
    if (v.hex) lit = "0x" + v.digits;
    if (v.hex && v.value.Negative()) lit += std::string("_") + unsignedOf[int(w)] + " as " + types[int(w)];
    return "pub const " + name + ": " + types[int(w)] + " = " + lit + ";";
}

std::string Python(const std::string& name, const Literal& v) {
    if (v.hex && v.value.Negative()) return name + " = " + v.value.Decimal() + "  # 0x" + v.digits;
    return name + " = " + (v.hex ? "0x" + v.digits : v.value.Decimal());
}

using Writer = std::string (*)(const std::string&, const Literal&);

struct Style {
    Writer write;
    const Keywords* reserved;
    std::string escapeBefore, escapeAfter;  // how a reserved name is written; none: a comment instead
    const Keywords* unusable;               // names no escape makes usable
    const char* comment;
};

Style StyleOf(Language language) {
    switch (language) {
    case Language::C: return {C, &kC, "", "", &kNothing, "// "};
    case Language::CSharp: return {CSharp, &kCSharp, "@", "", &kNothing, "// "};
    case Language::VB: return {VB, &kVB, "[", "]", &kVBLineContinuation, "' "};
    case Language::VB6: return {VB6, &kVB6, "", "", &kVBLineContinuation, "' "};
    case Language::Delphi: return {Delphi, &kPascal, "&", "", &kNothing, "  // "};
    case Language::Rust: return {Rust, &kRust, "r#", "", &kRustNeverRaw, "// "};
    case Language::Python: return {Python, &kPython, "", "", &kNothing, "# "};
    case Language::E: break;
    }
    return {nullptr, nullptr, "", "", &kNothing, ""};
}

std::string Line(const Style& style, const Declared& c) {
    const std::optional<StoredNumber> number = ReadStoredNumber(c.stored);
    if (!number) return style.comment + c.name + " = \"" + c.stored + "\": not an integer";
    const Literal literal{number->value, number->hex, number->digits};
    const bool reserved = style.reserved->Has(c.name);
    if ((reserved && style.escapeBefore.empty()) || style.unusable->Has(c.name))
        return style.comment + c.name + " = " + number->value.Decimal() + ": a reserved word, not declared";
    const std::string name = reserved ? style.escapeBefore + c.name + style.escapeAfter : c.name;
    return style.write(name, literal);
}

}  // namespace

bool LanguageNamed(std::string_view name, Language& language) {
    static const std::pair<const char*, Language> names[] = {
        {"e", Language::E},          {"c", Language::C},       {"cs", Language::CSharp}, {"vb", Language::VB},
        {"vb6", Language::VB6},      {"delphi", Language::Delphi}, {"rust", Language::Rust},
        {"python", Language::Python},
    };
    for (const auto& n : names)
        if (name == n.first) {
            language = n.second;
            return true;
        }
    return false;
}

std::string MemberName(Language language, const std::string& name) {
    if (language == Language::E) return name;
    const Style style = StyleOf(language);
    const bool reserved = style.reserved->Has(name);
    if (style.unusable->Has(name) || (reserved && style.escapeBefore.empty())) return name + "_";
    return reserved ? style.escapeBefore + name + style.escapeAfter : name;
}

std::string Declare(Language language, const std::vector<Declared>& constants) {
    std::string out;
    if (language == Language::E) {
        if (constants.empty()) return out;
        out = EDeclarationHeader();
        for (const Declared& c : constants)
            out += EConstantLine(c.name, WhatTheWindowShows(c.stored).decimal) + "\r\n";
        return out;
    }
    if (language == Language::Delphi && !constants.empty()) out = "const\n";
    const Style style = StyleOf(language);
    for (const Declared& c : constants) out += Line(style, c) + "\n";
    return out;
}

}  // namespace finder
