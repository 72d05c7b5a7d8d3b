// HexTextToInt when shlwapi.dll cannot be found: 0, and no call through an empty
// address; a shlwapi.dll planted beside the program is never the one loaded. A
// per-program Wine DLL override sets the load order for one started copy.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/win_driver.h"

using namespace testsupport;

namespace {

// The conversion in a copy of the program, with shlwapi loaded in the given order
// and, when asked, a stand-in shlwapi.dll (without StrToIntExA) planted beside it.
DWORD ConvertInCopy(const TempDir& temp, bool withStandIn, const char* order) {
    const std::string name = "qalomir-notation-" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string program = temp.File(name);
    if (!CopyFileTo(ExecutableDir() + "\\notation_child.exe", program)) return 0xBAD;
    if (withStandIn &&
        !CopyFileTo(ExecutableDir() + "\\stand_in\\shlwapi.dll", temp.File("shlwapi.dll")))
        return 0xBAD;
    WineDllOverride override(name, "shlwapi", order);
    if (!override.Active()) return 0xBAD;
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
    EXPECT_EQ(0u, ConvertInCopy(temp, false, "native"));
}

// Native first, and a shlwapi.dll without the parse beside the program: the
// system's library is the one loaded, so the conversion works.
TEST(HexTextToIntWithoutParse, APlantedLibraryIsNeverLoaded) {
    if (!RunningOnWine()) GTEST_SKIP() << "needs Wine's DLL overrides";
    TempDir temp;
    EXPECT_EQ(16u, ConvertInCopy(temp, true, "native,builtin"));
}
