// Connection.Open on files that are not a usable database: refused, with a
// reason in Errors, and the file left exactly as it was.
#include <gtest/gtest.h>

#include "component_fixture.h"
#include "sample_file.h"
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

// Access 2007 and later write the ACE format: the reader's text names it, and the
// connection's Errors carries that text to the program and to scripts.
TEST_F(FileOpenTest, AccessTwoThousandSevenFileNamedAsSuch) {
    Text path = dir_.File("API常量.accdb");
    std::string bytes("\x00\x01\x00\x00Standard ACE DB\x00\x02\x00\x00\x00", 24);
    bytes.resize(3 * 4096, '\0');
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
    ExpectRefused(path, "ACE");
    ComObject connection = NewConnection();
    EXPECT_FALSE(OpenLikeTheProgram(connection, path));
    EXPECT_NE(connection.GetTextProperty("Errors").find("Access 2007 and later files (.accdb, ACE) are not supported"),
              Text::npos)
        << connection.GetTextProperty("Errors");
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

TEST_F(FileOpenTest, AnAccessFileAnswersAndStaysByteIdentical) {
    Text path = dir_.File("API常量.mdb");
    ASSERT_TRUE(WriteSampleDatabase(path));
    std::string before, after;
    ASSERT_TRUE(testsupport::ReadFileBytes(path, &before));
    {
        ComObject connection = NewConnection();
        ASSERT_TRUE(OpenLikeTheProgram(connection, path)) << connection.GetTextProperty("Errors");
        EXPECT_TRUE(connection.GetTextProperty("Errors").empty());
        // Other readers may look at the file meanwhile; nobody may write it.
        HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(reader, INVALID_HANDLE_VALUE);
        if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
        HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

        ComObject rs = NewRecordset();
        ASSERT_TRUE(ado_test::OpenLikeTheProgram(rs, connection,
                                                 "select 常量值,备注 from api_const where 宏或常量名='ws_overlappedwindow'"));
        EXPECT_EQ(rs.GetNumberProperty("RecordCount"), 1.0);
        EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "13565952");
        rs.CallMethod("AddNew");
        EXPECT_NE(LastCallStatus(), CallStatus::Ok);
        rs.CallMethod("Close");
        // An open connection refuses a second Open but stays open.
        connection.CallMethod("open", ArgText(ConnectionString(path)));
        EXPECT_NE(LastCallStatus(), CallStatus::Ok);
        EXPECT_EQ(connection.GetNumberProperty("State"), 1.0);
        connection.CallMethod("Close");
    }
    // Closed: the file is free again, and exactly as it was.
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    ASSERT_TRUE(testsupport::ReadFileBytes(path, &after));
    EXPECT_EQ(before, after);
}

// The engine's own tables answer too; its fixed-length object column is binary.
TEST_F(FileOpenTest, SystemTableColumnsHaveAdoTypes) {
    Text path = dir_.File("API常量.mdb");
    ASSERT_TRUE(WriteSampleDatabase(path));
    ComObject connection = NewConnection();
    ASSERT_TRUE(OpenLikeTheProgram(connection, path)) << connection.GetTextProperty("Errors");
    ComObject rs = NewRecordset();
    ASSERT_TRUE(ado_test::OpenLikeTheProgram(rs, connection, "select * from MSysAccessObjects"));
    ComObject fields = rs.CallObjectMethod("Fields");
    Text data = "Data", id = "ID";
    EXPECT_EQ(fields.GetObjectProperty("Item", RefText(data)).GetNumberProperty("Type"), 128.0);  // adBinary
    EXPECT_EQ(fields.GetObjectProperty("Item", RefText(id)).GetNumberProperty("Type"), 3.0);      // adInteger
}

TEST_F(FileOpenTest, TruncatedAccessFile) {
    Text whole = dir_.File("whole.mdb");
    ASSERT_TRUE(WriteSampleDatabase(whole));
    std::string bytes;
    ASSERT_TRUE(testsupport::ReadFileBytes(whole, &bytes));
    Text path = dir_.File("API常量.mdb");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes.substr(0, 4096 + 100)));
    ExpectRefused(path, "cut after the header page");
}

TEST_F(FileOpenTest, DamageFoundByAQueryFailsItWithTheReasonInErrors) {
    // 600 rows, with the file's index on the name; the last data page then loses its type byte.
    jet::Table t = jetsql_test::ApiConstTable();
    t.rows.clear();
    for (int i = 0; i < 600; ++i) {
        std::u16string name = u"N_";
        for (char c : std::to_string(i)) name += char16_t(c);
        t.rows.push_back({jet::Value::FromText(name), jet::Value::FromText(u"v"), jet::Value::Null(), jet::Value::FromInteger(i)});
    }
    t.indexes = {jet::Index{u"宏或常量名", {u"宏或常量名"}, true, false}};
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(jet::WriteDatabase({t}, bytes, &error)) << error;
    std::size_t last = 0;
    for (std::size_t p = 3; p < bytes.size() / 4096; ++p)
        if (bytes[p * 4096] == 0x01 && bytes[p * 4096 + 4] == 7 && bytes[p * 4096 + 5] == 0) last = p;
    ASSERT_NE(0u, last);
    bytes[last * 4096] = 0x02;
    Text path = dir_.File("API常量.mdb");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));

    ComObject connection = NewConnection();
    ASSERT_TRUE(OpenLikeTheProgram(connection, path)) << connection.GetTextProperty("Errors");
    ComObject rs = NewRecordset();
    ASSERT_TRUE(ado_test::OpenLikeTheProgram(rs, connection, "select 常量值 from api_const where 宏或常量名='n_1'"));
    EXPECT_EQ(rs.GetNumberProperty("RecordCount"), 1.0);
    rs.CallMethod("Close");
    // A row on the damaged page, and the whole table: never "no record", always the reason.
    for (const char* sql : {"select 常量值 from api_const where 宏或常量名='N_599'", "select * from api_const"}) {
        ComObject failing = NewRecordset();
        EXPECT_FALSE(ado_test::OpenLikeTheProgram(failing, connection, sql)) << sql;
        const Text errors = connection.GetTextProperty("Errors");
        EXPECT_NE(errors.find(".mdb': the file is damaged"), Text::npos) << errors;
        EXPECT_NE(errors.find("table 'api_const', page"), Text::npos) << errors;
    }
    connection.CallMethod("Close");
}
