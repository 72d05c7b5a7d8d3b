#include <gtest/gtest.h>

#include "tests/tools/eval_helper.h"

namespace constdb {
namespace {

std::string Expanded(testing::Evaluator& ev, const std::string& text) { return JoinTokens(ev.Expand(text)); }

TEST(MacroExpander, ObjectLikeChainsExpandFully) {
    testing::Evaluator ev;
    ev.Define("WS_OVERLAPPED 0x00000000L");
    ev.Define("WS_CAPTION 0x00C00000L");
    ev.Define("WS_SYSMENU 0x00080000L");
    ev.Define("WS_MIX (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU)");
    EXPECT_EQ(Expanded(ev, "WS_MIX"), "(0x00000000L | 0x00C00000L | 0x00080000L)");
    EXPECT_EQ(ev.Eval("WS_MIX").value.Raw(), 0xC80000u);
}

TEST(MacroExpander, FunctionLikeMacrosTakeExpandedArguments) {
    testing::Evaluator ev;
    ev.Define("__LONG32 long");
    ev.Define("MAKE_HRESULT(sev,fac,code) ((long) (((unsigned __LONG32)(sev)<<31) | ((unsigned __LONG32)(fac)<<16) | ((unsigned __LONG32)(code))))");
    ev.Define("FACILITY_ITF 4");
    ev.Define("TWICE(x) ((x) + (x))");
    EvalResult r = ev.Eval("MAKE_HRESULT(1, FACILITY_ITF, 0x200)");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.value.Raw() & 0xFFFFFFFFu, 0x80040200u);
    EXPECT_TRUE(r.value.IsNegative());
    EXPECT_EQ(ev.Eval("TWICE(TWICE(3))").value.Raw(), 12u);
    EXPECT_EQ(ev.Eval("TWICE((1, 2) - 1)").ok, false);  // comma operator is not a constant here
    EXPECT_EQ(Expanded(ev, "TWICE"), "TWICE");  // a name without a call stays as it is
}

TEST(MacroExpander, PastingAndStringizing) {
    testing::Evaluator ev;
    ev.Define("__MSABI_LONG(x) x ## l");
    ev.Define("NAME_AW(func) func##A");
    ev.Define("MAKEINTRESOURCEA(i) ((unsigned long)((unsigned short)(i)))");
    ev.Define("MAKEINTRESOURCE NAME_AW(MAKEINTRESOURCE)");
    ev.Define("STR(x) #x");
    ev.Define("GLUE(a, b) a ## b");
    EXPECT_EQ(Expanded(ev, "__MSABI_LONG(0x80000000)"), "0x80000000l");
    // The pasted name is called with tokens that follow the expansion.
    EXPECT_EQ(ev.Eval("MAKEINTRESOURCE(32512)").value.Raw(), 32512u);
    EXPECT_EQ(Expanded(ev, "STR(a  \"b\")"), "\"a \\\"b\\\"\"");
    EXPECT_EQ(Expanded(ev, "GLUE(, 12)"), "12");  // an empty argument pastes to nothing
    EXPECT_EQ(Expanded(ev, "GLUE(12, )"), "12");
    EXPECT_EQ(Expanded(ev, "GLUE(+, -)"), "+ -");  // not one token: both kept
}

TEST(MacroExpander, SelfReferenceStopsAtTheHideSet) {
    testing::Evaluator ev;
    ev.Define("SELF SELF + 1");
    ev.Define("PING PONG");
    ev.Define("PONG PING");
    ev.Define("F(x) F(x) + 1");
    EXPECT_EQ(Expanded(ev, "SELF"), "SELF + 1");
    EXPECT_EQ(Expanded(ev, "PING"), "PING");
    EXPECT_EQ(Expanded(ev, "F(2)"), "F(2) + 1");
    EvalResult r = ev.Eval("SELF");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.subject, "SELF");
}

TEST(MacroExpander, VariadicArguments) {
    testing::Evaluator ev;
    ev.Define("FIRST(x, ...) x");
    ev.Define("SUM(...) (0 + __VA_ARGS__)");
    EXPECT_EQ(ev.Eval("FIRST(5, 6, 7)").value.Raw(), 5u);
    EXPECT_EQ(ev.Eval("SUM(1) ").value.Raw(), 1u);
    EXPECT_EQ(Expanded(ev, "SUM(1, 2)"), "(0 + 1, 2)");
}

TEST(MacroExpander, MalformedCallsFail) {
    testing::Evaluator ev;
    ev.Define("TWO(a, b) a + b");
    std::string error;
    EXPECT_TRUE(ev.Expand("TWO(1)", &error).empty());
    EXPECT_EQ(error, "wrong number of macro arguments");
    EXPECT_TRUE(ev.Expand("TWO(1, (2)", &error).empty());
    EXPECT_EQ(error, "unterminated macro call");
}

TEST(MacroExpander, RunawayExpansionStopsAtTheLimit) {
    testing::Evaluator ev;
    ev.Define("A0 1");
    for (int i = 1; i < 40; ++i)
        ev.Define("A" + std::to_string(i) + " A" + std::to_string(i - 1) + " + A" + std::to_string(i - 1));
    std::string error;
    EXPECT_TRUE(ev.Expand("A39", &error).empty());
    EXPECT_EQ(error, "expansion too large");
    EXPECT_EQ(ev.Eval("A4").value.Raw(), 16u);
}

TEST(MacroExpander, DeeplyNestedCallsFail) {
    testing::Evaluator ev;
    ev.Define("ID(x) x");
    std::string nested;
    for (int i = 0; i < 150; ++i) nested += "ID(";
    EXPECT_EQ(ev.Eval(nested + "7" + std::string(150, ')')).value.Raw(), 7u);
    nested.clear();
    for (int i = 0; i < 3000; ++i) nested += "ID(";
    std::string error;
    EXPECT_TRUE(ev.Expand(nested + "7" + std::string(3000, ')'), &error).empty());
    EXPECT_EQ(error, "macro arguments nested too deep");
}

TEST(MacroExpander, DefinitionsParseParametersAndBodies) {
    Macro m;
    ASSERT_TRUE(ParseDefine(Tokenize("F(a, b) a##b"), 0, m));
    EXPECT_TRUE(m.functionLike);
    EXPECT_EQ(m.params, (std::vector<std::string>{"a", "b"}));
    ASSERT_TRUE(ParseDefine(Tokenize("G (a) a"), 0, m));  // a blank before '(': object-like
    EXPECT_FALSE(m.functionLike);
    EXPECT_EQ(JoinTokens(m.body.Unpack()), "(a) a");
    ASSERT_TRUE(ParseDefine(Tokenize("V(fmt, args...) fmt"), 0, m));
    EXPECT_TRUE(m.variadic);
    EXPECT_FALSE(ParseDefine(Tokenize("F(1) x"), 0, m));
    EXPECT_FALSE(ParseDefine(Tokenize("(x)"), 0, m));
    ASSERT_TRUE(ParseDefine(Tokenize("EMPTY"), 0, m));
    EXPECT_TRUE(m.body.empty());
}

TEST(Tokenizer, SplicesLinesAndDropsComments) {
    Tokens t = Tokenize("#define A 1 /* one\ntwo */ + \\\n 2 // tail\nB");
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(JoinTokens(t, 0, 6), "#define A 1 + 2");
    EXPECT_FALSE(t[5].atLineStart);  // the block comment's newline does not end the line
    EXPECT_TRUE(t[6].atLineStart);
    Tokens q = Tokenize("don't\n'x' L\"s\" 0x1e+5 a<<=b");
    EXPECT_EQ(q[1].text, "'");  // an unterminated quote is a lone token
    EXPECT_EQ(q[3].kind, TokenKind::CharLiteral);
    EXPECT_EQ(q[4].kind, TokenKind::StringLiteral);
    EXPECT_EQ(q[5].text, "0x1e+5");  // one preprocessing number, as in C
    EXPECT_EQ(q[7].text, "<<=");
}

}  // namespace
}  // namespace constdb
