// The compiler's evaluation of made-up header folders: each header in its own
// unit after <windows.h>, what C types and casts make of values, headers that do
// not compile, and the second source given the first one's target version.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "tests/tools/header_folder.h"
#include "tests/tools/run_command.h"
#include "tools/header_sources.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

struct Evaluated {
    HeaderSource source;
    bool ok = false;
    std::string error;

    // "TEXT@file/unit" for each of a name's constants, in the file's order.
    std::vector<std::string> Of(const std::string& name) const {
        std::vector<std::string> out;
        for (const HeaderConstant& c : source.constants)
            if (c.name == name) out.push_back(c.text + "@" + source.files[c.file] + "/" + source.units[c.unit].header);
        return out;
    }
    const HeaderConstant* One(const std::string& name) const {
        for (const HeaderConstant& c : source.constants)
            if (c.name == name) return &c;
        return nullptr;
    }
    std::string UnitError(const std::string& header) const {
        for (const HeaderUnit& u : source.units)
            if (u.header == header) return u.error;
        return "(no unit)";
    }
};

Evaluated Evaluate(const HeaderFolder& f, std::vector<std::string> defines = {}, std::vector<std::string> only = {}) {
    Evaluated e;
    EvaluationOptions options;
    options.only = std::move(only);
    e.ok = EvaluateHeaders({"test", "", {f.Path()}, std::move(defines), ""}, options, e.source, &e.error);
    return e;
}

using Texts = std::vector<std::string>;

// The fault that put 0x11414 where 0x80011414 belongs: DERIVED is evaluated where
// its own header's XOBJ_MIN is in force, not the last one any header defines.
TEST(HeaderEvaluator, EachHeaderIsEvaluatedInItsOwnUnit) {
    HeaderFolder f;
    f.Write("windows.h", "#define BASE 0x10\n");
    f.Write("html.h", "#define XOBJ_MIN 0x80010000\n#define DERIVED (XOBJ_MIN + 0x1414)\n");
    f.Write("xml.h", "#define XOBJ_MIN 0x00010000\n#define XML_DERIVED (XOBJ_MIN + 1)\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.Of("DERIVED"), Texts{"0x80011414@html.h/html.h"});
    EXPECT_EQ(e.Of("XML_DERIVED"), Texts{"0x10001@xml.h/xml.h"});
    EXPECT_EQ(e.Of("XOBJ_MIN"), (Texts{"0x80010000@html.h/html.h", "0x00010000@xml.h/xml.h"}));
    EXPECT_EQ(e.Of("BASE"), Texts{"0x10@windows.h/windows.h"});  // <windows.h>'s names: its unit's alone
    ASSERT_EQ(e.source.units.size(), 3u);
    EXPECT_EQ(e.source.units[0].header, "windows.h");
}

TEST(HeaderEvaluator, SizesOffsetsAndPointerCastsAreEvaluatedForI686) {
    HeaderFolder f;
    f.Write("windows.h",
            "typedef struct { int a; char b[6]; long long c; } S;\n"
            "typedef void *HANDLE; typedef unsigned short WORD; typedef char *LPSTR;\n"
            "#define S_SIZE sizeof(S)\n"
            "#define C_OFFSET ((unsigned)&((S*)0)->c)\n"
            "#define POINTER_SIZE sizeof(void*)\n"
            "#define LONG_SIZE sizeof(long)\n"
            "#define INVALID ((HANDLE)(long)-1)\n"
            "#define ARROW ((LPSTR)((WORD)32512))\n"
            "#define ALL_WORD ((WORD)-1)\n"
            "#define BIG 0x100000000LL\n"
            "#define NEG (-5)\n"
            "#define UNSIGNED_NEG ((unsigned)-1)\n"
            "#define CHAR 'A'\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.Of("S_SIZE"), Texts{"24@windows.h/windows.h"});  // long long aligned to 8
    EXPECT_EQ(e.Of("C_OFFSET"), Texts{"16@windows.h/windows.h"});
    EXPECT_EQ(e.Of("POINTER_SIZE"), Texts{"4@windows.h/windows.h"});
    EXPECT_EQ(e.Of("LONG_SIZE"), Texts{"4@windows.h/windows.h"});
    EXPECT_EQ(e.Of("INVALID"), Texts{"4294967295@windows.h/windows.h"});
    EXPECT_EQ(e.Of("ARROW"), Texts{"32512@windows.h/windows.h"});
    EXPECT_EQ(e.Of("ALL_WORD"), Texts{"65535@windows.h/windows.h"});
    EXPECT_EQ(e.Of("BIG"), Texts{"0x100000000@windows.h/windows.h"});
    EXPECT_EQ(e.Of("NEG"), Texts{"-5@windows.h/windows.h"});
    EXPECT_EQ(e.Of("UNSIGNED_NEG"), Texts{"4294967295@windows.h/windows.h"});
    EXPECT_EQ(e.Of("CHAR"), Texts{"65@windows.h/windows.h"});
    ASSERT_NE(e.One("BIG"), nullptr);
    EXPECT_EQ(e.One("BIG")->value, IntValue::Of(0x100000000ull, IntType::LongLong()));
    EXPECT_EQ(e.One("INVALID")->value, IntValue::Of(0xFFFFFFFFu, IntType::UInt()));
}

TEST(HeaderEvaluator, OnlyIntegerConstantsAreKept) {
    HeaderFolder f;
    f.Write("windows.h",
            "typedef struct { unsigned long a; } GUID;\n"
            "#define TEXT_VALUE \"abc\"\n#define FLOATING 1.5\n#define FUNCTION(x) (x)\n#define EMPTY\n"
            "#define A_TYPE int\n#define BRACES { 1, 2 }\n#define STATEMENT do { } while (0)\n"
            "#define UNKNOWN no_such_name\n#define CALL FUNCTION(3)\n"
            "static const GUID guid = { 1 };\n#define A_GUID guid\n"
            "int variable;\n#define A_VARIABLE variable\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    Texts names;
    for (const HeaderConstant& c : e.source.constants) names.push_back(c.name);
    EXPECT_EQ(names, Texts{"CALL"});
    EXPECT_EQ(e.Of("CALL"), Texts{"3@windows.h/windows.h"});
}

TEST(HeaderEvaluator, EnumMembersTakeTheCompilersValues) {
    HeaderFolder f;
    f.Write("windows.h", "#define FIRST 0x10\n");
    f.Write("e.h", "typedef enum { A = FIRST, B, C = 0x0100, D = C << 1, E = -1 } E_T;\n"
                   "struct S { enum { INNER = 7 } kind; };\n"
                   "enum BIG { HUGE_ONE = 0x80000000 };\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.Of("A"), Texts{"0x10@e.h/e.h"});
    EXPECT_EQ(e.Of("B"), Texts{"17@e.h/e.h"});
    EXPECT_EQ(e.Of("C"), Texts{"0x0100@e.h/e.h"});
    EXPECT_EQ(e.Of("D"), Texts{"512@e.h/e.h"});
    EXPECT_EQ(e.Of("E"), Texts{"-1@e.h/e.h"});
    EXPECT_EQ(e.Of("INNER"), Texts{"7@e.h/e.h"});
    EXPECT_EQ(e.Of("HUGE_ONE"), Texts{"0x80000000@e.h/e.h"});
    EXPECT_EQ(e.One("HUGE_ONE")->value, IntValue::Of(0x80000000u, IntType::UInt()));
}

// A header that does not compile after <windows.h> is reported; what it defines
// still counts, behind whatever units that compiled give (see source_merge).
TEST(HeaderEvaluator, AHeaderThatDoesNotCompileIsReportedWithItsFirstError) {
    HeaderFolder f;
    f.Write("windows.h", "#define OK 1\n");
    f.Write("broken.h", "#define ONLY_BROKEN 7\nunknown_type x;\n#define AFTER_ERROR 8\n");
    f.Write("missing.h", "#define BEFORE 1\n#include <no_such_header.h>\n#define AFTER 2\n");
    f.Write("body.h", "#define IN_BODY 3\nstatic int f(void) { char sz[2]; int sz = 0; return sz; }\n");  // ratings.h
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.UnitError("windows.h"), "");
    EXPECT_EQ(e.UnitError("broken.h"), "broken.h:2: unknown type name 'unknown_type'");
    EXPECT_EQ(e.UnitError("missing.h"), "missing.h:2: 'no_such_header.h' file not found");
    EXPECT_EQ(e.UnitError("body.h"), "body.h:2: redefinition of 'sz' with a different type: 'int' vs 'char[2]'");
    EXPECT_EQ(e.Of("IN_BODY"), Texts{"3@body.h/body.h"});
    EXPECT_EQ(e.Of("ONLY_BROKEN"), Texts{"7@broken.h/broken.h"});
    EXPECT_EQ(e.Of("AFTER_ERROR"), Texts{"8@broken.h/broken.h"});
    EXPECT_EQ(e.Of("AFTER"), Texts{"2@missing.h/missing.h"});
}

// Wine's winioctl.h leaves a parenthesis open in one definition.
TEST(HeaderEvaluator, AnUnbalancedDefinitionDoesNotHideTheOnesAfterIt) {
    HeaderFolder f;
    f.Write("windows.h", "#define CTL(a, b) ((a) << 16 | (b))\n#define AAA 1\n#define BROKEN CTL(2, 3\n"
                         "#define INDIRECT BROKEN\n#define ZZZ 4\n#define ZZZ2 (ZZZ + 1)\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.Of("AAA"), Texts{"1@windows.h/windows.h"});
    EXPECT_EQ(e.Of("ZZZ"), Texts{"4@windows.h/windows.h"});
    EXPECT_EQ(e.Of("ZZZ2"), Texts{"5@windows.h/windows.h"});
    EXPECT_TRUE(e.Of("BROKEN").empty());
    EXPECT_TRUE(e.Of("INDIRECT").empty());
}

// Wine 8's CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS lacks its "|": a
// compiler rejects it, though clang's recovery would have read the first flag.
TEST(HeaderEvaluator, AMalformedExpressionHasNoValue) {
    HeaderFolder f;
    f.Write("windows.h", "#define F1 0x1\n#define F2 0x2\n#define MISSING_OR ( F1 F2 )\n#define TRAILING (F1 |)\n"
                         "#define EXTRA_PAREN (F1))\n#define NEXT (F1 | F2)\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_TRUE(e.Of("MISSING_OR").empty());
    EXPECT_TRUE(e.Of("TRAILING").empty());
    EXPECT_TRUE(e.Of("EXTRA_PAREN").empty());
    EXPECT_EQ(e.Of("NEXT"), Texts{"0x3@windows.h/windows.h"});
}

// A header several others include is evaluated where it speaks for itself.
TEST(HeaderEvaluator, ASharedHeadersNamesComeFromItsOwnUnitOnce) {
    HeaderFolder f;
    f.Write("windows.h", "");
    f.Write("shared.h", "#ifndef SHARED\n#define SHARED\n#define SHARED_VALUE 3\n#endif\n");
    f.Write("a.h", "#include <shared.h>\n");
    f.Write("sub/b.h", "#define MODE 2\n#include <shared.h>\n#define B_VALUE (SHARED_VALUE * MODE)\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.Of("SHARED_VALUE"), Texts{"3@shared.h/shared.h"});
    EXPECT_EQ(e.Of("B_VALUE"), Texts{"6@sub/b.h/sub/b.h"});
    Texts units;
    for (const HeaderUnit& u : e.source.units) units.push_back(u.header);
    EXPECT_EQ(units, (Texts{"windows.h", "a.h", "shared.h", "sub/b.h"}));
}

// mshtmdid.h's DISPID_IHTMLDOMCONSTRUCTORCOLLECTION_ATTR uses mshtml.h's DomConstructorAttr
// but does not include mshtml.h: a second unit includes it first.
TEST(HeaderEvaluator, NamesAHeaderUsesFromAnotherAreEvaluatedWithItIncludedFirst) {
    HeaderFolder f;
    f.Write("windows.h", "#define BASE 0x100\n");
    f.Write("defs.h", "enum { DEF_VALUE = 5 };\n#define DEF_MACRO 7\n");
    f.Write("uses.h", "#define ALONE (BASE + 1)\n#define USES (BASE + DEF_VALUE)\n#define USES_BOTH (DEF_VALUE + DEF_MACRO)\n"
                      "#define NEVER (NO_SUCH_NAME + 1)\n");
    Evaluated e = Evaluate(f);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.Of("ALONE"), Texts{"0x101@uses.h/uses.h"});
    EXPECT_EQ(e.Of("USES"), Texts{"0x105@uses.h/defs.h uses.h"});
    EXPECT_EQ(e.Of("USES_BOTH"), Texts{"12@uses.h/defs.h uses.h"});
    EXPECT_EQ(e.Of("DEF_VALUE"), Texts{"5@defs.h/defs.h"});  // the helper's names stay its own unit's
    EXPECT_TRUE(e.Of("NEVER").empty());
    EXPECT_EQ(e.UnitError("defs.h uses.h"), "");
    // A sample names such a unit as the file does.
    Evaluated sample = Evaluate(f, {}, {"defs.h uses.h"});
    ASSERT_TRUE(sample.ok) << sample.error;
    EXPECT_EQ(sample.Of("USES"), Texts{"0x105@uses.h/defs.h uses.h"});
    EXPECT_EQ(sample.Of("ALONE"), Texts{"0x101@uses.h/defs.h uses.h"});
}

TEST(HeaderEvaluator, TheCompilersOwnAndCommandLineMacrosAreNotTheHeaders) {
    HeaderFolder f;
    f.Write("windows.h", "#if VERSION >= 0x0600\n#define NEW_ENOUGH 1\n#endif\n#define SEES_X86 _X86_\n#define SEES_GNU __GNUC__\n");
    Evaluated e = Evaluate(f, {"VERSION=0x0601"});
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.Of("NEW_ENOUGH"), Texts{"1@windows.h/windows.h"});
    EXPECT_TRUE(e.Of("VERSION").empty());
    EXPECT_TRUE(e.Of("__i386__").empty());
    EXPECT_EQ(e.Of("SEES_X86"), Texts{"1@windows.h/windows.h"});  // i686 mingw-w64
    EXPECT_EQ(e.source.defines, Texts{"VERSION=0x0601"});
}

TEST(HeaderEvaluator, ASampleEvaluatesTheNamedHeadersOnly) {
    HeaderFolder f;
    f.Write("windows.h", "#define W 1\n");
    f.Write("a.h", "#define A 2\n");
    f.Write("b.h", "#define B 3\n");
    Evaluated e = Evaluate(f, {}, {"b.h", "not_here.h"});
    ASSERT_TRUE(e.ok) << e.error;
    ASSERT_EQ(e.source.units.size(), 2u);
    EXPECT_EQ(e.source.units[1].header, "b.h");
    EXPECT_TRUE(e.Of("A").empty());
    EXPECT_EQ(e.Of("B"), Texts{"3@b.h/b.h"});
}

TEST(HeaderEvaluator, AFolderWithoutWindowsHIsAFailure) {
    HeaderFolder f;
    f.Write("other.h", "#define X 1\n");
    Evaluated e = Evaluate(f);
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.error, "no windows.h in " + f.Path());
}

// Wine's headers see the target version mingw-w64's <windows.h> settles on.
TEST(HeaderSources, TheSecondSourceIsGivenTheFirstOnesVersion) {
    HeaderFolder mingw, wine;
    mingw.Write("windows.h", "#define _WIN32_WINNT 0x0601\n#define WINVER _WIN32_WINNT\n#define MINGW_ONLY 1\n");
    wine.Write("windows.h", "#if _WIN32_WINNT >= 0x0601\n#define SEVEN 1\n#endif\n#ifndef WINVER\n#define WINVER 0x0500\n#endif\n");
    HeaderConstants out;
    std::string error;
    ASSERT_TRUE(EvaluateHeaderSources({{mingw.Path()}, {wine.Path()}, "m 1", "w 2"}, {}, out, &error)) << error;
    ASSERT_EQ(out.sources.size(), 2u);
    EXPECT_EQ(out.sources[0].name, "mingw-w64");
    EXPECT_EQ(out.sources[0].package, "m 1");
    EXPECT_EQ(out.sources[1].name, "Wine");
    EXPECT_EQ(out.sources[1].defines, (Texts{"_WIN32_WINNT=0x601", "WINVER=0x601"}));
    ASSERT_EQ(out.sources[1].constants.size(), 1u);
    EXPECT_EQ(out.sources[1].constants[0].name, "SEVEN");
    EXPECT_NE(out.sources[0].compiler.find("i686-w64-mingw32, as GCC 12.0.0"), std::string::npos) << out.sources[0].compiler;
}

#if defined(QALOMIR_BUILD_CONSTANTS_DB)
// The command evaluates folders itself when it is given them.
TEST(HeaderSources, TheCommandBuildsFromFoldersItEvaluates) {
    HeaderFolder f;
    f.Write("windows.h", "#define WM_CREATE 0x0001\n");
    const std::string db = f.Path() + "/out.mdb";
    const std::string out = RunCommand(std::string(QALOMIR_BUILD_CONSTANTS_DB) + " --headers " + f.Path() + " --out " + db + " 2>&1");
    EXPECT_NE(out.find("wrote " + db + ": 1 names, 1 rows"), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(db));
    const std::string both = RunCommand(std::string(QALOMIR_BUILD_CONSTANTS_DB) + " --headers " + f.Path() +
                                        " --constants x.tsv.gz --out " + db + " 2>&1; echo exit=$?");
    EXPECT_NE(both.find("usage: build_constants_db"), std::string::npos) << both;
    EXPECT_NE(both.find("exit=2"), std::string::npos) << both;
}
#endif

}  // namespace
}  // namespace tools
