// Runs the collector over the real mingw-w64 headers and checks values a 32-bit
// Windows program is known to see.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "tools/build_database.h"

namespace constdb {
namespace {

class MingwHeaders : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        rows_ = new std::vector<Constant>(CollectConstantsFromFolders({kDefaultHeaderFolder}, &report_));
    }
    static void TearDownTestSuite() { delete rows_; }

    // The first row of a name: the one the query meets first.
    static const Constant* First(const std::string& name) {
        for (const Constant& c : *rows_)
            if (c.name == name) return &c;
        return nullptr;
    }
    static std::uint32_t Bits32(const std::string& name) {
        const Constant* c = First(name);
        EXPECT_NE(c, nullptr) << name;
        return c ? static_cast<std::uint32_t>(c->value.Raw()) : 0xDEADBEEF;
    }

    static std::vector<Constant>* rows_;
    static CollectReport report_;
};
std::vector<Constant>* MingwHeaders::rows_;
CollectReport MingwHeaders::report_;

TEST_F(MingwHeaders, KnownValues) {
    EXPECT_EQ(Bits32("WM_CREATE"), 1u);
    EXPECT_EQ(Bits32("WS_OVERLAPPEDWINDOW"), 13565952u);
    EXPECT_EQ(Bits32("MB_YESNO"), 4u);
    EXPECT_EQ(Bits32("ERROR_FILE_NOT_FOUND"), 2u);
    EXPECT_EQ(Bits32("E_FAIL"), 0x80004005u);
    EXPECT_EQ(Bits32("INVALID_FILE_ATTRIBUTES"), 0xFFFFFFFFu);
    EXPECT_EQ(Bits32("MAX_PATH"), 260u);
    EXPECT_EQ(Bits32("CW_USEDEFAULT"), 0x80000000u);
    EXPECT_EQ(Bits32("IDC_ARROW"), 32512u);
    EXPECT_EQ(Bits32("HKEY_LOCAL_MACHINE"), 0x80000002u);
    EXPECT_EQ(Bits32("INVALID_HANDLE_VALUE"), 0xFFFFFFFFu);
    EXPECT_EQ(Bits32("GWLP_USERDATA"), static_cast<std::uint32_t>(-21));
}

TEST_F(MingwHeaders, EnumMembersWithExplicitAndImplicitValues) {
    EXPECT_EQ(Bits32("COINIT_APARTMENTTHREADED"), 2u);  // explicit
    EXPECT_EQ(Bits32("VT_BSTR"), 8u);
    EXPECT_EQ(Bits32("SidTypeUser"), 1u);
    EXPECT_EQ(Bits32("SidTypeGroup"), 2u);  // implicit, counting on
    EXPECT_EQ(Bits32("SidTypeDomain"), 3u);
}

TEST_F(MingwHeaders, ValueTextsAsTheQueryReadsThem) {
    EXPECT_EQ(First("WM_CREATE")->valueText, "0x0001");
    EXPECT_EQ(First("WS_OVERLAPPEDWINDOW")->valueText, "0xCF0000");
    EXPECT_EQ(First("E_FAIL")->valueText, "0x80004005");
    EXPECT_EQ(First("INVALID_FILE_ATTRIBUTES")->valueText, "4294967295");
    EXPECT_EQ(First("ERROR_FILE_NOT_FOUND")->valueText, "2");
    EXPECT_EQ(First("WM_CREATE")->file, "winuser.h");
}

TEST_F(MingwHeaders, The32BitWindowsHValueComesFirst) {
    EXPECT_EQ(First("_WIN32_WINNT")->valueText, "0xa00");  // _mingw.h's default, not sdkddkver.h's fallback
    EXPECT_EQ(Bits32("MAX_CLASS_NAME"), 1024u);  // winnt.h's enum member, not correg.h's macro
    EXPECT_EQ(Bits32("_M_IX86"), 600u);          // i686
    const Constant* pointerSize = First("__SIZEOF_POINTER__");
    EXPECT_EQ(pointerSize, nullptr);  // the compiler's own macros are not header constants
}

// GCC itself, compiling a 32-bit program that includes <windows.h>, must agree with
// every value marked as the one such a program sees.
TEST_F(MingwHeaders, TheCrossCompilerAgreesOnWindowsHValues) {
    const char* gcc = "i686-w64-mingw32-gcc";
    if (std::system((std::string("command -v ") + gcc + " >/dev/null").c_str()) != 0) GTEST_SKIP() << "no " << gcc;
    std::random_device rd;
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("constdb-gcc-" + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    std::size_t checked = 0;
    {
        std::ofstream c(dir / "check.c");
        c << "#include <windows.h>\n";
        for (const Constant& k : *rows_) {
            if (!k.windowsH) continue;
            // Pointer constants convert to long long with sign extension; their 32 bits must match.
            std::string v = "(long long)" + std::to_string(k.value.Raw()) + "ULL";
            c << "_Static_assert((long long)(" << k.name << ") == " << v << " || (unsigned)(" << k.name
              << ") == (unsigned)" << v << ", \"" << k.name << "\");\n";
            ++checked;
        }
    }
    std::string log = (dir / "gcc.log").string();
    std::system((std::string(gcc) + " -fsyntax-only -w -fmax-errors=0 " + (dir / "check.c").string() + " >" + log + " 2>&1").c_str());
    std::ifstream in(log);
    std::string line, disagreements;
    std::size_t otherErrors = 0;
    while (std::getline(in, line)) {
        if (line.find("fatal error") != std::string::npos) FAIL() << line;
        if (line.find("static assertion failed") != std::string::npos) disagreements += line.substr(line.find('"')) + " ";
        else if (line.find("error:") != std::string::npos) ++otherErrors;  // pointer casts GCC will not fold
    }
    std::filesystem::remove_all(dir);
    EXPECT_GT(checked, 20000u);
    EXPECT_LT(otherErrors, 20u);
    EXPECT_EQ(disagreements, "");
}

TEST_F(MingwHeaders, EnoughNamesAndAReport) {
    EXPECT_GE(report_.names, 70000u);
    EXPECT_GT(report_.headersRead, 1000u);
    EXPECT_GT(report_.skipped["function-like macro"], 0u);
    EXPECT_EQ(report_.rows, rows_->size());
    std::string previous;
    for (const Constant& c : *rows_) {
        ASSERT_LE(previous, c.name);
        ASSERT_LE(c.name.size(), 255u);  // fits the name column
        previous = c.name;
    }
}

}  // namespace
}  // namespace constdb
