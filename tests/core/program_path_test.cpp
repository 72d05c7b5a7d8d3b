// Splitting the program file's path into directory and file name.
#include <gtest/gtest.h>

#include "core/program_directory.h"

using namespace core;

namespace {
std::pair<Text, Text> Split(const Text& path) {
    Text dir = "unset", file = "unset";
    SplitProgramPath(path, &dir, &file);
    return {dir, file};
}
}  // namespace

TEST(SplitProgramPath, LastBackslash) {
    EXPECT_EQ(std::make_pair(Text("D:\\Tools"), Text("x.exe")), Split("D:\\Tools\\x.exe"));
    EXPECT_EQ(std::make_pair(Text("D:"), Text("x.exe")), Split("D:\\x.exe"));
    EXPECT_EQ(std::make_pair(Text(""), Text("x.exe")), Split("x.exe"));
    EXPECT_EQ(std::make_pair(Text("\\\\host\\share"), Text("")), Split("\\\\host\\share\\"));
}

TEST(SplitProgramPath, TrailByte5CIsNoBackslash) {
    EXPECT_EQ(std::make_pair(Text("C:\\Tools"), Text("prog\x95\x5C.exe")),
              Split("C:\\Tools\\prog\x95\x5C.exe"));
    EXPECT_EQ(std::make_pair(Text("C:\\\x95\x5C"), Text("x.exe")), Split("C:\\\x95\x5C\\x.exe"));
    EXPECT_EQ(std::make_pair(Text(""), Text("\x95\x5C")), Split("\x95\x5C"));
}
