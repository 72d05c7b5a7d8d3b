// qalomir-find over the built database: GUIDs, strings and property keys by
// name, by value in each form and by pattern, their JSON, the errors of
// malformed GUIDs, and the error texts under a decoded code.
#include <gtest/gtest.h>

#include "finder/command.h"

using namespace finder;

namespace {

std::string Find(const std::vector<std::string>& args, int status = kFound) {
    StringOutput out, err;
    EXPECT_EQ(RunFind(args, QALOMIR_CONSTANTS_DB, out, err), status) << err.text;
    return out.text + err.text;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(FinderKinds, TheIssuesValuesByName) {
    const std::pair<const char*, const char*> cases[] = {
        {"IID_IUnknown", "IID_IUnknown  {00000000-0000-0000-C000-000000000046}  iid  "},
        {"iid_idispatch", "IID_IDispatch  {00020400-0000-0000-C000-000000000046}  iid  "},
        {"CLSID_ShellLink", "CLSID_ShellLink  {00021401-0000-0000-C000-000000000046}  clsid  "},
        {"FOLDERID_Desktop", "FOLDERID_Desktop  {B4BFCC3A-DB2C-424C-B029-7FE99A87C641}  guid  "},
        {"PKEY_Title", "PKEY_Title  {F29F85E0-4FF9-1068-AB91-08002B27B3D9}, 2  propkey  "},
        {"SE_DEBUG_NAME", "SE_DEBUG_NAME  \"SeDebugPrivilege\"  string  "},
    };
    for (const auto& [name, line] : cases) {
        const std::string out = Find({name});
        EXPECT_EQ(out.rfind(line, 0), 0u) << out;
    }
    const std::string button = Find({"WC_BUTTON"});
    EXPECT_TRUE(Has(button, "WC_BUTTONA  \"Button\"")) << button;
    EXPECT_TRUE(Has(button, "WC_BUTTONW  \"Button\"")) << button;
    EXPECT_TRUE(Has(button, "WC_BUTTON is WC_BUTTONW where UNICODE is defined, WC_BUTTONA where it is not")) << button;
    // An integer name stays as it was; an unknown name is still not found.
    EXPECT_EQ(Find({"WM_CREATE"}).rfind("WM_CREATE  1  0x0001  winuser.h\n", 0), 0u);
    EXPECT_EQ(Find({"NO_SUCH_NAME_AT_ALL"}, kNotFound), "qalomir-find: no constant, function or type named 'NO_SUCH_NAME_AT_ALL'\n");
}

TEST(FinderKinds, AGuidByValueInEveryForm) {
    for (const char* q : {"{00000000-0000-0000-C000-000000000046}", "00000000-0000-0000-c000-000000000046",
                          "{0x00000000,0x0000,0x0000,{0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0x46}}",
                          "00 00 00 00 00 00 00 00 C0 00 00 00 00 00 00 46", "hex:00,00,00,00,00,00,00,00,c0,00,00,00,00,00,00,46"}) {
        const std::string out = Find({q});
        EXPECT_EQ(out.rfind("GUID {00000000-0000-0000-C000-000000000046}\n  IID_IUnknown ", 0), 0u) << q << "\n" << out;
    }
    // A format id finds its property keys.
    const std::string keys = Find({"F29F85E0-4FF9-1068-AB91-08002B27B3D9"});
    EXPECT_TRUE(Has(keys, "property keys of this format id:")) << keys;
    EXPECT_TRUE(Has(keys, "PKEY_Title ")) << keys;
    EXPECT_EQ(Find({"{00000000-0000-0000-0000-0000000000FF}"}, kNotFound), "GUID {00000000-0000-0000-0000-0000000000FF}\n  no names\n");
}

TEST(FinderKinds, MalformedGuidsExitWithTwoAndOneLine) {
    for (const char* q : {"{00000000-0000-0000-C000-00000000004}", "{0000000G-0000-0000-C000-000000000046}",
                          "{00000000-0000-0000-C000-000000000046", "00 00 00 00 00 00 00 00 C0 00 00 00 00 00 00"}) {
        StringOutput out, err;
        EXPECT_EQ(RunFind({q}, QALOMIR_CONSTANTS_DB, out, err), kFailed) << q;
        EXPECT_EQ(out.text, "");
        EXPECT_EQ(err.text.rfind("qalomir-find: malformed GUID: ", 0), 0u) << err.text;
        EXPECT_EQ(err.text.find('\n'), err.text.size() - 1) << err.text;
        EXPECT_TRUE(Has(err.text, "(argument 1)")) << err.text;
    }
}

TEST(FinderKinds, AStringByValueExactlyOrWithoutRegardToCase) {
    const std::string exact = Find({"\"SysListView32\""});
    EXPECT_TRUE(Has(exact, "  WC_LISTVIEWA  \"SysListView32\"")) << exact;
    EXPECT_EQ(Find({"\"syslistview32\""}, kNotFound), "string \"syslistview32\"\n  no names\n");
    EXPECT_TRUE(Has(Find({"-i", "\"syslistview32\""}), "WC_LISTVIEWA")) ;
    EXPECT_TRUE(Has(Find({"--ignore-case", "\"BUTTON\""}), "WC_BUTTONW"));
}

TEST(FinderKinds, PatternsAndJson) {
    const std::string some = Find({"IID_IShellL*", "--limit", "2"});
    EXPECT_TRUE(Has(some, "GUIDs, strings or property keys match 'IID_IShellL*'")) << some;
    const std::string json = Find({"--json", "PKEY_Title", "{00000000-0000-0000-C000-000000000046}", "\"Button\""});
    EXPECT_TRUE(Has(json, "{\"name\":\"PKEY_Title\",\"kind\":\"propkey\",\"source\":\"propkey.h\","
                          "\"value\":\"F29F85E0-4FF9-1068-AB91-08002B27B3D9\",\"pid\":2}"))
        << json;
    EXPECT_TRUE(Has(json, "\"kind\":\"guid\",\"found\":true,\"value\":\"00000000-0000-0000-C000-000000000046\"")) << json;
    EXPECT_TRUE(Has(json, "\"kind\":\"string\",\"found\":true,\"value\":\"Button\"")) << json;
}

TEST(FinderKinds, ADecodedCodeShowsTheDatabasesText) {
    const std::string out = Find({"0x80070005"});
#if defined(_WIN32)
    EXPECT_TRUE(Has(out, "(the system's FormatMessage)")) << out;
#else
    EXPECT_TRUE(Has(out, "    message: Access denied. (the database: kernelbase.dll (Wine))\n")) << out;
    EXPECT_TRUE(Has(Find({"0x80004005"}), "    message: Call failed. (the database: kernelbase.dll (Wine))\n"));
    EXPECT_TRUE(Has(Find({"--json", "0x8007000E"}), "\"message\":\"Out of memory.\",\"message_source\":\"the database: kernelbase.dll (Wine)\""));
#endif
}

}  // namespace
