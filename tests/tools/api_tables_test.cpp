// The functions and types tables: layouts by C's rules from the committed
// metadata, and a small set of tables written, then read back the way
// qalomir-find reads them (and by mdbtools).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include <map>

#include "jet/database_file.h"
#include "jet/utf.h"
#include "jet/writer.h"
#include "finder/api_file.h"
#include "finder/mapped_file.h"
#include "tests/tools/run_command.h"
#include "tools/api_tables.h"

namespace tools {
namespace {

#if defined(QALOMIR_SDK_TYPES)
class MetadataLayouts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sdk_ = new SdkTypes;
        std::string error;
        ASSERT_TRUE(ReadSdkTypes(QALOMIR_SDK_TYPES, *sdk_, &error)) << error;
    }
    static void TearDownTestSuite() { delete sdk_; }

    // "SIZE/ALIGN" on the target, or the reason there is none.
    static std::string SizeOf(const char* record, Target target) {
        LayoutRules rules(*sdk_, target);
        RecordLayout layout;
        std::string why;
        if (!rules.Layout(record, layout, &why)) return why;
        return std::to_string(layout.size) + "/" + std::to_string(layout.align);
    }
    static SdkTypes* sdk_;
};
SdkTypes* MetadataLayouts::sdk_ = nullptr;

TEST_F(MetadataLayouts, PointerSizedMembersAndPaddingFollowTheTarget) {
    EXPECT_EQ(SizeOf("RECT", Target::I686), "16/4");
    EXPECT_EQ(SizeOf("RECT", Target::X86_64), "16/4");
    // A DWORD, then a union of three structures holding pointer-sized members.
    EXPECT_EQ(SizeOf("INPUT", Target::I686), "28/4");
    EXPECT_EQ(SizeOf("INPUT", Target::X86_64), "40/8");
    // The members add up to 318; the record ends on a 4-byte boundary.
    EXPECT_EQ(SizeOf("WIN32_FIND_DATAA", Target::I686), "320/4");
    // A variable-length tail is one element, as the header declares it.
    EXPECT_EQ(SizeOf("TOKEN_GROUPS", Target::I686), "12/4");
    EXPECT_EQ(SizeOf("TOKEN_GROUPS", Target::X86_64), "24/8");
}

TEST_F(MetadataLayouts, PackingCapsAlignmentAndEachTargetTakesItsOwnCopy) {
    // #pragma pack(2): bfSize right after the 2-byte bfType.
    EXPECT_EQ(SizeOf("BITMAPFILEHEADER", Target::I686), "14/2");
    EXPECT_EQ(SizeOf("BITMAPFILEHEADER", Target::X86_64), "14/2");
    // setupapi.h packs to 1 on x86 only: two copies in the metadata.
    EXPECT_EQ(SizeOf("SP_DEVINFO_DATA", Target::I686), "28/1");
    EXPECT_EQ(SizeOf("SP_DEVINFO_DATA", Target::X86_64), "32/8");
    LayoutRules rules(*sdk_, Target::I686);
    RecordLayout layout;
    ASSERT_TRUE(rules.Layout("SP_DEVINFO_DATA", layout, nullptr));
    EXPECT_EQ(layout.fields[1].name, "ClassGuid");
    EXPECT_EQ(layout.fields[1].offset, 4u);
    EXPECT_EQ(layout.fields[1].size, 16u);
}
#endif

// A small metadata: a function, an A/W pair of records, an interface and its base,
// a callback, a typedef and an enum, and faults for the rules to find.
const char kSmallMetadata[] =
    "!source\twin32json\t1.0\tabc\n"
    "@Windows.Win32.Test\n"
    "T\tHWND\tIntPtr\t\n"
    "E\tSTYLE\tUInt32\tFlags\n"
    "F\tShowThing\tTEST.dll\tInt32\tSetLastError,Ansi\t\n"
    "P\thWnd\tHWND\tIn,Optional\n"
    "P\tpBox\tBOX*\tOut\n"
    "P\tstyle\tSTYLE\tIn\n"
    "S\tBOX\t0\t\n"
    "M\tkind\tByte\t\n"
    "M\towner\tHWND\t\n"
    "M\tinner\tBOX._u_e__Union\t\n"
    "U\tBOX._u_e__Union\t0\t\n"
    "M\tsmall\tInt16\t\n"
    "M\twide\tInt64\t\n"
    "S\tLOOP\t0\t\n"
    "M\tself\tLOOP\t\n"
    "S\tSTRANGER\t0\t\n"
    "M\tx\tNOWHERE\t\n"
    "C\tTHINGPROC\tInt32\t\t\n"
    "P\tparam0\tHWND\tIn\n"
    "I\tIBase\t00000000-0000-0000-C000-000000000046\t\n"
    "X\tFirst\tInt32\t\n"
    "X\tSecond\tInt32\t\n"
    "I\tIDerived\t11111111-2222-3333-4444-555555555555\tIBase\n"
    "X\tThird\tInt32\t\n"
    "P\tvalue\tUInt32\tIn\n";

class WrittenTables : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ParseSdkTypes(kSmallMetadata, sdk_, &error)) << error;
        // The compiler saw BOX on x86_64 only, with a field the metadata lacks.
        HeaderRecord box;
        box.header = "box.h";
        box.layout.size = 24;
        box.layout.align = 8;
        box.layout.fields = {{"kind", "BYTE", 0, 1}, {"owner", "HWND", 8, 8}, {"extra", "int", 16, 4}};
        x64_["BOX"] = box;
        // The headers declare ShowThing, and THINGPROC's name (not a DLL function).
        ASSERT_TRUE(ParseHeaderFunctions("!source\tmingw-w64\t\tclang\n"
                                         "F\tShowThing\tint\tcdecl\tvariadic\tthing.h\n"
                                         "P\tHWND\nP\tstruct tagBOX *\nP\tUINT\n"
                                         "F\tTHINGPROC\tint\tstdcall\t\tthing.h\nP\tHWND\n",
                                         functions_, &error))
            << error;
        tables_ = MakeApiTables(sdk_, {nullptr, &x64_}, report_, &functions_);
        path_ = (std::filesystem::temp_directory_path() / ("api_tables_" + std::to_string(::getpid()) + ".mdb")).string();
        ASSERT_TRUE(jet::WriteDatabase(path_, tables_, &error)) << error;
        mapped_ = finder::MappedFile::Open(path_, &error);
        ASSERT_TRUE(mapped_) << error;
        file_ = jet::DatabaseFile::Open(jet::PageSource(mapped_->Data(), mapped_->Size()), &error);
        ASSERT_TRUE(file_) << error;
        api_ = finder::ApiFile::Open(*file_, &error);
        ASSERT_TRUE(api_) << error;
    }
    void TearDown() override {
        api_.reset();
        file_.reset();
        mapped_.reset();
        std::remove(path_.c_str());
    }

    SdkTypes sdk_;
    HeaderFunctions functions_;
    HeaderRecords x64_;
    ApiTablesReport report_;
    std::vector<jet::Table> tables_;
    std::string path_;
    std::unique_ptr<finder::MappedFile> mapped_;
    std::unique_ptr<jet::DatabaseFile> file_;
    std::unique_ptr<finder::ApiFile> api_;
};

TEST_F(WrittenTables, AFunctionReadsBackWithItsParametersInOrder) {
    std::vector<finder::ApiFunction> found;
    ASSERT_TRUE(api_->Functions(u"SHOWTHING", found, nullptr));
    ASSERT_EQ(found.size(), 1u);
    const finder::ApiFunction& f = found[0];
    EXPECT_EQ(f.name, "ShowThing");
    EXPECT_EQ(f.dll, "TEST.dll");
    EXPECT_EQ(f.returns, "Int32");
    EXPECT_TRUE(f.setLastError);
    EXPECT_EQ(f.charset, "Ansi");
    EXPECT_EQ(f.space, "Windows.Win32.Test");
    ASSERT_EQ(f.params.size(), 3u);
    EXPECT_EQ(f.params[0].name + " " + f.params[0].type + " " + f.params[0].attrs, "hWnd HWND In,Optional");
    EXPECT_EQ(f.params[1].name + " " + f.params[1].type + " " + f.params[1].attrs, "pBox BOX* Out");
    EXPECT_EQ(f.params[2].name + " " + f.params[2].type + " " + f.params[2].attrs, "style STYLE In");
    // The headers' spelling, where they declare the function.
    EXPECT_EQ(f.cReturns, "int");
    EXPECT_EQ(f.cCall, "WINAPIV");
    EXPECT_TRUE(f.cVariadic);
    EXPECT_EQ(f.params[0].cType + "|" + f.params[1].cType + "|" + f.params[2].cType, "HWND|struct tagBOX *|UINT");
    EXPECT_EQ(report_.headerDeclared, 1u);
    EXPECT_EQ(report_.headerOtherCount, 0u);
    // Methods and callbacks are not functions of a DLL.
    EXPECT_TRUE(api_->Functions(u"First", found, nullptr));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(report_.functions, 1u);
    EXPECT_EQ(report_.methods, 3u);
    EXPECT_EQ(report_.params, 5u);
}

TEST_F(WrittenTables, ARecordHasTheCompilersLayoutWhereItHasOneAndCsRulesElsewhere) {
    std::vector<finder::ApiType> types;
    ASSERT_TRUE(api_->Types(u"box", types, nullptr));
    ASSERT_EQ(types.size(), 1u);
    const finder::ApiType& box = types[0];
    EXPECT_EQ(box.kind, finder::TypeKind::Struct);
    ASSERT_TRUE(box.i686 && box.x86_64);
    // i686 by C's rules: Byte, a 4-byte handle at 4, an 8-byte aligned union at 8.
    EXPECT_TRUE(box.i686->computed);
    EXPECT_EQ(box.i686->size, 16u);
    EXPECT_EQ(box.i686->align, 8u);
    ASSERT_EQ(box.i686->fields.size(), 3u);
    EXPECT_EQ(box.i686->fields[1].offset, 4u);
    EXPECT_EQ(box.i686->fields[2].offset, 8u);
    EXPECT_EQ(box.i686->fields[2].type, "BOX._u_e__Union");
    // x86_64 as the compiler laid it out: its fields win, and the difference is listed.
    EXPECT_FALSE(box.x86_64->computed);
    EXPECT_EQ(box.x86_64->size, 24u);
    ASSERT_EQ(box.x86_64->fields.size(), 3u);
    EXPECT_EQ(box.x86_64->fields[2].name, "extra");
    EXPECT_EQ(box.header, "box.h");
    EXPECT_EQ(report_.compiler[1], 1u);
    EXPECT_EQ(report_.otherFields[1], 1u);
    EXPECT_EQ(report_.otherSize[1], 0u);  // 24 both ways, by chance
    // The nested union is a record of its own.
    ASSERT_NE(api_->Find("BOX._u_e__Union"), nullptr);
    EXPECT_EQ(api_->Find("BOX._u_e__Union")->kind, finder::TypeKind::Union);
    EXPECT_EQ(api_->Find("BOX._u_e__Union")->i686->size, 8u);
}

TEST_F(WrittenTables, RecordsWithNoSizeAreLeftOutAndSaidWhy) {
    EXPECT_EQ(api_->Find("LOOP"), nullptr);
    EXPECT_EQ(api_->Find("STRANGER"), nullptr);
    EXPECT_EQ(report_.unsized[0], 2u);
    bool loop = false, stranger = false;
    for (const std::string& d : report_.differences) {
        loop = loop || d == "LOOP\ti686\tno layout: LOOP holds itself";
        stranger = stranger || d == "STRANGER\ti686\tno layout: no size for the type NOWHERE on i686";
    }
    EXPECT_TRUE(loop && stranger);
}

TEST_F(WrittenTables, OtherTypesKeepWhatTheyName) {
    const finder::ApiType* derived = api_->Find("IDerived");
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->iid, "11111111-2222-3333-4444-555555555555");
    EXPECT_EQ(derived->base, "IBase");
    ASSERT_EQ(derived->methods.size(), 1u);
    EXPECT_EQ(derived->methods[0].name, "Third");
    EXPECT_EQ(derived->methods[0].params.size(), 1u);
    EXPECT_EQ(api_->Find("IBase")->methods.size(), 2u);
    const finder::ApiType* proc = api_->Find("THINGPROC");
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(proc->kind, finder::TypeKind::Callback);
    EXPECT_EQ(proc->signature.returns, "Int32");
    ASSERT_EQ(proc->signature.params.size(), 1u);
    EXPECT_EQ(api_->Find("HWND")->target, "IntPtr");
    EXPECT_EQ(api_->Find("STYLE")->kind, finder::TypeKind::Enum);
    EXPECT_EQ(api_->Find("STYLE")->target, "UInt32");
    EXPECT_EQ(api_->Find("hwnd"), nullptr);  // Find is exact
}

TEST_F(WrittenTables, MdbToolsReadsTheParametersAndTheVtableSlots) {
    if (RunCommand("command -v mdb-export").empty()) GTEST_SKIP() << "mdbtools not installed";
    EXPECT_EQ(RunCommand("mdb-export '" + path_ + "' api_param"),
              "function_id,pos,symbol,type_text,attrs,c_type\n"
              "1,1,\"hWnd\",\"HWND\",\"In,Optional\",\"HWND\"\n"
              "1,2,\"pBox\",\"BOX*\",\"Out\",\"struct tagBOX *\"\n"
              "1,3,\"style\",\"STYLE\",\"In\",\"UINT\"\n"
              "2,1,\"param0\",\"HWND\",\"In\",\n"
              "5,1,\"value\",\"UInt32\",\"In\",\n");
    // Each interface's methods after its base's.
    const std::string functions = RunCommand("mdb-export -d '|' -Q '" + path_ + "' api_function");
    EXPECT_NE(functions.find("5|Third|method|IDerived|3|"), std::string::npos) << functions;
    EXPECT_NE(functions.find("3|First|method|IBase|1|"), std::string::npos) << functions;
}

// The headers' spelling goes only where it can be written and where the headers
// count the parameters as the metadata does; the file without those columns reads.
TEST(HeaderSpelling, OnlyWhereTheHeadersDeclareTheSameParameters) {
    SdkTypes sdk;
    HeaderFunctions headers;
    std::string error;
    ASSERT_TRUE(ParseSdkTypes("!source\twin32json\t1.0\tabc\n@Windows.Win32.Test\n"
                              "F\tFewer\tA.dll\tInt32\t\t\nP\ta\tInt32\tIn\nP\tb\tInt32\tIn\n"
                              "F\tUnnamed\tA.dll\tInt32\t\t\nP\ta\tVoid*\tIn\nP\tb\tUInt32\tIn\n"
                              "F\tOldStyle\tA.dll\tVoid\t\t\nP\ta\tInt32\tIn\n"
                              "F\tUndeclared\tA.dll\tVoid\t\t\n",
                              sdk, &error))
        << error;
    ASSERT_TRUE(ParseHeaderFunctions("!source\tmingw-w64\t\tclang\n"
                                     "F\tFewer\tLONG\tstdcall\t\ta.h\nP\tLONG\n"
                                     "F\tUnnamed\tstruct (unnamed struct at a.h:3:1)\tfastcall\t\ta.h\n"
                                     "P\tstruct (unnamed struct at a.h:1:1) *\nP\tDWORD\n"
                                     "F\tOldStyle\tvoid\tcdecl\tnoproto\ta.h\n",
                                     headers, &error))
        << error;
    ApiTablesReport report;
    const std::vector<jet::Table> tables = MakeApiTables(sdk, {nullptr, nullptr}, report, &headers);
    EXPECT_EQ(report.headerDeclared, 3u);
    EXPECT_EQ(report.headerOtherCount, 2u);  // Fewer, and OldStyle's f()
    // symbol -> c_returns c_call | each parameter's c_type
    std::map<std::int64_t, std::string> byId;
    for (const auto& row : tables[0].rows)
        byId[row[0].integer] = jet::Utf16ToUtf8(row[1].text) + " -> " +
                               (row[11].kind == jet::Value::Kind::Text ? jet::Utf16ToUtf8(row[11].text) : "-") + " " +
                               (row[12].kind == jet::Value::Kind::Text ? jet::Utf16ToUtf8(row[12].text) : "-") + " |";
    for (const auto& row : tables[1].rows)
        byId[row[0].integer] += " " + (row[5].kind == jet::Value::Kind::Text ? jet::Utf16ToUtf8(row[5].text) : "-");
    EXPECT_EQ(byId[1], "Fewer -> LONG WINAPI | - -");
    EXPECT_EQ(byId[2], "Unnamed -> - __fastcall | - DWORD");
    EXPECT_EQ(byId[3], "OldStyle -> void WINAPIV | -");
    EXPECT_EQ(byId[4], "Undeclared -> - - |");
}

TEST(HeaderSpelling, AFileWithoutTheColumnsReadsWithNoSpelling) {
    SdkTypes sdk;
    std::string error;
    ASSERT_TRUE(ParseSdkTypes("!source\twin32json\t1.0\tabc\n@Windows.Win32.Test\n"
                              "F\tPlain\tA.dll\tInt32\t\t\nP\ta\tInt32\tIn\n",
                              sdk, &error))
        << error;
    ApiTablesReport report;
    std::vector<jet::Table> tables = MakeApiTables(sdk, {nullptr, nullptr}, report);
    // As an older builder wrote them.
    for (jet::Table& t : tables) {
        const std::size_t keep = t.name == u"api_function" ? 11 : t.name == u"api_param" ? 5 : t.columns.size();
        t.columns.resize(keep);
        for (auto& row : t.rows) row.resize(keep);
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("api_tables_old_" + std::to_string(::getpid()) + ".mdb")).string();
    ASSERT_TRUE(jet::WriteDatabase(path, tables, &error)) << error;
    {
        auto mapped = finder::MappedFile::Open(path, &error);
        ASSERT_TRUE(mapped) << error;
        auto file = jet::DatabaseFile::Open(jet::PageSource(mapped->Data(), mapped->Size()), &error);
        ASSERT_TRUE(file) << error;
        auto api = finder::ApiFile::Open(*file, &error);
        ASSERT_TRUE(api) << error;
        std::vector<finder::ApiFunction> found;
        ASSERT_TRUE(api->Functions(u"Plain", found, &error)) << error;
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].cReturns + found[0].cCall + found[0].params.at(0).cType, "");
        EXPECT_FALSE(found[0].cVariadic);
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace tools
