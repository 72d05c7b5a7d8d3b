// The file the build ships, read back by mdbtools and by the project's reader: the
// value most sources give first, every source's names there, written as headers
// write them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <unordered_map>

#include "tests/support/jet_reader.h"
#include "tests/tools/run_command.h"
#include "jet/utf.h"
#include "tools/sdk_constants.h"
#include "tools/value_text.h"

#if defined(QALOMIR_CONSTANTS_DB) && defined(QALOMIR_SDK_CONSTANTS)

namespace tools {
namespace {

struct Row {
    std::string value;
    std::string note;  // 备注: a header's file name or a namespace
};

// name -> its rows in file order, as mdb-export lists them.
using Rows = std::unordered_map<std::string, std::vector<Row>>;

// Names and values hold no quote or comma, so the CSV splits on the quoted commas.
bool ExportRows(Rows& rows, std::size_t& count) {
    std::string csv = RunCommand(std::string("mdb-export '") + QALOMIR_CONSTANTS_DB + "' api_const");
    if (csv.compare(0, csv.find('\n'), "宏或常量名,常量值,备注") != 0) return false;
    count = 0;
    for (std::size_t at = csv.find('\n') + 1; at < csv.size();) {
        std::size_t end = csv.find('\n', at);
        if (end == std::string::npos) end = csv.size();
        const std::string line = csv.substr(at, end - at);
        at = end + 1;
        const std::size_t a = line.find("\",\""), b = line.find("\",\"", a + 3);
        if (line.size() < 2 || a == std::string::npos || b == std::string::npos) return false;
        rows[line.substr(1, a - 1)].push_back({line.substr(a + 3, b - a - 3), line.substr(b + 3, line.size() - b - 4)});
        ++count;
    }
    return true;
}

class ShippedDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        sdk_ = new SdkConstants;
        sdkRead_ = ReadSdkConstants(QALOMIR_SDK_CONSTANTS, *sdk_, &error);
        rows_ = new Rows;
        exported_ = !RunCommand("command -v mdb-export").empty() && ExportRows(*rows_, rowCount_);
    }
    static void TearDownTestSuite() {
        delete sdk_;
        delete rows_;
    }
    void SetUp() override {
        ASSERT_TRUE(sdkRead_) << QALOMIR_SDK_CONSTANTS;
        if (RunCommand("command -v mdb-export").empty()) GTEST_SKIP() << "mdbtools not installed";
        ASSERT_TRUE(exported_) << "mdb-export could not read " << QALOMIR_CONSTANTS_DB;
    }
    static const Row* First(const std::string& name) {
        auto it = rows_->find(name);
        return it == rows_->end() ? nullptr : &it->second.front();
    }
    static SdkConstants* sdk_;
    static bool sdkRead_;
    static Rows* rows_;
    static bool exported_;
    static std::size_t rowCount_;
};

SdkConstants* ShippedDatabase::sdk_ = nullptr;
bool ShippedDatabase::sdkRead_ = false;
Rows* ShippedDatabase::rows_ = nullptr;
bool ShippedDatabase::exported_ = false;
std::size_t ShippedDatabase::rowCount_ = 0;

// The first row of a name is the one the program shows: the header's.
TEST_F(ShippedDatabase, HeaderRowsComeFirst) {
    EXPECT_GE(rows_->size(), 170000u);
    EXPECT_GE(rowCount_, rows_->size());
    const std::pair<const char*, const char*> known[] = {
        {"WM_CREATE", "0x0001"}, {"WS_OVERLAPPEDWINDOW", "0xCF0000"}, {"MB_YESNO", "0x00000004"},
        {"ERROR_FILE_NOT_FOUND", "2"}, {"E_FAIL", "0x80004005"}, {"INVALID_FILE_ATTRIBUTES", "4294967295"},
        {"_WIN32_WINNT", "0xa00"}, {"INADDR_BROADCAST", "0xFFFFFFFF"},
        {"LVM_INSERTITEM", "0x1007"},  // the ANSI message, where the metadata gives the Unicode one
        {"HWND_MESSAGE", "4294967293"},
    };
    for (const auto& [name, value] : known) {
        const Row* row = First(name);
        ASSERT_NE(row, nullptr) << name;
        EXPECT_EQ(row->value, value) << name;
        EXPECT_EQ(row->note.find("Windows.Win32."), std::string::npos) << name << ": " << row->note;
    }
}

std::uint64_t Number(const std::string& text);

// Values the compiler gives in the header's own unit, and the majority of the three
// sources, come first where the mingw-w64 headers alone did not.
TEST_F(ShippedDatabase, TheValueACompilerAndMostSourcesGiveComesFirst) {
    const struct {
        const char* name;
        std::uint64_t value;
        const char* note;
    } expected[] = {
        {"DISPID_A_OVERFLOWY", 0x80011414, "mshtmdid.h"},  // DISPID_XOBJ_MIN as mshtmdid.h defines it
        {"DISPID_XOBJ_BASE", 0x80010000, "mshtmdid.h"},
        {"STATUS_GRAPHICS_DRIVER_MISMATCH", 0xC01E0009, "ntstatus.h (Wine)"},  // Wine and the metadata against mingw-w64
        {"HDITEM_V1_SIZE", 0x1C, "commctrl.h"},            // a size the compiler knows
        {"OPENFILENAME_SIZE_VERSION_400", 76, "commdlg.h"},
        {"CBR_9600", 9600, "winbase.h"},                   // Wine's 16-bit 0xFF16 outvoted
        {"MB_SERVICE_NOTIFICATION", 0x00200000, "winuser.h"},
        {"IDC_ARROW", 32512, "winuser.h"},
        // Only Wine and the metadata, which disagree: the compiler's view of the
        // header wins (the metadata's 71023 lacks the top bit).
        {"DISPID_A_WEBKIT_BOXPACK", 0x8001156F, "mshtmdid.h (Wine)"},
    };
    for (const auto& e : expected) {
        const Row* row = First(e.name);
        ASSERT_NE(row, nullptr) << e.name;
        EXPECT_EQ(Number(row->value), e.value) << e.name << ": " << row->value;
        EXPECT_EQ(row->note, e.note) << e.name;
    }
    EXPECT_EQ(First("MB_SERVICE_NOTIFICATION")->value, "0x00200000");  // the header's digits
    const auto& mismatch = rows_->at("STATUS_GRAPHICS_DRIVER_MISMATCH");
    ASSERT_EQ(mismatch.size(), 2u);
    EXPECT_EQ(mismatch[1].value, "0x401E0117");  // mingw-w64's value stays, after
    EXPECT_EQ(mismatch[1].note, "ntstatus.h");
}

// Names neither the mingw-w64 headers nor the metadata give, from Wine's headers.
TEST_F(ShippedDatabase, NamesOnlyWinesHeadersGiveAreFound) {
    const std::pair<const char*, const char*> expected[] = {
        {"TWON_PROTOCOLMAJOR", "twain.h (Wine)"},
    };
    for (const auto& [name, note] : expected) {
        const Row* row = First(name);
        ASSERT_NE(row, nullptr) << name;
        EXPECT_EQ(row->note, note) << name;
    }
}

// Every integer name of the metadata is in the file, but for what the format cannot hold.
TEST_F(ShippedDatabase, HoldsTheMetadatasIntegerNames) {
    std::set<std::string> names, missing;
    std::map<std::string, std::size_t> leftOut;  // why -> names
    for (const SdkConstant& c : sdk_->constants) {
        if (!names.insert(c.name).second || rows_->count(c.name)) continue;
        missing.insert(c.name);
        ++leftOut[c.name.size() > 255 ? "name longer than the 255 characters of the column" : "unexplained: " + c.name];
    }
    const double share = 1.0 - double(missing.size()) / double(names.size());
    std::printf("metadata integer names: %zu, in the file: %zu (%.3f%%)\n", names.size(), names.size() - missing.size(),
                100.0 * share);
    for (const auto& [why, n] : leftOut) std::printf("  left out, %s: %zu\n", why.c_str(), n);
    EXPECT_GE(share, 0.995);
    for (const auto& [why, n] : leftOut) EXPECT_EQ(why.rfind("unexplained", 0), std::string::npos) << why;
}

// Names of the current SDK that the mingw-w64 headers lack: the metadata's row, or
// Wine's header's where it agrees.
TEST_F(ShippedDatabase, NamesTheMingwHeadersLackCarryTheOtherSourcesValues) {
    const struct {
        const char* name;
        const char* value;
        const char* space;
    } expected[] = {
        {"STATUS_TPM_SHA_ERROR", "0xC029001B", "Windows.Win32.Foundation"},
        {"ERROR_GRAPHICS_OPM_INVALID_HANDLE", "0xC026250C", "Windows.Win32.Foundation"},
        {"DISPLAYCONFIG_DEVICE_INFO_GET_MONITOR_SPECIALIZATION", "12", "Windows.Win32.Devices.Display"},
        {"WINHTTP_RESOLVER_CACHE_CONFIG_FLAG_USE_DNS_TTL", "4", "Windows.Win32.Networking.WinHttp"},
        {"D2D1_STRAIGHTEN_SCALE_MODE_MULTI_SAMPLE_LINEAR", "3", "Windows.Win32.Graphics.Direct2D"},
        {"TF_E_NOPROVIDER", "0x80040503", "Windows.Win32.UI.TextServices"},
        {"STATUS_ALREADY_INITIALIZED", "0xC0000510", "ntstatus.h (Wine)"},
        {"MF_MEDIA_ENGINE_EVENT_BALANCECHANGE", "1003", "mfmediaengine.h (Wine)"},
        {"BCRYPT_AES_GMAC_ALG_HANDLE", "0x111", "bcrypt.h (Wine)"},
        {"PARAFORMAT_SHADING_STYLE_LIGHT_UP_DIAG", "10", "Windows.Win32.UI.Controls.RichEdit"},
        {"ALLJOYN_PROP_ACCESS_READ", "1", "Windows.Win32.Devices.AllJoyn"},
        {"D3DNTHAL_CONTEXT_BAD", "512", "Windows.Win32.System.SystemServices"},
        {"INTENT_TO_SEAL_ATTRIBUTE_STRUCT", "2010", "Windows.Win32.Security.WinTrust"},
        {"ANY_CACHE_ENTRY", "0xFFFFFFFF", "Windows.Win32.Networking.WinInet"},
        {"FILE_INITIATE_REPAIR_HINT1_INVALID_LCN", "4294967296", "Windows.Win32.System.Ioctl"},
    };
    for (const auto& e : expected) {
        const Row* row = First(e.name);
        ASSERT_NE(row, nullptr) << e.name;
        EXPECT_EQ(row->value, e.value) << e.name;
        EXPECT_EQ(row->note, e.space) << e.name;
    }
}

// What the window shows for a value text, in decimal and in hexadecimal (without
// leading zeros: a header's spelling of those is not in the metadata).
std::pair<std::string, std::string> Shown(const std::string& text) {
    char hex[32];
    if (text.size() > 2 && text[1] == 'x') {
        const auto low = static_cast<std::uint32_t>(std::strtoull(text.c_str() + 2, nullptr, 16));
        std::snprintf(hex, sizeof hex, "%X", low);
        return {std::to_string(static_cast<std::int32_t>(low)), hex};
    }
    const double number = std::strtod(text.c_str(), nullptr);
    const auto low = std::fabs(number) < 9223372036854775808.0 ? static_cast<std::uint32_t>(static_cast<std::int64_t>(number)) : 0u;
    std::snprintf(hex, sizeof hex, "%X", low);
    return {text, hex};
}

std::uint64_t Number(const std::string& text) {
    return text.size() > 2 && text[1] == 'x' ? std::strtoull(text.c_str() + 2, nullptr, 16)
                                              : text[0] == '-' ? static_cast<std::uint64_t>(std::strtoll(text.c_str(), nullptr, 10))
                                              : std::strtoull(text.c_str(), nullptr, 10);
}

// The rule for a metadata row's text, checked on every name both sources give the same value.
TEST_F(ShippedDatabase, MetadataTextsShowAsTheirHeaderTwinsShow) {
    std::size_t pairs = 0, same = 0, sameText = 0;
    std::vector<std::string> unlike;
    for (const SdkConstant& c : sdk_->constants) {
        const Row* row = First(c.name);
        if (!row || row->note.rfind("Windows.Win32.", 0) == 0) continue;
        const std::uint64_t header = Number(row->value);
        if (header != c.value.Raw() && std::uint32_t(header) != std::uint32_t(c.value.Raw())) continue;
        const std::string text = SdkValueText(c.value, c.kind);
        ++pairs;
        sameText += text == row->value;
        if (Shown(text) == Shown(row->value)) ++same;
        else if (unlike.size() < 10) unlike.push_back(c.name + " " + row->value + " / " + text);
    }
    std::printf("pairs of equal value: %zu; shown alike: %zu (%.3f%%); same text: %zu\n", pairs, same, 100.0 * same / pairs, sameText);
    for (const std::string& u : unlike) std::printf("  unlike: %s\n", u.c_str());
    EXPECT_GE(pairs, 90000u);
    EXPECT_GE(double(same) / double(pairs), 0.999);
}

// The project's reader finds metadata rows through the file's index on the name.
TEST_F(ShippedDatabase, TheProjectsReaderFindsMetadataRowsByName) {
    std::string error;
    std::unique_ptr<jet::Database> db = jet::Database::Open(QALOMIR_CONSTANTS_DB, &error);
    ASSERT_TRUE(db) << error;
    const jet::Table* table = db->FindTable(u"api_const");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows.size(), rowCount_);
    EXPECT_TRUE(db->HasFileIndex(*table, 0));
    for (const char* name : {"STATUS_TPM_SHA_ERROR", "WM_CREATE", "D2D1_STRAIGHTEN_SCALE_MODE_MULTI_SAMPLE_LINEAR", "zzz_no_such_name"}) {
        std::vector<std::size_t> found = db->FindRowsEqual(*table, 0, jet::Value::FromText(jet::Utf8ToUtf16(name)));
        const Row* row = First(name);
        ASSERT_EQ(found.empty(), row == nullptr) << name;
        if (!row) continue;
        EXPECT_EQ(jet::Utf16ToUtf8(table->rows[found[0]][1].text), row->value) << name;
        EXPECT_EQ(jet::Utf16ToUtf8(table->rows[found[0]][2].text), row->note) << name;
    }
}

}  // namespace
}  // namespace tools

#endif
