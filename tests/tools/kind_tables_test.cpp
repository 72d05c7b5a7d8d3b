// api_kind_const and api_error_text: the merge of the sources of GUIDs, strings
// and property keys on small made-up ones, the counts of error names with a text,
// and a small file with both tables read back by mdbtools.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "tests/tools/run_command.h"
#include "tools/build_database.h"
#include "tools/kind_tables.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

KindConstants Parse(const std::string& text) {
    KindConstants k;
    std::string error;
    EXPECT_TRUE(ParseSdkKinds(text, k, &error)) << error;
    return k;
}

std::string Rows(const std::vector<KindRow>& rows) {
    std::string s;
    for (const KindRow& r : rows) s += r.name + "=" + r.value + "@" + r.source + " ";
    return s;
}

const char kA[] = "00000000-0000-0000-C000-000000000046";
const char kB[] = "00020400-0000-0000-C000-000000000046";

TEST(KindMerge, TheMajorityFirstThenTheHeadersBeforeTheMetadata) {
    const std::string g = "guid\t";
    const KindConstants mingw = Parse("@include/a.h\n" + g + "MAJ\t" + kA + "\n" + g + "TIE\t" + kA + "\n" + g + "SAME\t" + kA + "\n");
    const KindConstants wine = Parse("@windows/a.h\n" + g + "MAJ\t" + kB + "\n" + g + "TIE\t" + kB + "\n" + g + "SAME\t" + kA +
                                     "\n" + g + "WT\t" + kB + "\n");
    const KindConstants sdk = Parse("@N\n" + g + "MAJ\t" + kB + "\n" + g + "SAME\t" + kA + "\n" + g + "WT\t" + kA + "\n" + g +
                                    "TWICE\t" + kA + "\n@M\n" + g + "TWICE\t" + kB + "\n" + g + "TWICE\t" + kA + "\n");
    KindReport r;
    const std::vector<KindRow> rows =
        MergeKindSources({{"mingw-w64", true, &mingw}, {"Wine", true, &wine}, {"metadata", false, &sdk}}, r);
    EXPECT_EQ(Rows(rows), std::string("MAJ=") + kB + "@a.h (Wine) MAJ=" + kA + "@a.h SAME=" + kA + "@a.h TIE=" + kA +
                              "@a.h TIE=" + kB + "@a.h (Wine) TWICE=" + kA + "@N TWICE=" + kB + "@M WT=" + kB +
                              "@a.h (Wine) WT=" + kA + "@N ");
    EXPECT_EQ(r.decisions, (std::array<std::size_t, 3>{1, 1, 2}));  // SAME; MAJ; TIE and WT
    EXPECT_EQ(r.names, 5u);
    EXPECT_EQ(r.onlyHere, (std::vector<std::size_t>{0, 0, 1}));
    EXPECT_EQ(r.firstAgrees, (std::vector<std::size_t>{2, 3, 3}));  // mingw-w64 lost MAJ; Wine TIE; the metadata WT
    ASSERT_EQ(r.differences.size(), 3u);
    EXPECT_EQ(r.differences[0], std::string("MAJ\tmajority\t") + kB + "\tmingw-w64: " + kA + " (a.h)\tWine: " + kB +
                                    " (a.h (Wine))\tmetadata: " + kB + " (N)");
}

TEST(KindMerge, ValuesTooLongForTheColumnAreLeftOutAndCounted) {
    const KindConstants sdk = Parse("@N\nstring\tLONG\t" + std::string(256, 'x') + "\nstring\tFITS\t" + std::string(255, 'x') +
                                    "\nstring\t" + std::string(256, 'N') + "\tx\n");
    KindReport r;
    const std::vector<KindRow> rows = MergeKindSources({{"metadata", false, &sdk}}, r);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "FITS");
    EXPECT_EQ(r.tooLong, 2u);
    EXPECT_EQ(r.names, 1u);
}

TEST(KindMerge, TheValueIndexHoldsWhatJetCanIndexAndNullOtherwise) {
    const KindConstants sdk = Parse(std::string("@N\nstring\tA\tSysListView32\nstring\tB\t\xE4\xB8\xAD\nstring\tC\ta\\tb\n"));
    KindReport r;
    const jet::Table t = MakeKindTable(MergeKindSources({{"metadata", false, &sdk}}, r));
    ASSERT_EQ(t.rows.size(), 3u);
    ASSERT_EQ(t.columns.size(), 5u);
    EXPECT_EQ(t.rows[0][4].text, u"SysListView32");
    EXPECT_TRUE(t.rows[1][4].IsNull());  // not ASCII: no key in Jet's index
    EXPECT_EQ(t.rows[2][4].text, u"a\\tb");
}

TEST(ErrorCounts, EachKindOfNameCountsItsFirstRow) {
    ErrorTexts texts;
    std::string error;
    ASSERT_TRUE(ParseErrorTexts("00000005\tk.dll\tAccess denied.\n80004005\tk.dll\tCall failed.\n", texts, &error)) << error;
    const auto c = [](const char* name, std::int64_t v, IntType t) {
        return Constant{name, "", "", IntValue::Of(static_cast<std::uint64_t>(v), t)};
    };
    const IntType i32 = IntType::Int(), u32 = IntType::UInt();
    const std::vector<Constant> constants = {
        c("ERROR_ACCESS_DENIED", 5, i32),  c("ERROR_ACCESS_DENIED", 6, i32),  // the second row is not counted
        c("ERROR_X", 7, i32),          c("E_ACCESSDENIED", 0x80070005, u32), c("E_FAIL", 0x80004005, u32),
        c("MY_E_NONE", 0x80041234, u32), c("STATUS_ACCESS_VIOLATION", 0xC0000005, u32), c("S_OK", 0, i32),
        c("ERROR_BIG", 0x10000, i32),  // no Win32 code
    };
    const ErrorTextCounts n = CountErrorTexts(constants, texts);
    EXPECT_EQ(n.win32Names, 2u);
    EXPECT_EQ(n.win32WithText, 1u);
    EXPECT_EQ(n.hresultNames, 3u);
    EXPECT_EQ(n.hresultWithText, 2u);
    EXPECT_EQ(n.hresultThroughWin32, 1u);  // E_ACCESSDENIED: facility 7, code 5
    EXPECT_EQ(n.ntstatusNames, 1u);
    EXPECT_EQ(n.ntstatusWithText, 0u);
}

TEST(KindTables, MdbToolsReadsBothNewTables) {
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("constdb-kinds-" + std::to_string(rd()));
    fs::create_directories(dir);
    std::ofstream(dir / "headers.tsv") << "!source\tmingw-w64\tm 1\tclang\n@windows.h\nERROR_ACCESS_DENIED\ti32\t5\t5\twinerror.h\n";
    std::ofstream(dir / "kinds.tsv") << "@Windows.Win32.System.Com\niid\tIID_IUnknown\t" << kA
                                     << "\n@Windows.Win32.UI.Shell\npropkey\tPKEY_Title\tF29F85E0-4FF9-1068-AB91-08002B27B3D9\t2\n";
    std::ofstream(dir / "texts.tsv") << "00000005\tkernelbase.dll\tAccess denied.\nC0000005\tx.dll\tNT\n";
    BuildInputs in{(dir / "headers.tsv").string(), "", "", (dir / "kinds.tsv").string(), (dir / "texts.tsv").string()};
    BuildResult result;
    std::string error;
    const std::string db = (dir / "API常量.mdb").string();
    ASSERT_TRUE(BuildConstantsDatabase(in, db, result, &error)) << error;
    EXPECT_EQ(result.kinds.names, 2u);
    EXPECT_EQ(result.errorTextRows, 2u);
    EXPECT_EQ(result.errorCounts.win32WithText, 1u);
    if (RunCommand("command -v mdb-export").empty()) GTEST_SKIP() << "mdbtools not installed";
    EXPECT_EQ(RunCommand("mdb-export '" + db + "' api_kind_const"),
              std::string("symbol,value,kind,source,value_key\n\"IID_IUnknown\",\"") + kA + "\",\"iid\",\"Windows.Win32.System.Com\",\"" +
                  kA + "\"\n\"PKEY_Title\",\"F29F85E0-4FF9-1068-AB91-08002B27B3D9,2\",\"propkey\",\"Windows.Win32.UI.Shell\","
                       "\"F29F85E0-4FF9-1068-AB91-08002B27B3D9,2\"\n");
    EXPECT_EQ(RunCommand("mdb-export '" + db + "' api_error_text"),
              "code,text,source\n5,\"Access denied.\",\"kernelbase.dll (Wine)\"\n-1073741819,\"NT\",\"x.dll (Wine)\"\n");
    const std::string schema = RunCommand("mdb-schema --indexes '" + db + "' postgres");
    EXPECT_NE(schema.find("ON \"api_kind_const\" (\"symbol\")"), std::string::npos) << schema;
    EXPECT_NE(schema.find("ON \"api_kind_const\" (\"value_key\")"), std::string::npos) << schema;
    EXPECT_NE(schema.find("ON \"api_error_text\" (\"code\")"), std::string::npos) << schema;
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tools
