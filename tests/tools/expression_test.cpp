#include <gtest/gtest.h>

#include <cstdint>

#include "tests/tools/eval_helper.h"

namespace constdb {
namespace {

struct Expect {
    const char* text;
    std::uint64_t raw;  // sign-extended for signed types
    IntType type;
};

void CheckAll(const std::vector<Expect>& cases, bool preprocessor = false) {
    testing::Evaluator ev;
    for (const Expect& e : cases) {
        EvalResult r = ev.Eval(e.text, preprocessor);
        ASSERT_TRUE(r.ok) << e.text << ": " << r.error;
        EXPECT_EQ(r.value.Raw(), e.raw) << e.text;
        EXPECT_EQ(r.value.Type().bits, e.type.bits) << e.text;
        EXPECT_EQ(r.value.Type().isUnsigned, e.type.isUnsigned) << e.text;
    }
}

void CheckErrors(const std::vector<std::pair<const char*, const char*>>& cases) {
    testing::Evaluator ev;
    for (const auto& [text, reason] : cases) {
        EvalResult r = ev.Eval(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.error, reason) << text;
    }
}

const IntType kInt = IntType::Int(), kUInt = IntType::UInt(), kLL = IntType::LongLong(), kULL = IntType::ULongLong();
constexpr std::uint64_t kMinus1 = ~std::uint64_t(0);

TEST(Expression, LiteralsTakeTheFirstTypeThatHoldsThem) {
    CheckAll({
        {"2147483647", 2147483647, kInt},
        {"2147483648", 2147483648u, kLL},  // decimal: never unsigned without U
        {"0x7FFFFFFF", 0x7FFFFFFF, kInt},
        {"0x80000000", 0x80000000u, kUInt},
        {"0x80000000L", 0x80000000u, kUInt},  // long is 32 bits
        {"0x100000000", 0x100000000u, kLL},
        {"0xFFFFFFFFFFFFFFFF", kMinus1, kULL},
        {"10u", 10, kUInt},
        {"10UL", 10, kUInt},
        {"10lu", 10, kUInt},
        {"10LL", 10, kLL},
        {"10ull", 10, kULL},
        {"10i64", 10, kLL},
        {"10ui64", 10, kULL},
        {"10i32", 10, kInt},
        {"077", 63, kInt},
        {"0", 0, kInt},
        {"0b101", 5, kInt},
        {"'a'", 97, kInt},
        {"'\\n'", 10, kInt},
        {"'\\xff'", kMinus1, kInt},  // plain char is signed
        {"L'\\xff'", 255, kInt},
        {"'ab'", 0x6162, kInt},
    });
}

TEST(Expression, BadLiteralsAreRejected) {
    CheckErrors({
        {"1.5", "not an integer"},
        {"1e3", "not an integer"},
        {"99999999999999999999", "bad literal"},
        {"0x", "bad literal"},
        {"12abc", "bad literal"},
        {"10lul", "bad literal"},
    });
}

TEST(Expression, CastsConvertLikeC) {
    CheckAll({
        {"(DWORD)-1", 0xFFFFFFFFu, kUInt},
        {"((DWORD)-1)", 0xFFFFFFFFu, kUInt},
        {"(WORD)-1", 65535, kInt},  // narrow types promote to int
        {"(SHORT)0xFFFF", kMinus1, kInt},
        {"(BYTE)0x1FF", 255, kInt},
        {"(unsigned char)300", 44, kInt},
        {"(char)0x80", std::uint64_t(-128), kInt},
        {"(LONG)0x80000000", std::uint64_t(INT32_MIN), kInt},
        {"(unsigned long long)-1", kMinus1, kULL},
        {"(ULONGLONG)-1", kMinus1, kULL},
        {"(HANDLE)-1", 0xFFFFFFFFu, kUInt},  // 32-bit pointers
        {"(struct foo *)16", 16, kUInt},
        {"(const DWORD)5", 5, kUInt},
        {"(int)(DWORD)-1", kMinus1, kInt},
        {"(DWORD)(WORD)-1", 65535, kUInt},
    });
    CheckErrors({
        {"(float)1", "not an integer"},
        {"(RECT)1", "not an integer"},
        {"(void)1", "not an integer"},
        {"(DWORD x)1", "unknown type"},
    });
}

TEST(Expression, UsualArithmeticConversionsWrapUnsigned) {
    CheckAll({
        {"0U - 1", 0xFFFFFFFFu, kUInt},
        {"0xFFFFFFFF + 1", 0, kUInt},
        {"-1 < 0U", 0, kInt},  // -1 becomes UINT_MAX
        {"-1 < 0", 1, kInt},
        {"-1 < 0x80000000", 0, kInt},
        {"-1LL < 0x80000000", 1, kInt},  // long long holds every unsigned int
        {"1 + 1U", 2, kUInt},
        {"1U + 1LL", 2, kLL},
        {"1LL + 1ULL", 2, kULL},
        {"2147483647 + 1", std::uint64_t(INT32_MIN), kInt},  // wraps as GCC folds it
        {"-0x80000000", 0x80000000u, kUInt},
        {"1 ? -1 : 0U", 0xFFFFFFFFu, kUInt},
        {"0 ? 1 : 2LL", 2, kLL},
        {"-7 / 2", std::uint64_t(-3), kInt},
        {"-7 % 2", kMinus1, kInt},
        {"7U / 2", 3, kUInt},
        {"(-9223372036854775807LL - 1) / -1", std::uint64_t(INT64_MIN), kLL},
        {"(-2147483647 - 1) / -1", std::uint64_t(INT32_MIN), kInt},
        {"(-2147483647 - 1) % -1", 0, kInt},
    });
}

TEST(Expression, ShiftsKeepTheLeftTypeAndRejectBadCounts) {
    CheckAll({
        {"1 << 31", std::uint64_t(INT32_MIN), kInt},
        {"1U << 31", 0x80000000u, kUInt},
        {"1LL << 32", 0x100000000u, kLL},
        {"1 << 3U", 8, kInt},
        {"-8 >> 1", std::uint64_t(-4), kInt},  // arithmetic, as GCC does
        {"0x80000000 >> 31", 1, kUInt},
        {"(DWORD)-1 >> 28", 15, kUInt},
        {"1 << 2 + 1", 8, kInt},  // + binds tighter
        {"0 && (1 << 40)", 0, kInt},
    });
    CheckErrors({
        {"1 << 32", "shift count out of range"},
        {"1 << -1", "shift count out of range"},
        {"1ULL << 64", "shift count out of range"},
        {"1 >> 32", "shift count out of range"},
    });
}

TEST(Expression, DivisionByZeroIsAnErrorOnlyWhereEvaluated) {
    CheckErrors({
        {"1 / 0", "division by zero"},
        {"5 % 0", "division by zero"},
        {"1 / (2 - 2)", "division by zero"},
        {"1 ? 1 / 0 : 0", "division by zero"},
    });
    CheckAll({
        {"0 && 1 / 0", 0, kInt},
        {"1 || 1 % 0", 1, kInt},
        {"1 ? 2 : 1 / 0", 2, kInt},
        {"0 ? 1 / 0 : 3", 3, kInt},
    });
}

TEST(Expression, OperatorsAndPrecedence) {
    CheckAll({
        {"~0", kMinus1, kInt},
        {"~0U", 0xFFFFFFFFu, kUInt},
        {"!5", 0, kInt},
        {"!0", 1, kInt},
        {"-(-3)", 3, kInt},
        {"+3", 3, kInt},
        {"(1|2|4)&~2", 5, kInt},
        {"3 ^ 1", 2, kInt},
        {"1 | 2 ^ 3 & 4", 3, kInt},
        {"2 + 3 * 4", 14, kInt},
        {"(2 + 3) * 4", 20, kInt},
        {"10 - 4 - 3", 3, kInt},  // left to right
        {"1 == 1 && 2 != 3", 1, kInt},
        {"3 >= 3 && 2 <= 1", 0, kInt},
        {"1 ? 2 ? 3 : 4 : 5", 3, kInt},
        {"Member + 1", 8, kInt},
    });
}

TEST(Expression, SizeofKnowsScalarsOnly) {
    CheckAll({
        {"sizeof(DWORD)", 4, kUInt},
        {"sizeof(char *)", 4, kUInt},
        {"sizeof(long long)", 8, kUInt},
        {"sizeof(WORD) * 2", 4, kUInt},
    });
    CheckErrors({
        {"sizeof(RECT)", "sizeof of a structure"},
        {"sizeof 1", "sizeof of an expression"},
        {"sizeof(x + 1)", "sizeof of an expression"},
    });
}

TEST(Expression, NonConstantsAreReportedByKind) {
    CheckErrors({
        {"", "empty definition"},
        {"\"abc\"", "not an integer"},
        {"L\"abc\"", "not an integer"},
        {"Unknown", "undefined identifier"},
        {"Func(1)", "function call"},
        {"1 +", "syntax error"},
        {"(1", "syntax error"},
        {"1 2", "syntax error"},
        {"{1, 2}", "syntax error"},
        {"1 ? 2", "syntax error"},
    });
}

TEST(Expression, DeepNestingFailsInsteadOfExhaustingTheStack) {
    testing::Evaluator ev;
    EXPECT_EQ(ev.Eval(std::string(900, '(') + "1" + std::string(900, ')')).value.Raw(), 1u);
    EXPECT_EQ(ev.Eval(std::string(100000, '(') + "1" + std::string(100000, ')')).error, "expression too deep");
    EXPECT_EQ(ev.Eval(std::string(100000, '~') + "1").error, "expression too deep");
}

TEST(Expression, PreprocessorRulesUseIntmaxAndZeroForUnknownNames) {
    CheckAll({
        {"Unknown == 0", 1, kInt},
        {"Unknown", 0, kLL},
        {"__has_builtin(__builtin_add_overflow)", 0, kLL},
        {"0xFFFFFFFF + 1", 0x100000000u, kULL},
        {"2147483647 + 1", 0x80000000u, kLL},
        {"-1 > 0u", 1, kInt},  // both become uintmax_t
    }, true);
}

TEST(Expression, HexOperandsAreNoticed) {
    testing::Evaluator ev;
    EXPECT_TRUE(ev.Eval("0x10 | 1").anyHex);
    EXPECT_TRUE(ev.Eval("(DWORD)0x1").anyHex);
    EXPECT_FALSE(ev.Eval("16 | 1").anyHex);
    EXPECT_FALSE(ev.Eval("010").anyHex);
}

}  // namespace
}  // namespace constdb
