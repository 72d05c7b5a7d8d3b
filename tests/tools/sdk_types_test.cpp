// The metadata's functions and types: well-known records read back from the
// committed extract, every type it names declared in it, malformed lines refused
// with their number, and the type text at its edges.
#include <gtest/gtest.h>

#include <unordered_set>

#include "tools/sdk_types.h"

namespace tools {
namespace {

std::string Members(const std::vector<SdkMember>& members) {
    std::string s;
    for (const SdkMember& m : members) {
        s += m.name + " " + m.type;
        for (const std::string& a : m.attrs) s += (&a == &m.attrs[0] ? " " : ",") + a;
        s += "; ";
    }
    return s;
}

std::string Steps(const TypeText& t) {
    std::string s = t.name;
    for (const TypeStep& step : t.steps) s += step.kind == TypeStep::Pointer ? " ptr" : " array " + std::to_string(step.count);
    return s;
}

#ifdef QALOMIR_SDK_TYPES
class CommittedExtract : public testing::Test {
protected:
    static void SetUpTestSuite() {
        types_ = new SdkTypes;
        std::string error;
        read_ = ReadSdkTypes(QALOMIR_SDK_TYPES, *types_, &error);
        if (!read_) ADD_FAILURE() << error;
    }
    static void TearDownTestSuite() { delete types_; }
    void SetUp() override { ASSERT_TRUE(read_) << QALOMIR_SDK_TYPES; }

    template <typename T>
    static std::vector<const T*> All(const std::vector<T>& in, std::string_view name) {
        std::vector<const T*> found;
        for (const T& x : in)
            if (x.name == name) found.push_back(&x);
        return found;
    }
    template <typename T>
    static const T& One(const std::vector<T>& in, std::string_view name) {
        std::vector<const T*> found = All(in, name);
        EXPECT_EQ(found.size(), 1u) << name;
        if (found.empty()) throw std::runtime_error("no " + std::string(name));
        return *found[0];
    }
    static const std::string& Space(std::uint32_t space) { return types_->namespaces.at(space); }

    static SdkTypes* types_;
    static bool read_;
};
SdkTypes* CommittedExtract::types_ = nullptr;
bool CommittedExtract::read_ = false;

// The figures the metadata's version gives; another version changes them on purpose.
TEST_F(CommittedExtract, HoldsEveryKindOfRecordOfItsVersion) {
    EXPECT_EQ(types_->version, "31.0.4-preview");
    EXPECT_EQ(types_->commit.size(), 40u);
    EXPECT_EQ(types_->functions.size(), 17148u);
    EXPECT_EQ(types_->typedefs.size(), 248u);
    EXPECT_EQ(types_->enums.size(), 7005u);
    EXPECT_EQ(types_->callbacks.size(), 2636u);
    EXPECT_EQ(types_->interfaces.size(), 7579u);
    std::size_t structs = 0, unions = 0, nested = 0, archSpecific = 0, methods = 0;
    std::unordered_set<std::string> structNames;
    for (const SdkRecord& r : types_->records) {
        if (r.name.find('.') != std::string::npos) {
            ++nested;
            continue;
        }
        (r.isUnion ? unions : structs) += 1;
        if (!r.isUnion) structNames.insert(r.name);
        if (!r.isUnion && r.arches != 0) ++archSpecific;
    }
    for (const SdkInterface& i : types_->interfaces) methods += i.methods.size();
    EXPECT_EQ(structs, 11812u);
    EXPECT_EQ(structNames.size(), 11628u);
    EXPECT_EQ(archSpecific, 408u);
    EXPECT_EQ(unions, 159u);
    EXPECT_EQ(nested, 1744u);
    EXPECT_EQ(methods, 44524u);
}

TEST_F(CommittedExtract, FunctionsWithTheirParametersAndFlags) {
    const SdkFunction& box = One(types_->functions, "MessageBoxA");
    EXPECT_EQ(Space(box.space), "Windows.Win32.UI.WindowsAndMessaging");
    EXPECT_EQ(box.dll, "USER32.dll");
    // The metadata types the result as its enum (of Int32), not as int.
    EXPECT_EQ(box.returns, "MESSAGEBOX_RESULT");
    EXPECT_EQ(One(types_->enums, "MESSAGEBOX_RESULT").base, "Int32");
    EXPECT_EQ(box.flags, kSetLastError | kAnsi);
    EXPECT_EQ(box.arches, 0);
    EXPECT_EQ(Members(box.params),
              "hWnd HWND In,Optional; lpText PSTR In,Optional,Const; lpCaption PSTR In,Optional,Const; uType MESSAGEBOX_STYLE In; ");
    const SdkEnum& style = One(types_->enums, "MESSAGEBOX_STYLE");
    EXPECT_TRUE(style.flags);
    EXPECT_EQ(style.base, "UInt32");
    EXPECT_EQ(One(types_->functions, "MessageBoxW").flags, kSetLastError | kUnicode);

    // An array parameter keeps where its length comes from.
    EXPECT_EQ(Members(One(types_->functions, "Polyline").params), "hdc HDC In; apt POINT* In,Const,CountParam=2; cpt Int32 In; ");
    EXPECT_EQ(One(types_->functions, "ExitProcess").flags, kDoesNotReturn);
    EXPECT_EQ(One(types_->functions, "ExitProcess").returns, "Void");
}

TEST_F(CommittedExtract, TypedefsResolveHandlesAndStrings) {
    EXPECT_EQ(One(types_->typedefs, "HWND").type, "IntPtr");
    EXPECT_EQ(One(types_->typedefs, "PSTR").type, "Byte*");
    EXPECT_EQ(One(types_->typedefs, "PWSTR").type, "Char*");
    EXPECT_EQ(One(types_->typedefs, "BOOL").type, "Int32");
    EXPECT_EQ(One(types_->typedefs, "HRESULT").type, "Int32");
    EXPECT_EQ(One(types_->typedefs, "CHAR").type, "Byte");
    EXPECT_EQ(Space(One(types_->typedefs, "HWND").space), "Windows.Win32.Foundation");
}

TEST_F(CommittedExtract, RecordsWithFieldsArraysAndNestedTypes) {
    const SdkRecord& rect = One(types_->records, "RECT");
    EXPECT_FALSE(rect.isUnion);
    EXPECT_EQ(rect.pack, 0u);
    EXPECT_EQ(Members(rect.fields), "left Int32; top Int32; right Int32; bottom Int32; ");

    const SdkRecord& input = One(types_->records, "INPUT");
    EXPECT_EQ(Members(input.fields), "type INPUT_TYPE; Anonymous INPUT._Anonymous_e__Union; ");
    EXPECT_EQ(input.nested, std::vector<std::string>{"INPUT._Anonymous_e__Union"});
    const SdkRecord& inner = One(types_->records, "INPUT._Anonymous_e__Union");
    EXPECT_TRUE(inner.isUnion);
    EXPECT_EQ(inner.space, input.space);
    EXPECT_EQ(Members(inner.fields), "mi MOUSEINPUT; ki KEYBDINPUT; hi HARDWAREINPUT; ");

    const SdkRecord& find = One(types_->records, "WIN32_FIND_DATAA");
    ASSERT_EQ(find.fields.size(), 10u);
    EXPECT_EQ(Members({find.fields[8], find.fields[9]}), "cFileName CHAR[260]; cAlternateFileName CHAR[14]; ");
    // A variable-length tail (ANYSIZE_ARRAY) is an array of one.
    EXPECT_EQ(Members({One(types_->records, "TOKEN_GROUPS").fields.at(1)}), "Groups SID_AND_ATTRIBUTES[1]; ");

    // Packing where the metadata sets one.
    std::size_t packed = 0;
    for (const SdkRecord& r : types_->records) packed += r.pack != 0;
    EXPECT_GT(packed, 1000u);
}

TEST_F(CommittedExtract, ArchitectureSpecificRecordsComeOncePerArchitectureSet) {
    std::vector<const SdkRecord*> context = All(types_->records, "CONTEXT");
    ASSERT_EQ(context.size(), 3u);
    std::uint8_t seen = 0;
    for (const SdkRecord* r : context) {
        EXPECT_TRUE(r->arches == kArchX86 || r->arches == kArchX64 || r->arches == kArchArm64) << int(r->arches);
        seen |= r->arches;
    }
    EXPECT_EQ(seen, kArchX86 | kArchX64 | kArchArm64);
    // Each copy has its own nested records, with its architectures.
    std::vector<const SdkRecord*> union64 = All(types_->records, "CONTEXT._Anonymous_e__Union");
    ASSERT_EQ(union64.size(), 2u);
    EXPECT_EQ(union64[0]->arches | union64[1]->arches, kArchX64 | kArchArm64);

    EXPECT_EQ(One(types_->functions, "GetWindowLongPtrA").arches, kArchX64 | kArchArm64);
    EXPECT_EQ(One(types_->functions, "GetWindowLongA").arches, 0);
}

TEST_F(CommittedExtract, CallbacksAndInterfaces) {
    const SdkFunction& proc = One(types_->callbacks, "WNDPROC");
    EXPECT_EQ(proc.returns, "LRESULT");
    EXPECT_TRUE(proc.dll.empty());
    EXPECT_EQ(Members(proc.params), "param0 HWND In; param1 UInt32 In; param2 WPARAM In; param3 LPARAM In; ");

    const SdkInterface& unknown = One(types_->interfaces, "IUnknown");
    EXPECT_EQ(Space(unknown.space), "Windows.Win32.System.Com");
    EXPECT_EQ(unknown.iid, "00000000-0000-0000-C000-000000000046");
    EXPECT_EQ(unknown.base, "");
    ASSERT_EQ(unknown.methods.size(), 3u);
    EXPECT_EQ(unknown.methods[0].name + " " + unknown.methods[1].name + " " + unknown.methods[2].name, "QueryInterface AddRef Release");
    EXPECT_EQ(unknown.methods[0].returns, "HRESULT");
    EXPECT_EQ(Members(unknown.methods[0].params), "riid Guid* In,Const; ppvObject Void** Out,ComOutPtr; ");
    EXPECT_EQ(unknown.methods[2].returns, "UInt32");

    const SdkInterface& dispatch = One(types_->interfaces, "IDispatch");
    EXPECT_EQ(dispatch.iid, "00020400-0000-0000-C000-000000000046");
    EXPECT_EQ(dispatch.base, "IUnknown");
    ASSERT_EQ(dispatch.methods.size(), 4u);  // its own, after IUnknown's three
    EXPECT_EQ(dispatch.methods[0].name, "GetTypeInfoCount");
    // An interface's name is a pointer to it: ITypeInfo* is C's ITypeInfo**.
    EXPECT_EQ(Members(dispatch.methods[1].params), "iTInfo UInt32 In; lcid UInt32 In; ppTInfo ITypeInfo* Out; ");
}

// Each type any record uses is the metadata's native type or declared in the file;
// a nested type's reference names its outermost record.
TEST_F(CommittedExtract, EveryTypeNamedIsDeclared) {
    std::unordered_set<std::string> declared = {"Void",  "Boolean", "SByte",  "Byte",   "Int16",   "UInt16", "Int32", "UInt32",
                                                "Int64", "UInt64",  "Char",   "Single", "Double",  "String", "IntPtr", "UIntPtr",
                                                "Guid"};
    for (const SdkTypedef& t : types_->typedefs) declared.insert(t.name);
    for (const SdkRecord& r : types_->records) declared.insert(r.name);
    for (const SdkEnum& e : types_->enums) declared.insert(e.name);
    for (const SdkFunction& c : types_->callbacks) declared.insert(c.name);
    for (const SdkInterface& i : types_->interfaces) declared.insert(i.name);
    // WinRT types the metadata names without declaring them.
    std::unordered_set<std::string> undeclared;
    std::size_t checked = 0;
    auto check = [&](const std::string& text) {
        TypeText t;
        std::string error;
        ASSERT_TRUE(ParseTypeText(text, t, &error)) << error;
        if (!declared.count(t.name)) undeclared.insert(t.name);
        ++checked;
    };
    auto checkCall = [&](const SdkFunction& f) {
        check(f.returns);
        for (const SdkMember& p : f.params) check(p.type);
    };
    for (const SdkFunction& f : types_->functions) checkCall(f);
    for (const SdkFunction& f : types_->callbacks) checkCall(f);
    for (const SdkTypedef& t : types_->typedefs) check(t.type);
    for (const SdkRecord& r : types_->records)
        for (const SdkMember& m : r.fields) check(m.type);
    for (const SdkInterface& i : types_->interfaces) {
        if (!i.base.empty()) check(i.base);
        for (const SdkFunction& m : i.methods) checkCall(m);
    }
    EXPECT_GT(checked, 250000u);
    const std::unordered_set<std::string> winrt = {"ICompositionSurface",   "CompositionGraphicsDevice",   "CompositionCapabilities",
                                                   "DesktopWindowTarget",   "IPropertyValue",              "IGraphicsEffectSource",
                                                   "DispatcherQueueController"};
    EXPECT_EQ(undeclared, winrt);
}
#endif

// A small file with every kind of record, read back.
TEST(SdkTypesText, ReadsEveryRecordIntoItsPlace) {
    const std::string text =
        "# comment\n"
        "!source\twin32json\t31.0.4-preview\tabc\n"
        "@Windows.Win32.A\n"
        "F\tF1\tX.dll\tInt32\tSetLastError,Ansi\tX64,Arm64\n"
        "P\ta\tHWND\tIn,Optional\n"
        "P\tb\tByte*\t\n"
        "T\tHWND\tIntPtr\t\n"
        "S\tR\t4\tX86\n"
        "M\tx\tInt32\t\n"
        "U\tR._U\t0\tX86\n"
        "M\ty\tR._U._S\tConst\n"
        "S\tR._U._S\t0\tX86\n"
        "M\tz\tByte[4]\t\n"
        "S\tR._V\t0\tX86\n"
        "\n"
        "@Windows.Win32.B\n"
        "E\tE1\tUInt32\tFlags,Scoped\n"
        "C\tCB\tVoid\tCdecl\t\n"
        "P\tp\tVoid*\t\n"
        "I\tIA\t00000000-0000-0000-C000-000000000046\t\n"
        "X\tM1\tHRESULT\t\n"
        "P\tq\tIA*\tOut,ComOutPtr\n"
        "X\tM2\tUInt32\tPreserveSig,SpecialName\n"
        "I\tIB\t\tIA\n";
    SdkTypes t;
    std::string error;
    ASSERT_TRUE(ParseSdkTypes(text, t, &error)) << error;
    EXPECT_EQ(t.version, "31.0.4-preview");
    EXPECT_EQ(t.commit, "abc");
    EXPECT_EQ(t.namespaces, (std::vector<std::string>{"Windows.Win32.A", "Windows.Win32.B"}));
    ASSERT_EQ(t.functions.size(), 1u);
    EXPECT_EQ(t.functions[0].flags, kSetLastError | kAnsi);
    EXPECT_EQ(t.functions[0].arches, kArchX64 | kArchArm64);
    EXPECT_EQ(Members(t.functions[0].params), "a HWND In,Optional; b Byte*; ");
    ASSERT_EQ(t.records.size(), 4u);
    EXPECT_EQ(t.records[0].pack, 4u);
    EXPECT_EQ(t.records[0].nested, (std::vector<std::string>{"R._U", "R._V"}));
    EXPECT_EQ(t.records[1].nested, std::vector<std::string>{"R._U._S"});
    EXPECT_EQ(Members(t.records[1].fields), "y R._U._S Const; ");
    EXPECT_EQ(Members(t.records[2].fields), "z Byte[4]; ");
    EXPECT_TRUE(t.records[1].isUnion);
    ASSERT_EQ(t.enums.size(), 1u);
    EXPECT_TRUE(t.enums[0].flags && t.enums[0].scoped);
    EXPECT_EQ(t.enums[0].space, 1u);
    ASSERT_EQ(t.callbacks.size(), 1u);
    EXPECT_EQ(t.callbacks[0].flags, kCdecl);
    EXPECT_EQ(Members(t.callbacks[0].params), "p Void*; ");
    ASSERT_EQ(t.interfaces.size(), 2u);
    ASSERT_EQ(t.interfaces[0].methods.size(), 2u);
    EXPECT_EQ(Members(t.interfaces[0].methods[0].params), "q IA* Out,ComOutPtr; ");
    EXPECT_EQ(t.interfaces[0].methods[1].flags, kPreserveSig | kSpecialName);
    EXPECT_EQ(t.interfaces[1].iid, "");
    EXPECT_EQ(t.interfaces[1].base, "IA");
}

TEST(SdkTypesText, RefusesMalformedLinesWithTheirNumber) {
    const std::string head = "!source\twin32json\tv\t\n@N\n";  // lines 1 and 2
    const struct {
        const char* lines;
        const char* error;
    } cases[] = {
        {"Q\tx\n", "line 3: unknown record 'Q'"},
        {"FF\tx\n", "line 3: unknown record 'FF'"},
        {"F\tf\tA.dll\tInt32\t\n", "line 3: a function with 5 fields, not 6"},
        {"F\t\tA.dll\tInt32\t\t\n", "line 3: a function without a name"},
        {"F\tf\t\tInt32\t\t\n", "line 3: a function without a DLL"},
        {"F\tf\tA.dll\tInt 32\t\t\n", "line 3: type 'Int 32': unexpected ' ' at offset 3"},
        {"F\tf\tA.dll\tInt32\tStdcall\t\n", "line 3: unknown flag 'Stdcall'"},
        {"F\tf\tA.dll\tInt32\tSetLastError,\t\n", "line 3: unknown flag ''"},
        {"F\tf\tA.dll\tInt32\t\tX86,ARM\n", "line 3: unknown architecture 'ARM'"},
        {"F\tf\tA.dll\tInt32\t\t\nP\tp\tInt32\tIn,,Out\n", "line 4: an empty attribute"},
        {"F\tf\tA.dll\tInt32\t\t\nP\tp\tInt32\n", "line 4: parameter with 3 fields, not 4"},
        {"P\tp\tInt32\t\n", "line 3: a parameter outside its record"},
        {"S\tR\t0\t\nP\tp\tInt32\t\n", "line 4: a parameter outside its record"},
        {"I\tIA\t\t\nP\tp\tInt32\t\n", "line 4: a parameter outside its record"},
        {"F\tf\tA.dll\tInt32\t\t\nM\tm\tInt32\t\n", "line 4: a field outside its record"},
        {"S\tR\t0\t\nT\tT1\tInt32\t\nM\tm\tInt32\t\n", "line 5: a field outside its record"},
        {"X\tM\tInt32\t\n", "line 3: a method outside an interface"},
        {"S\tR\tx\t\n", "line 3: packing 'x' is not a number"},
        {"S\tR\t\t\n", "line 3: packing '' is not a number"},
        {"S\tR.A\t0\t\n", "line 3: nested record 'R.A' does not follow its parent"},
        {"S\tR\t0\t\nS\tQ\t0\t\nS\tR.A\t0\t\n", "line 5: nested record 'R.A' does not follow its parent"},
        {"E\tE1\tInt\t\n", "line 3: enum base 'Int' is not an integer type"},
        {"E\tE1\tInt32\tBits\n", "line 3: unknown enum flag 'Bits'"},
        {"I\tIA\t{00000000-0000-0000-C000-000000000046}\t\n", "line 3: IID '{00000000-0000-0000-C000-000000000046}' is not an upper-case GUID without braces"},
        {"I\tIA\t00000000-0000-0000-c000-000000000046\t\n", "line 3: IID '00000000-0000-0000-c000-000000000046' is not an upper-case GUID without braces"},
        {"I\tIA\t\tIB*\n", "line 3: base interface 'IB*' is not a name"},
        {"@\n", "line 3: an empty namespace"},
        {"!source\tother\tv\t\n", "line 3: expected !source, win32json, VERSION and COMMIT"},
    };
    for (const auto& c : cases) {
        SdkTypes t;
        std::string error;
        EXPECT_FALSE(ParseSdkTypes(head + c.lines, t, &error)) << c.lines;
        EXPECT_EQ(error, c.error) << c.lines;
    }
    SdkTypes t;
    std::string error;
    EXPECT_FALSE(ParseSdkTypes("T\tHWND\tIntPtr\t\n", t, &error));
    EXPECT_EQ(error, "line 1: a record before the first namespace");
}

TEST(SdkTypesText, ReadingAMissingFileNamesIt) {
    SdkTypes t;
    std::string error;
    EXPECT_FALSE(ReadSdkTypes("/no/such/sdk-types.tsv.gz", t, &error));
    EXPECT_NE(error.find("/no/such/sdk-types.tsv.gz"), std::string::npos) << error;
}

TEST(TypeTextGrammar, TakesNamesPointersAndArraysApart) {
    const struct {
        const char* text;
        const char* steps;
    } good[] = {
        {"Int32", "Int32"},
        {"_Anonymous_e__Union", "_Anonymous_e__Union"},
        {"INPUT._Anonymous_e__Union", "INPUT._Anonymous_e__Union"},
        {"A.B.C9*", "A.B.C9 ptr"},
        {"Void**", "Void ptr ptr"},
        {"RECT*[4]", "RECT ptr array 4"},  // an array of 4 pointers
        {"Byte[4][8]", "Byte array 4 array 8"},
        {"Byte[260]*", "Byte array 260 ptr"},
        {"Byte[1]", "Byte array 1"},
        {"Byte[4294967295]", "Byte array 4294967295"},
    };
    for (const auto& g : good) {
        TypeText t;
        std::string error;
        EXPECT_TRUE(ParseTypeText(g.text, t, &error)) << g.text << ": " << error;
        EXPECT_EQ(Steps(t), g.steps);
    }
    const struct {
        const char* text;
        const char* error;
    } bad[] = {
        {"", "type '': expected a name at offset 0"},
        {"*", "type '*': expected a name at offset 0"},
        {"[4]", "type '[4]': expected a name at offset 0"},
        {"9A", "type '9A': expected a name at offset 0"},
        {".A", "type '.A': expected a name at offset 0"},
        {"A.", "type 'A.': expected a name at offset 2"},
        {"A..B", "type 'A..B': expected a name at offset 2"},
        {"A.*", "type 'A.*': expected a name at offset 2"},
        {"A *", "type 'A *': unexpected ' ' at offset 1"},
        {"A*B", "type 'A*B': unexpected 'B' at offset 2"},
        {"A*.B", "type 'A*.B': unexpected '.' at offset 2"},
        {"A[4", "type 'A[4': '[' without ']'"},
        {"A[]", "type 'A[]': array size '' is not a number from 1 to 4294967295"},
        {"A[0]", "type 'A[0]': array size '0' is not a number from 1 to 4294967295"},
        {"A[04]", "type 'A[04]': array size '04' is not a number from 1 to 4294967295"},
        {"A[-1]", "type 'A[-1]': array size '-1' is not a number from 1 to 4294967295"},
        {"A[+1]", "type 'A[+1]': array size '+1' is not a number from 1 to 4294967295"},
        {"A[4x]", "type 'A[4x]': array size '4x' is not a number from 1 to 4294967295"},
        {"A[4294967296]", "type 'A[4294967296]': array size '4294967296' is not a number from 1 to 4294967295"},
        {"A]", "type 'A]': unexpected ']' at offset 1"},
    };
    for (const auto& b : bad) {
        TypeText t;
        std::string error;
        EXPECT_FALSE(ParseTypeText(b.text, t, &error)) << b.text;
        EXPECT_EQ(error, b.error);
    }
}

}  // namespace
}  // namespace tools
