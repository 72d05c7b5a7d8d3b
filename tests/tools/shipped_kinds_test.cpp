// api_kind_const of the file the build ships: the values the issue names with
// the sources that give them, the headers' string widths, and the order of a
// name's rows.
#include <gtest/gtest.h>

#include <map>

#include "tests/support/jet_reader.h"
#include "jet/utf.h"

#if defined(QALOMIR_CONSTANTS_DB)

namespace tools {
namespace {

struct KindRow {
    std::string value, kind, source;
};

class ShippedKinds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        rows_ = new std::map<std::string, std::vector<KindRow>>;
        std::unique_ptr<jet::Database> db = jet::Database::Open(QALOMIR_CONSTANTS_DB, &error_);
        const jet::Table* table = db ? db->FindTable(u"api_kind_const") : nullptr;
        if (!table) return;
        for (const auto& r : table->rows)
            (*rows_)[jet::Utf16ToUtf8(r[0].text)].push_back(
                {jet::Utf16ToUtf8(r[1].text), jet::Utf16ToUtf8(r[2].text), jet::Utf16ToUtf8(r[3].text)});
    }
    static void TearDownTestSuite() { delete rows_; }
    void SetUp() override { ASSERT_FALSE(rows_->empty()) << error_; }

    static const std::vector<KindRow>& Rows(const std::string& name) {
        static const std::vector<KindRow> none;
        auto found = rows_->find(name);
        return found == rows_->end() ? none : found->second;
    }
    // Whether some row of the name comes from this source ("unknwn.h", "unknwn.h (Wine)", a namespace).
    static bool From(const std::string& name, const std::string& source) {
        for (const KindRow& r : Rows(name))
            if (r.source == source) return true;
        return false;
    }

    static std::map<std::string, std::vector<KindRow>>* rows_;
    static std::string error_;
};
std::map<std::string, std::vector<KindRow>>* ShippedKinds::rows_ = nullptr;
std::string ShippedKinds::error_;

TEST_F(ShippedKinds, TheIssuesValuesComeFirstWithTheHeaderThatGivesThem) {
    struct Expected {
        const char* name;
        const char* value;
        const char* kind;
        const char* header;  // the mingw-w64 header of the first row
    };
    const Expected expected[] = {
        // unknwn.h defines it too, under the guard unknwnbase.h, which <windows.h> includes, has set.
        {"IID_IUnknown", "00000000-0000-0000-C000-000000000046", "iid", "unknwnbase.h"},
        {"IID_IDispatch", "00020400-0000-0000-C000-000000000046", "iid", "oaidl.h"},
        {"CLSID_ShellLink", "00021401-0000-0000-C000-000000000046", "clsid", "shobjidl.h"},
        {"FOLDERID_Desktop", "B4BFCC3A-DB2C-424C-B029-7FE99A87C641", "guid", "knownfolders.h"},
        {"PKEY_Title", "F29F85E0-4FF9-1068-AB91-08002B27B3D9,2", "propkey", "propkey.h"},
        {"WC_BUTTONA", "Button", "stringA", "commctrl.h"},
        {"WC_BUTTONW", "Button", "stringW", "commctrl.h"},
        {"WC_BUTTON", "Button", "string", "commctrl.h"},  // UNICODE picks WC_BUTTONA or WC_BUTTONW
        {"WC_LISTVIEWW", "SysListView32", "stringW", "commctrl.h"},
        {"SE_DEBUG_NAME", "SeDebugPrivilege", "string", "winnt.h"},  // TEXT("SeDebugPrivilege")
    };
    for (const Expected& e : expected) {
        const std::vector<KindRow>& rows = Rows(e.name);
        ASSERT_FALSE(rows.empty()) << e.name;
        EXPECT_EQ(rows[0].value, e.value) << e.name;
        EXPECT_EQ(rows[0].kind, e.kind) << e.name;
        EXPECT_EQ(rows[0].source, e.header) << e.name;
        EXPECT_EQ(rows.size(), 1u) << e.name << ": every source agrees";
    }
}

TEST_F(ShippedKinds, EachSourcesNamesAreThere) {
    // The three sources' names: Wine's headers, the metadata's namespaces.
    EXPECT_TRUE(From("IID_IUnknown", "unknwnbase.h"));
    EXPECT_FALSE(From("IID_IUnknown", "unknwn.h (Wine)")) << "one row per distinct value";
    // Wine's headers alone: its own spelling of a class name.
    ASSERT_FALSE(Rows("IID_Properties").empty());
    EXPECT_EQ(Rows("IID_Properties")[0].source, "msado15_backcompat.h (Wine)") << "Wine's header wins a tie against the metadata";
    EXPECT_TRUE(From("WC_BUTTONA", "commctrl.h"));
    // The metadata's class ids are named as the headers name them.
    EXPECT_TRUE(Rows("ShellLink").empty());
    std::size_t wineOnly = 0, metadataOnly = 0, headerRows = 0;
    for (const auto& [name, rows] : *rows_) {
        const std::string& s = rows[0].source;
        headerRows += s.size() > 2 && s.compare(s.size() - 2, 2, ".h") == 0;
        wineOnly += s.size() > 9 && s.compare(s.size() - 9, 9, ".h (Wine)") == 0;
        metadataOnly += s.rfind("Windows.", 0) == 0;
    }
    EXPECT_GT(headerRows, 15000u);
    EXPECT_GT(wineOnly, 800u);
    EXPECT_GT(metadataOnly, 12000u);
}

}  // namespace
}  // namespace tools

#endif
