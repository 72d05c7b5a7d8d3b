// How a definition's literals decide the value column's text: one hexadecimal
// literal keeps its digits, through parentheses, macros and calls of macros; a
// hexadecimal operand anywhere makes the text hexadecimal.
#include <gtest/gtest.h>

#include <map>

#include "tools/literal_notation.h"

namespace tools {
namespace {

// Tokens from text split at blanks: enough for these made-up definitions.
SourceTokens Tokens(const std::string& text) {
    SourceTokens out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string t = text.substr(at, end - at);
        at = end + 1;
        if (t.empty()) continue;
        SourceToken::Kind kind = SourceToken::Kind::Punctuation;
        if (std::isdigit(static_cast<unsigned char>(t[0]))) kind = SourceToken::Kind::Literal;
        else if (std::isalpha(static_cast<unsigned char>(t[0])) || t[0] == '_') kind = SourceToken::Kind::Identifier;
        out.push_back({kind, t});
    }
    return out;
}

class Notations : public ::testing::Test {
protected:
    // "NAME body" or "NAME ( a , b ) body", as a #define's tokens.
    void Define(const std::string& definition, bool functionLike = false) {
        const SourceTokens tokens = Tokens(definition);
        macros_[tokens[0].text] = MacroFromDefinition(tokens, functionLike);
    }
    Notation Of(const std::string& body) {
        NotationFinder finder([this](const std::string& n) {
            auto it = macros_.find(n);
            return it == macros_.end() ? nullptr : &it->second;
        });
        return finder.Of(Tokens(body));
    }
    std::string Text(const std::string& body, std::int64_t value) { return NotationText(IntValue::FromInt(value), Of(body)); }

    std::map<std::string, MacroTokens> macros_;
};

TEST_F(Notations, OneHexLiteralKeepsItsDigitsAsWritten) {
    EXPECT_EQ(Text("0x0001", 1), "0x0001");
    EXPECT_EQ(Text("( ( 0x0001 ) )", 1), "0x0001");
    EXPECT_EQ(Text("0X1fL", 31), "0x1f");  // prefix normalised, case of digits kept, suffix dropped
    EXPECT_EQ(Text("0x80000000UL", INT32_MIN), "0x80000000");  // the same 32 bits
    EXPECT_EQ(Text("0x10i64", 16), "0x10");
    EXPECT_EQ(Text("0xa00", 0xa00), "0xa00");
}

TEST_F(Notations, ComputedValuesWithAHexOperandAreHexadecimal) {
    EXPECT_EQ(Text("0x1 | 0x2", 3), "0x3");
    EXPECT_EQ(Text("- 0x10", -16), "0xFFFFFFF0");
    EXPECT_EQ(Text("( DWORD ) 0x0010", 16), "0x10");
    EXPECT_EQ(Text("1 << 4", 16), "16");
    EXPECT_EQ(Text("010", 8), "8");  // octal is not hexadecimal
    EXPECT_EQ(Text("", 0), "0");     // an enum member counting on
}

TEST_F(Notations, MacrosAreFollowedToTheirLiterals) {
    Define("WM_CREATE 0x0001");
    Define("ALIAS ( WM_CREATE )");
    Define("WS_CAPTION 0x00C00000L");
    Define("WS_OVERLAPPEDWINDOW ( WS_CAPTION | 1 )");
    Define("DECIMAL 12");
    EXPECT_EQ(Text("ALIAS", 1), "0x0001");
    EXPECT_EQ(Text("WS_OVERLAPPEDWINDOW", 0xC00001), "0xC00001");
    EXPECT_EQ(Text("DECIMAL + 1", 13), "13");
    EXPECT_EQ(Text("UNKNOWN_NAME", 5), "5");
}

TEST_F(Notations, ACallOfAMacroIsExpandedWithItsArguments) {
    Define("__MSABI_LONG ( x ) x ## L", true);
    Define("MB_SERVICE_NOTIFICATION __MSABI_LONG ( 0x00200000 )");
    Define("TWICE ( a , b ) ( a ) + ( b )", true);
    EXPECT_EQ(Text("MB_SERVICE_NOTIFICATION", 0x200000), "0x00200000");
    EXPECT_EQ(Text("( __MSABI_LONG ( 0x0004 ) )", 4), "0x0004");
    EXPECT_EQ(Text("TWICE ( 0x1 , 2 )", 3), "0x3");  // two operands: computed
    EXPECT_EQ(Text("TWICE ( 0x1 )", 3), "0x3");      // wrong argument count: no single literal
}

// mingw-w64's LVM_INSERTITEM is __MINGW_NAME_AW(LVM_INSERTITEM): LVM_INSERTITEMA, (LVM_FIRST + 7).
TEST_F(Notations, NamesPastedTogetherAreFollowed) {
    Define("__MINGW_NAME_AW ( func ) func ## A", true);
    Define("LVM_FIRST 0x1000");
    Define("LVM_INSERTITEMA ( LVM_FIRST + 7 )");
    Define("LVM_INSERTITEM __MINGW_NAME_AW ( LVM_INSERTITEM )");
    Define("PLAIN_A 5");
    Define("PLAIN __MINGW_NAME_AW ( PLAIN )");
    EXPECT_EQ(Text("LVM_INSERTITEM", 0x1007), "0x1007");
    EXPECT_EQ(Text("PLAIN", 5), "5");
    EXPECT_EQ(Text("__MINGW_NAME_AW", 5), "5");  // a function-like macro's name alone is not expanded
}

// An argument is expanded before it is substituted, unless it is pasted.
TEST_F(Notations, ArgumentsAreExpandedExceptWherePasted) {
    Define("_WIN32_WINNT 0xa00");
    Define("FROM_WINNT2 ( Version ) Version ## 0000", true);
    Define("FROM_WINNT ( Version ) FROM_WINNT2 ( Version )", true);
    Define("NTDDI_VERSION FROM_WINNT ( _WIN32_WINNT )");
    EXPECT_EQ(Text("NTDDI_VERSION", 0xa000000), "0xa000000");
    EXPECT_EQ(Text("FROM_WINNT2 ( _WIN32_WINNT )", 0xa000000), "0xA000000");  // pasted as written: no literal
}

TEST_F(Notations, AParameterIsNotTheMacroOfTheSameName) {
    Define("x 0x10");
    Define("SHIFT ( x ) ( ( x ) << 1 )", true);
    EXPECT_EQ(Text("SHIFT ( 3 )", 6), "6");
    Define("HEX_INSIDE ( v ) ( ( v ) | 0x100 )", true);
    EXPECT_EQ(Text("HEX_INSIDE ( 1 )", 0x101), "0x101");
}

TEST_F(Notations, SelfReferenceAndCyclesEndWithoutALiteral) {
    Define("SELF SELF");
    Define("PING PONG");
    Define("PONG PING");
    EXPECT_EQ(Text("SELF", 7), "7");
    EXPECT_EQ(Text("PING | 0x0", 0), "0x0");
    EXPECT_FALSE(Of("PONG").anyHex);
}

// The compiler's value decides: a literal that is not the value is not shown as it.
TEST_F(Notations, ALiteralThatIsNotTheValueGivesWayToTheValue) {
    Define("REDEFINED 0x0002");
    EXPECT_EQ(Text("REDEFINED", 3), "0x3");
    EXPECT_EQ(NotationText(IntValue::Of(0x1FFFFFFFFull, IntType::LongLong()), Of("0x1FFFFFFFF")), "0x1FFFFFFFF");
    EXPECT_EQ(NotationText(IntValue::FromInt(1), Of("0x00000000000000000001")), "0x1");  // more digits than 64 bits
}

TEST(MacroFromDefinition, SplitsNameParametersAndBody) {
    const MacroTokens f = MacroFromDefinition(Tokens("F ( a , b ) a + b"), true);
    EXPECT_TRUE(f.functionLike);
    EXPECT_EQ(f.params, (std::vector<std::string>{"a", "b"}));
    ASSERT_EQ(f.body.size(), 3u);
    EXPECT_EQ(f.body[1].text, "+");
    const MacroTokens o = MacroFromDefinition(Tokens("O ( a )"), false);
    EXPECT_TRUE(o.params.empty());
    EXPECT_EQ(o.body.size(), 3u);  // an object-like macro whose body is parenthesised
    EXPECT_TRUE(MacroFromDefinition(Tokens("EMPTY"), false).body.empty());
    EXPECT_TRUE(MacroFromDefinition(Tokens("G ( )"), true).params.empty());
}

}  // namespace
}  // namespace tools
