// Binding functions by name: search order, cache, rows kept apart, ordinals, release.
#include <gtest/gtest.h>

#include "core/external_functions.h"

using namespace core;

namespace {
using Table = ExternalFunctionTable;
}

TEST(ExternalFunctionTable, ShellExecuteIsFoundInShell32AfterFiveMisses) {
    Table table({{"", "ShellExecuteA"}});
    const FARPROC address = table.Resolve(0);
    EXPECT_EQ(GetProcAddress(GetModuleHandleA("shell32.dll"), "ShellExecuteA"), address);
    EXPECT_EQ(GetModuleHandleA("shell32.dll"), table.Row(0).module.get());
    EXPECT_EQ(6, table.Lookups());
    EXPECT_EQ(address, table.Resolve(0));
    EXPECT_EQ(6, table.Lookups());  // cached: no second lookup
}

TEST(ExternalFunctionTable, RowsOfTheSameNameResolveApart) {
    Table table({{"", "lstrcpyn"}, {"", "lstrcpyn"}});
    const FARPROC text = table.Resolve(0);
    EXPECT_EQ(1, table.Lookups());
    const FARPROC number = table.Resolve(1);
    EXPECT_EQ(2, table.Lookups());
    EXPECT_EQ(text, number);
    EXPECT_TRUE(table.Row(0).module);
    EXPECT_TRUE(table.Row(1).module);
}

TEST(ExternalFunctionTable, OrdinalsUseTheLowSixteenBits) {
    FARPROC expected = nullptr;
    for (const char* library : SystemLibraryOrder)
        if ((expected = GetProcAddress(LoadLibraryA(library), MAKEINTRESOURCEA(2)))) break;
    ASSERT_TRUE(expected);
    Table table({{"", "#2"}, {"", "#65538"}});
    EXPECT_EQ(expected, table.Resolve(0));
    EXPECT_EQ(expected, table.Resolve(1));
}

TEST(ExternalFunctionTable, ReleaseFreesEveryRowsLibrary) {
    if (GetModuleHandleA("mpr.dll")) GTEST_SKIP() << "mpr.dll is loaded by someone else";
    Table table({{"", "WNetGetConnectionA"}});
    ASSERT_TRUE(table.Resolve(0));
    EXPECT_EQ(GetModuleHandleA("mpr.dll"), table.Row(0).module.get());
    table.Release();
    EXPECT_FALSE(table.Row(0).module);
    EXPECT_EQ(nullptr, GetModuleHandleA("mpr.dll"));
}

TEST(ExternalFunctionTable, NamedLibraryIsLoadedByItsName) {
    Table table({{"shlwapi.dll", "StrToIntExA"}});
    EXPECT_EQ(GetProcAddress(LoadLibraryA("shlwapi.dll"), "StrToIntExA"), table.Resolve(0));
}

TEST(ProgramExternalFunctions, EveryRowResolvesAndCallsThrough) {
    for (int number = 0; number < ExternalFunctions().Size(); ++number)
        EXPECT_TRUE(ResolveExternal(number)) << ExternalFunctions().Row(number).name;
    EXPECT_EQ(7, ExternalFunctions().Size());

    char text[] = "abc";
    EXPECT_EQ(text, ExternalLstrcpynText(text, text, 0));
    EXPECT_STREQ("abc", text);
    int value = 5;
    EXPECT_EQ(&value, ExternalLstrcpynInt(&value, &value, 0));
    EXPECT_EQ(5, value);

    char buffer[16];
    int word = 0x1F;
    EXPECT_EQ(2, ExternalWvsprintfA(buffer, "%X", reinterpret_cast<va_list>(&word)));
    EXPECT_STREQ("1F", buffer);
    const HMODULE kernel = ExternalLoadLibraryA("kernel32.dll");
    EXPECT_EQ(GetProcAddress(kernel, "GetTickCount"), ExternalGetProcAddress(kernel, "GetTickCount"));
    FreeLibrary(kernel);
}
