// System libraries come from the system folder only: a mpr.dll planted beside a
// copy of the program, with Wine told to prefer native libraries, never runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/win_driver.h"

using namespace testsupport;

namespace {

class PlantedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RunningOnWine()) GTEST_SKIP() << "needs Wine's DLL overrides";
        ASSERT_TRUE(CopyFileTo(ExecutableDir() + "\\core_child.exe", temp_.File(name_)));
        ASSERT_TRUE(CopyFileTo(ExecutableDir() + "\\planted\\mpr.dll", temp_.File("mpr.dll")));
        ASSERT_TRUE(nativeFirst_.Active());
    }
    DWORD RunChild(const std::string& mode) { return Launch(temp_.File(name_), temp_.Path(), mode).WaitExit(20000); }
    bool PlantRan() const { return GetFileAttributesA(temp_.File("planted-ran").c_str()) != INVALID_FILE_ATTRIBUTES; }

    TempDir temp_;
    const std::string name_ = "qalomir-planted-" + std::to_string(GetCurrentProcessId()) + ".exe";
    WineDllOverride nativeFirst_{name_, "mpr", "native,builtin"};
};

}  // namespace

// ShellExecuteA is searched through Mpr.dll on its way to Shell32; mpr.dll by bare name as well.
TEST_F(PlantedLibrary, SystemLibrariesIgnoreTheCopyBesideTheProgram) {
    EXPECT_EQ(0u, RunChild("resolve-shell"));
    EXPECT_FALSE(PlantRan());
}

// The check above means something: loaded on purpose, the plant does leave its mark.
TEST_F(PlantedLibrary, LoadedByItsPathThePlantRuns) {
    EXPECT_EQ(0u, RunChild("load-beside"));
    EXPECT_TRUE(PlantRan());
}
