// HexTextToInt when shlwapi.dll or its StrToIntExA cannot be found: 0, and no
// call through an empty address. A per-program Wine DLL override makes the
// library missing, or a stand-in without the function, for one started copy.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/win_driver.h"

using namespace testsupport;

namespace {

bool RunningOnWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Wine's per-program DLL override, for programs of the given file name.
class NativeOnlyOverride {
public:
    NativeOnlyOverride(const std::string& programName, const char* library)
        : key_("Software\\Wine\\AppDefaults\\" + programName) {
        HKEY overrides = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &overrides, nullptr) != ERROR_SUCCESS)
            return;
        static const char native[] = "native";
        active_ = RegSetValueExA(overrides, library, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(native), sizeof native) == ERROR_SUCCESS;
        RegCloseKey(overrides);
    }
    ~NativeOnlyOverride() {
        RegDeleteKeyA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
    }
    NativeOnlyOverride(const NativeOnlyOverride&) = delete;
    NativeOnlyOverride& operator=(const NativeOnlyOverride&) = delete;
    bool Active() const { return active_; }

private:
    std::string key_;
    bool active_ = false;
};

DWORD ConvertInCopy(const TempDir& temp, bool withStandIn) {
    const std::string name = "qalomir-notation-" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string program = temp.File(name);
    if (!CopyFileTo(ExecutableDir() + "\\notation_child.exe", program)) return 0xBAD;
    if (withStandIn &&
        !CopyFileTo(ExecutableDir() + "\\stand_in\\shlwapi.dll", temp.File("shlwapi.dll")))
        return 0xBAD;
    NativeOnlyOverride nativeOnly(name, "shlwapi");
    if (!nativeOnly.Active()) return 0xBAD;
    Child child = Launch(program, temp.Path());
    return child.WaitExit(20000);
}

}  // namespace

TEST(HexTextToIntWithoutParse, ConvertsWhenTheLibraryIsThere) {
    TempDir temp;
    Child child = Launch(ExecutableDir() + "\\notation_child.exe");
    EXPECT_EQ(16u, child.WaitExit(20000));
}

TEST(HexTextToIntWithoutParse, MissingLibraryGivesZero) {
    if (!RunningOnWine()) GTEST_SKIP() << "needs Wine's DLL overrides";
    TempDir temp;
    EXPECT_EQ(0u, ConvertInCopy(temp, false));
}

TEST(HexTextToIntWithoutParse, MissingFunctionGivesZero) {
    if (!RunningOnWine()) GTEST_SKIP() << "needs Wine's DLL overrides";
    TempDir temp;
    EXPECT_EQ(0u, ConvertInCopy(temp, true));
}
