// The program directory captured at start, seen from a program started elsewhere.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/win_driver.h"

using namespace testsupport;

namespace {

// Runs a copy of the child program placed at programPath from another working
// directory; gives its program directory and current directory.
std::pair<std::string, std::string> DirectoriesOf(const std::string& programPath,
                                                  const std::string& reportPath) {
    if (!CopyFileTo(ExecutableDir() + "\\core_child.exe", programPath)) return {"no copy", ""};
    Child child = Launch(programPath, ExecutableDir(), "directories \"" + reportPath + "\"");
    const DWORD exitCode = child.WaitExit(10000);
    DeleteFileA(programPath.c_str());
    std::string report;
    if (exitCode != 0 || !ReadFileBytes(reportPath, &report)) return {"no report", ""};
    const std::size_t newline = report.find('\n');
    return {report.substr(0, newline), report.substr(newline + 1)};
}

}  // namespace

TEST(ProgramDirectory, IsTheProgramsFolderAndBecomesCurrent) {
    TempDir temp;
    const auto dirs = DirectoriesOf(temp.File("x.exe"), temp.File("report.txt"));
    EXPECT_EQ(temp.Path(), dirs.first);
    EXPECT_EQ(temp.Path(), dirs.second);
}

TEST(ProgramDirectory, FolderNameWithTrailByte5C) {
    TempDir temp;
    const std::string folder = temp.File("\xB1\x5C");  // one double-byte character
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const auto dirs = DirectoriesOf(folder + "\\x.exe", temp.File("report.txt"));
    EXPECT_EQ(folder, dirs.first);
    EXPECT_EQ(folder, dirs.second);
}

TEST(ProgramDirectory, DriveRootHasNoBackslash) {
    TempDir temp;
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string drive(windows, 2);  // "C:"
    const std::string program = drive + "\\qalomir-child-" + std::to_string(GetCurrentProcessId()) + ".exe";
    const auto dirs = DirectoriesOf(program, temp.File("report.txt"));
    EXPECT_EQ(drive, dirs.first);
    EXPECT_EQ(drive + "\\", dirs.second);
}
