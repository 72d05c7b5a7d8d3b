// OpenWithProgram through ShellExecuteA, without starting a browser: an App
// Paths entry names a program that records how it was started. (Wine finds its
// own system32\iexplore.exe before any App Paths entry of that name, so the
// entry is made for a name of the test's own.)
#include <gtest/gtest.h>

#include <string>

#include "core/dialogs.h"
#include "tests/support/win_driver.h"

using namespace core;

namespace {

const char StandInName[] = "qalomir-test-browser.exe";
const std::string AppPathsKey =
    std::string("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + StandInName;

// An App Paths entry for the stand-in, removed again by its owner.
class AppPathEntry {
public:
    explicit AppPathEntry(const std::string& program) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, AppPathsKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        active_ = RegSetValueExA(key, nullptr, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(program.c_str()),
                                 static_cast<DWORD>(program.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~AppPathEntry() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathsKey.c_str()); }
    AppPathEntry(const AppPathEntry&) = delete;
    AppPathEntry& operator=(const AppPathEntry&) = delete;
    bool Active() const { return active_; }

private:
    bool active_ = false;
};

bool WaitForFile(const std::string& path, std::string* content) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (testsupport::ReadFileBytes(path, content) && !content->empty()) return true;
        Sleep(20);
    }
    return false;
}

}  // namespace

TEST(OpenWithProgram, FalseOnlyForAMissingProgram) {
    EXPECT_FALSE(OpenWithProgram("qalomir_no_such_program.exe", "x"));
}

TEST(OpenWithProgram, StartsTheRegisteredBrowserWithTheParameters) {
    const std::string recorder = testsupport::ExecutableDir() + "\\core_child.exe";
    const std::string record = testsupport::ExecutableDir() + "\\recorded-command-line.txt";
    DeleteFileA(record.c_str());
    AppPathEntry browser(recorder);
    ASSERT_TRUE(browser.Active());

    EXPECT_TRUE(OpenWithProgram(StandInName, "http://qalomir.test/forum?id=1"));
    std::string commandLine;
    ASSERT_TRUE(WaitForFile(record, &commandLine));
    EXPECT_NE(std::string::npos, commandLine.find("core_child.exe")) << commandLine;
    EXPECT_NE(std::string::npos, commandLine.find(" http://qalomir.test/forum?id=1")) << commandLine;
    DeleteFileA(record.c_str());
}
