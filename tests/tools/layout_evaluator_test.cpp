// The compiler's layouts of made-up header folders: names from typedefs and tags,
// the metadata's names for nested records, bit-fields, packing, both targets, each
// header's own records once, and headers that do not compile.
#include <gtest/gtest.h>

#include "tests/tools/header_folder.h"
#include "tools/layout_evaluator.h"

namespace tools {
namespace {

struct Laid {
    HeaderLayouts layouts;
    bool ok = false;
    std::string error;

    const LayoutTarget& Target(const std::string& arch) const {
        static const LayoutTarget none;
        const LayoutTarget* t = FindTarget(layouts, arch);
        return t ? *t : none;
    }
    // "SIZE/ALIGN KIND HEADER TAG [ALIASES]" of a record, "-" when there is none.
    std::string Record(const std::string& name, const std::string& arch = "i686") const {
        const LayoutRecord* r = FindLayout(Target(arch), name);
        if (!r) return "-";
        std::string text = std::to_string(r->size) + "/" + std::to_string(r->align) + (r->isUnion ? " union " : " struct ") +
                           r->header + " " + r->tag;
        for (const std::string& a : r->aliases) text += " " + a;
        return text;
    }
    // "NAME@OFFSET+SIZE TYPE", with ":BIT:WIDTH" for a bit-field.
    std::vector<std::string> Fields(const std::string& name, const std::string& arch = "i686") const {
        std::vector<std::string> out;
        if (const LayoutRecord* r = FindLayout(Target(arch), name))
            for (const LayoutField& f : r->fields)
                out.push_back(f.name + "@" + std::to_string(f.offset) + "+" + std::to_string(f.size) + " " + f.type +
                              (f.bitField ? ":" + std::to_string(f.bit) + ":" + std::to_string(f.width) : ""));
        return out;
    }
    std::vector<std::string> Names(const std::string& arch = "i686") const {
        std::vector<std::string> out;
        for (const LayoutRecord& r : Target(arch).records) out.push_back(r.name);
        return out;
    }
};

Laid LayOut(const HeaderFolder& f, std::vector<std::string> defines = {}) {
    Laid l;
    l.ok = EvaluateLayouts({"test", "", {f.Path()}, std::move(defines), ""}, LayoutOptions{}, l.layouts, &l.error);
    return l;
}

using Strings = std::vector<std::string>;

TEST(LayoutEvaluator, RecordsAreNamedByTypedefElseTag) {
    HeaderFolder f;
    f.Write("windows.h",
            "typedef struct tagRECT { long left, top, right, bottom; } RECT, *PRECT;\n"
            "typedef RECT RECT_ALIAS;\n"                                   // another typedef's name: not an alias
            "typedef struct _GUID { unsigned long a; } GUID, UUID_ALIAS;\n"  // two names of the record itself
            "struct only_tag { char c; };\n"
            "typedef struct { short s; } NO_TAG;\n"
            "typedef struct later LATER;\nstruct later { int x; };\n"      // the typedef comes first
            "struct { int unnamed_variable_type; } variable;\n"            // no name: not a record of the headers
            "struct incomplete;\n");
    Laid l = LayOut(f);
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(l.Record("RECT"), "16/4 struct windows.h tagRECT");
    EXPECT_EQ(l.Fields("RECT"), (Strings{"left@0+4 long", "top@4+4 long", "right@8+4 long", "bottom@12+4 long"}));
    EXPECT_EQ(l.Record("GUID"), "4/4 struct windows.h _GUID UUID_ALIAS");
    EXPECT_EQ(l.Record("only_tag"), "1/1 struct windows.h only_tag");
    EXPECT_EQ(l.Record("NO_TAG"), "2/2 struct windows.h ");
    EXPECT_EQ(l.Record("LATER"), "4/4 struct windows.h later");
    EXPECT_EQ(l.Names(), (Strings{"GUID", "LATER", "NO_TAG", "RECT", "only_tag"}));
}

// The SDK metadata's names: INPUT, OVERLAPPED, DEVMODE, LARGE_INTEGER, MEM_EXTENDED_PARAMETER.
TEST(LayoutEvaluator, NestedRecordsWithoutATagAreNamedAsTheMetadataNamesThem) {
    HeaderFolder f;
    f.Write("windows.h",
            "typedef struct { int type; union { long long mi; int ki; }; } INPUT;\n"
            "typedef struct { void *Internal; union { struct { int Offset, OffsetHigh; }; void *Pointer; }; } OVERLAPPED;\n"
            "typedef struct { union { short a; char b; }; int mid; union { int c; }; struct { char d; }; } SEVERAL;\n"
            "typedef union { struct { unsigned LowPart; long HighPart; }; struct { unsigned LowPart; long HighPart; } u;"
            " long long QuadPart; } LARGE_INTEGER;\n"
            "typedef struct { struct { char x; short y; } pairs[3]; struct tagINNER { int z; } inner; } ARRAYS;\n");
    Laid l = LayOut(f);
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(l.Fields("INPUT"), (Strings{"type@0+4 int", "Anonymous@8+8 _Anonymous_e__Union"}));
    EXPECT_EQ(l.Record("INPUT._Anonymous_e__Union"), "8/8 union windows.h ");
    EXPECT_EQ(l.Fields("INPUT._Anonymous_e__Union"), (Strings{"mi@0+8 long long", "ki@0+4 int"}));
    EXPECT_EQ(l.Fields("OVERLAPPED._Anonymous_e__Union"), (Strings{"Anonymous@0+8 _Anonymous_e__Struct", "Pointer@0+4 void *"}));
    EXPECT_EQ(l.Fields("OVERLAPPED._Anonymous_e__Union._Anonymous_e__Struct"), (Strings{"Offset@0+4 int", "OffsetHigh@4+4 int"}));
    // Numbered where a record has several, structures and unions together.
    EXPECT_EQ(l.Fields("SEVERAL"), (Strings{"Anonymous1@0+2 _Anonymous1_e__Union", "mid@4+4 int", "Anonymous2@8+4 _Anonymous2_e__Union",
                                            "Anonymous3@12+1 _Anonymous3_e__Struct"}));
    EXPECT_EQ(l.Record("SEVERAL._Anonymous3_e__Struct"), "1/1 struct windows.h ");
    EXPECT_EQ(l.Fields("LARGE_INTEGER"),
              (Strings{"Anonymous@0+8 _Anonymous_e__Struct", "u@0+8 _u_e__Struct", "QuadPart@0+8 long long"}));
    EXPECT_EQ(l.Fields("LARGE_INTEGER._u_e__Struct"), (Strings{"LowPart@0+4 unsigned int", "HighPart@4+4 long"}));
    // An array of a type without a tag; a nested record with a tag is one of its own, as C declares it.
    EXPECT_EQ(l.Fields("ARRAYS"), (Strings{"pairs@0+12 _pairs_e__Struct[3]", "inner@12+4 struct tagINNER"}));
    EXPECT_EQ(l.Record("ARRAYS._pairs_e__Struct"), "4/2 struct windows.h ");
    EXPECT_EQ(l.Record("tagINNER"), "4/4 struct windows.h tagINNER");
}

TEST(LayoutEvaluator, BitFieldsFlexibleArraysAndPacking) {
    HeaderFolder f;
    f.Write("windows.h",
            "typedef struct { unsigned a : 3; unsigned : 2; unsigned b : 30; unsigned char c : 4; } BITS;\n"
            "typedef struct { int count; unsigned char data[]; } FLEX;\n"
            "#pragma pack(push, 1)\n"
            "typedef struct { char c; void *p; short s; } PACKED;\n"
            "#pragma pack(pop)\n"
            "typedef struct { char c; void *p; short s; } NATURAL;\n");
    Laid l = LayOut(f);
    ASSERT_TRUE(l.ok) << l.error;
    // Microsoft's bit-field layout: a field that does not fit its unit starts the next; the unnamed one is padding.
    EXPECT_EQ(l.Fields("BITS"), (Strings{"a@0+4 unsigned int:0:3", "b@4+4 unsigned int:0:30", "c@8+1 unsigned char:0:4"}));
    EXPECT_EQ(l.Record("BITS"), "12/4 struct windows.h ");
    EXPECT_EQ(l.Fields("FLEX"), (Strings{"count@0+4 int", "data@4+0 unsigned char[]"}));
    EXPECT_EQ(l.Record("PACKED"), "7/1 struct windows.h ");
    EXPECT_EQ(l.Record("PACKED", "x86_64"), "11/1 struct windows.h ");
    EXPECT_EQ(l.Fields("PACKED", "x86_64"), (Strings{"c@0+1 char", "p@1+8 void *", "s@9+2 short"}));
    EXPECT_EQ(l.Record("NATURAL"), "12/4 struct windows.h ");
    EXPECT_EQ(l.Record("NATURAL", "x86_64"), "24/8 struct windows.h ");
}

// mingw-w64's i686 time_t is 32-bit unless told otherwise; the SDK's is 64-bit.
TEST(LayoutEvaluator, TheDefinesAreGivenToEveryTarget) {
    HeaderFolder f;
    f.Write("windows.h",
            "#if !defined(_WIN64) && !defined(__MINGW_USE_VC2005_COMPAT)\ntypedef long time_t;\n#else\n"
            "typedef long long time_t;\n#endif\ntypedef struct { void *next; time_t t; } TIMED;\n");
    Laid mingw = LayOut(f);
    ASSERT_TRUE(mingw.ok) << mingw.error;
    EXPECT_EQ(mingw.Record("TIMED"), "8/4 struct windows.h ");
    EXPECT_EQ(mingw.Record("TIMED", "x86_64"), "16/8 struct windows.h ");
    Laid sdk = LayOut(f, kSdkAbiDefines);
    ASSERT_TRUE(sdk.ok) << sdk.error;
    EXPECT_EQ(sdk.Record("TIMED"), "16/8 struct windows.h ");
    EXPECT_EQ(sdk.Record("TIMED", "x86_64"), "16/8 struct windows.h ");
    EXPECT_EQ(sdk.layouts.defines, kSdkAbiDefines);
    ASSERT_EQ(sdk.layouts.targets.size(), 2u);
    EXPECT_EQ(sdk.layouts.targets[0].target, "i686-w64-mingw32");
    EXPECT_EQ(sdk.layouts.targets[1].target, "x86_64-w64-mingw32");
}

// <windows.h>'s records come from its own unit alone; a header's from its own unit
// before any other that includes it; a broken unit's valid records still count.
TEST(LayoutEvaluator, EachRecordOnceFromTheUnitThatSpeaksBestForIt) {
    HeaderFolder f;
    f.Write("windows.h", "typedef struct { int a; } BASE;\n");
    f.Write("a.h", "#include <shared.h>\ntypedef struct { SHARED s; BASE b; } A_OWN;\n");
    f.Write("shared.h", "#ifndef SHARED_H\n#define SHARED_H\ntypedef struct { char c[3]; } SHARED;\n#endif\n");
    f.Write("broken.h", "typedef struct { int x; } BEFORE_ERROR;\nunknown_type y;\ntypedef struct { no_such_type z; } INVALID;\n");
    Laid l = LayOut(f);
    ASSERT_TRUE(l.ok) << l.error;
    for (const char* arch : {"i686", "x86_64"}) {
        EXPECT_EQ(l.Names(arch), (Strings{"A_OWN", "BASE", "BEFORE_ERROR", "SHARED"})) << arch;
        EXPECT_EQ(l.Record("SHARED", arch), "3/1 struct shared.h ") << arch;
        EXPECT_EQ(l.Record("A_OWN", arch), "8/4 struct a.h ") << arch;
        const LayoutTarget& t = l.Target(arch);
        EXPECT_EQ(t.units, 4u);
        ASSERT_EQ(t.failed.size(), 1u);
        EXPECT_EQ(t.failed[0].header, "broken.h");
        EXPECT_EQ(t.failed[0].error, "broken.h:2: unknown type name 'unknown_type'");
    }
}

TEST(LayoutEvaluator, AFolderWithoutWindowsHIsRefused) {
    HeaderFolder f;
    f.Write("other.h", "struct s { int a; };\n");
    Laid l = LayOut(f);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.error, "no windows.h in " + f.Path());
}

}  // namespace
}  // namespace tools
