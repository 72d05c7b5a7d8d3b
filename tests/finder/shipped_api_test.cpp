// qalomir-find's functions and types over the database the builder writes:
// the summaries and JSON of well-known names, and 易语言's declarations of a
// random sample of records held against their i686 C layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "finder/api_declarations.h"
#include "finder/api_file.h"
#include "finder/command.h"
#include "finder/constants_file.h"
#include "jet/utf.h"
#include "tests/finder/e_layout.h"
#include "tests/support/sample_seed.h"

using namespace finder;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome Find(const std::vector<std::string>& args) {
    StringOutput out, err;
    Outcome r;
    r.status = RunFind(args, QALOMIR_CONSTANTS_DB, out, err);
    r.out = out.text;
    r.err = err.text;
    return r;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(FinderShippedApi, AFunctionItsDllAndSignature) {
    const Outcome r = Find({"messageboxa"});
    EXPECT_EQ(r.status, kFound) << r.err;
    EXPECT_EQ(r.out,
              "MessageBoxA  function  USER32.dll  SetLastError\n"
              "  MESSAGEBOX_RESULT MessageBoxA([in, optional] HWND hWnd, [in, optional] PSTR lpText, "
              "[in, optional] PSTR lpCaption, [in] MESSAGEBOX_STYLE uType)\n");
    // Without its suffix: both, and which one UNICODE picks.
    const Outcome pair = Find({"MessageBox"});
    EXPECT_EQ(pair.status, kFound);
    EXPECT_TRUE(Has(pair.out, "MessageBoxA  function  USER32.dll")) << pair.out;
    EXPECT_TRUE(Has(pair.out, "MessageBoxW  function  USER32.dll")) << pair.out;
    EXPECT_TRUE(Has(pair.out, "MessageBox: MessageBoxA (ANSI) and MessageBoxW (Unicode); UNICODE picks MessageBoxW\n"))
        << pair.out;
}

TEST(FinderShippedApi, RecordsOnBothArchitecturesAndAnInterfacesIid) {
    EXPECT_TRUE(Has(Find({"RECT"}).out, "RECT  struct  i686: 16 bytes, align 4"));
    const std::string input = Find({"INPUT"}).out;
    EXPECT_TRUE(Has(input, "i686: 28 bytes, align 4")) << input;
    EXPECT_TRUE(Has(input, "x86_64: 40 bytes, align 8")) << input;
    const std::string unknown = Find({"IUnknown"}).out;
    EXPECT_TRUE(Has(unknown, "IUnknown  interface  IID 00000000-0000-0000-C000-000000000046  no base  3 methods"))
        << unknown;
    EXPECT_TRUE(Has(Find({"IDispatch"}).out, "IID 00020400-0000-0000-C000-000000000046  base IUnknown  4 methods"));
    EXPECT_TRUE(Has(Find({"WNDPROC"}).out, "WNDPROC  callback"));
    EXPECT_TRUE(Has(Find({"HWND"}).out, "HWND  typedef  IntPtr"));
}

TEST(FinderShippedApi, JsonCarriesEverything) {
    const std::string f = Find({"--json", "MessageBoxA"}).out;
    EXPECT_TRUE(Has(f, R"("api":[{"kind":"function","name":"MessageBoxA","dll":"USER32.dll","return":"MESSAGEBOX_RESULT",)"))
        << f;
    EXPECT_TRUE(Has(f, R"("params":[{"name":"hWnd","type":"HWND","attrs":"In,Optional"},)")) << f;
    const std::string t = Find({"--json", "RECT"}).out;
    EXPECT_TRUE(Has(t, R"("kind":"struct","name":"RECT",)")) << t;
    EXPECT_TRUE(Has(t, R"("layouts":{"i686":{"size":16,"align":4,)")) << t;
    EXPECT_TRUE(Has(t, R"({"name":"bottom","type":"Int32","offset":12,"size":4})")) << t;
    EXPECT_TRUE(Has(t, R"("x86_64":{"size":16,)")) << t;
}

TEST(FinderShippedApi, 易语言TakesTheAnsiFunctionOfAPair) {
    const Outcome r = Find({"--lang", "e", "MessageBox"});
    EXPECT_EQ(r.status, kFound);
    EXPECT_TRUE(Has(r.out, u8".DLL命令 MessageBoxA, ")) << r.out;
    EXPECT_FALSE(Has(r.out, "MessageBoxW")) << r.out;
    EXPECT_TRUE(Has(Find({"--lang", "c", "MessageBox"}).out, "MessageBoxW"));
}

TEST(FinderShippedApi, NotFoundIsSaidOnStandardErrorInEveryMode) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"NoSuchFunctionAtAll"},
                                                 {"--lang", "e", "NoSuchFunctionAtAll"},
                                                 {"--lang", "c", "NoSuchFunctionAtAll"},
                                                 {"--json", "NoSuchFunctionAtAll"}}) {
        const Outcome r = Find(args);
        EXPECT_EQ(r.status, kNotFound) << args[0];
        EXPECT_EQ(r.err, "qalomir-find: no constant, function or type named 'NoSuchFunctionAtAll'\n") << args[0];
    }
}

// Every .数据类型 易语言 is given, for a random sample of records, lies as the
// i686 C layout does: each member at its offset, padding filled, the size whole.
TEST(FinderShippedApi, 易语言DataTypesHaveTheI686LayoutOfASample) {
    std::string error;
    const auto constants = ConstantsFile::Open(QALOMIR_CONSTANTS_DB, &error);
    ASSERT_TRUE(constants) << error;
    const auto api = ApiFile::Open(constants->Database(), &error);
    ASSERT_TRUE(api) << error;
    const jet::DatabaseFile& file = constants->Database();
    const jet::StoredTable* types = file.Find(u"api_type");
    ASSERT_NE(types, nullptr);
    std::vector<std::string> records;
    ASSERT_TRUE(file.Scan(
        *types,
        [&](std::uint32_t, std::vector<jet::Value>& row) {
            // id, symbol, kind, arch: records of i686, not nested ones (they come with their parent)
            const std::string name = jet::Utf16ToUtf8(row[1].text);
            if (row[3].kind == jet::Value::Kind::Text && row[3].text == u"i686" && name.find('.') == std::string::npos)
                records.push_back(name);
            return true;
        },
        &error))
        << error;
    ASSERT_GT(records.size(), 10000u);
    std::mt19937 random(testsupport::SampleSeed());
    std::shuffle(records.begin(), records.end(), random);
    records.resize(300);
    std::size_t checked = 0;
    for (const std::string& name : records) {
        SCOPED_TRACE(name);
        const ApiType* type = api->Find(name);
        ASSERT_NE(type, nullptr);
        const ApiDeclaration d = DeclareApi(Language::E, Arch::I686, {}, {type}, *api);
        const auto layouts = finder_test::ELayouts(d.text);
        for (const std::string& declared : d.declared) {
            const ApiType* t = api->Find(declared);
            ASSERT_TRUE(t && t->i686) << declared;
            std::string flat = declared;
            std::replace(flat.begin(), flat.end(), '.', '_');
            ASSERT_TRUE(layouts.count(flat)) << flat << " not written";
            const finder_test::EType& e = layouts.at(flat);
            EXPECT_EQ(e.size, t->i686->size) << flat;
            if (t->kind == TypeKind::Union) continue;
            for (const ApiField& f : t->i686->fields) {
                if (f.bitWidth) continue;  // bit-fields share their unit's member
                ASSERT_TRUE(e.offsets.count(f.name)) << flat << "." << f.name;
                EXPECT_EQ(e.offsets.at(f.name), f.offset) << flat << "." << f.name;
            }
            ++checked;
        }
    }
    std::printf("%zu data types checked\n", checked);
}
