// The registered component reached the way the program reaches it: by ProgID,
// through 数据库类.
#include <gtest/gtest.h>

#include "ado/com/library.h"
#include "bridge/com_object.h"
#include "db/database.h"
#include "tests/support/win_driver.h"

namespace {

class RegisteredTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ole_.Ok()); }
    OleSession ole_;
    testsupport::TempDir dir_;
};

}  // namespace

TEST_F(RegisteredTest, ProgIdsNameOurClassesWhateverTheirCase) {
    CLSID clsid;
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"ADODB.Connection", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Connection));
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"ADODB.RecordSet", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Recordset));
    ComObject made;
    EXPECT_TRUE(made.Create("ADODB.RecordSet"));
    EXPECT_EQ(made.GetNumberProperty("State"), 0.0);
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
}

TEST_F(RegisteredTest, DatabaseClassReportsARefusedFile) {
    数据库类 database;
    Text missing = dir_.File("API常量.mdb");
    EXPECT_FALSE(database.OpenDatabase(missing));
    EXPECT_NE(database.LastError().find("Could not find file"), Text::npos);
    ASSERT_TRUE(testsupport::WriteFileBytes(missing, "not a database"));
    EXPECT_FALSE(database.OpenDatabase(missing));
    EXPECT_FALSE(database.LastError().empty());
    EXPECT_FALSE(database.OpenRecordSet("select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'"));
    EXPECT_EQ(database.RecordCount(), 0);
    database.CloseRecordSet();
    database.CloseDatabase();
}
