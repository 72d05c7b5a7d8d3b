// Connection.Open on files that are not a usable database: refused, with a
// reason in Errors, and the file left exactly as it was.
#include <gtest/gtest.h>

#include "component_fixture.h"
#include "tests/support/win_driver.h"

using namespace ado_test;

namespace {

Text ConnectionString(const Text& path) {
    return "DBQ=" + path + ";Pwd=;DRIVER={Microsoft Access Driver (*.mdb)};";
}

// Opens like 数据库类::OpenDatabase: "open" with the string by value, then State.
bool OpenLikeTheProgram(const ComObject& connection, const Text& path) {
    connection.CallMethod("open", ArgText(ConnectionString(path)));
    return connection.GetNumberProperty("State") > 1e-7;
}

class FileOpenTest : public ComponentTest {
protected:
    testsupport::TempDir dir_;

    void ExpectRefused(const Text& path, const char* why) {
        std::string before, after;
        bool existed = testsupport::ReadFileBytes(path, &before);
        ComObject connection = NewConnection();
        EXPECT_FALSE(OpenLikeTheProgram(connection, path)) << why;
        EXPECT_FALSE(connection.GetTextProperty("Errors").empty()) << why;
        // Still usable: a later open is tried afresh, and refused again.
        EXPECT_FALSE(OpenLikeTheProgram(connection, path)) << why;
        connection.Clear();
        if (existed) {
            ASSERT_TRUE(testsupport::ReadFileBytes(path, &after));
            EXPECT_EQ(before, after) << why;
        }
    }
};

}  // namespace

TEST_F(FileOpenTest, MissingFile) {
    ExpectRefused(dir_.File("API常量.mdb"), "missing");
    ExpectRefused(dir_.File("no such folder\\API常量.mdb"), "missing folder");
}

TEST_F(FileOpenTest, ZeroLengthFile) {
    Text path = dir_.File("API常量.mdb");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, ""));
    ExpectRefused(path, "zero length");
}

TEST_F(FileOpenTest, NotAnAccessFile) {
    Text path = dir_.File("API常量.mdb");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, std::string(4096, 'x')));
    ExpectRefused(path, "not Access");
    ExpectRefused(dir_.Path(), "a folder");
}

TEST_F(FileOpenTest, TruncatedAccessHeader) {
    Text path = dir_.File("API常量.mdb");
    std::string bytes("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00", 24);
    bytes.resize(600, '\x55');
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
    ExpectRefused(path, "truncated");
}

TEST_F(FileOpenTest, FileHeldWithoutSharing) {
    Text path = dir_.File("API常量.mdb");
    std::string bytes("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    bytes.resize(4096, '\0');
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ComObject connection = NewConnection();
    EXPECT_FALSE(OpenLikeTheProgram(connection, path));
    EXPECT_NE(connection.GetTextProperty("Errors").find("in use"), Text::npos);
    CloseHandle(held);
}

TEST_F(FileOpenTest, MalformedConnectionStrings) {
    ComObject connection = NewConnection();
    connection.CallMethod("open", ArgText("Pwd=;DRIVER={Microsoft Access Driver (*.mdb)};"));
    EXPECT_EQ(connection.GetNumberProperty("State"), 0.0);
    EXPECT_NE(connection.GetTextProperty("Errors").find("DBQ"), Text::npos);
    connection.CallMethod("open", ArgText("DBQ={unclosed"));
    EXPECT_EQ(connection.GetNumberProperty("State"), 0.0);
    connection.CallMethod("open");
    EXPECT_EQ(connection.GetNumberProperty("State"), 0.0);
}
