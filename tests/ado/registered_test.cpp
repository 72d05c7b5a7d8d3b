// The registered component reached the way the program reaches it: by ProgID,
// through 数据库类.
#include <gtest/gtest.h>

#include "ado/com/library.h"
#include "bridge/com_object.h"
#include "win/com_ptr.h"
#include "win/unique.h"
#include "db/database.h"
#include "sample_file.h"
#include "tests/support/win_driver.h"

using namespace bridge;
using db::数据库类;
using win::ComPtr;

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
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"ADODB.Connection", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ConnectionClass));
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"ADODB.RecordSet", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_RecordsetClass));
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

// The program's query, step by step, as 数据库类 sends it.
TEST_F(RegisteredTest, DatabaseClassRunsTheProgramsQuery) {
    Text path = dir_.File("API常量.mdb");
    ASSERT_TRUE(ado_test::WriteSampleDatabase(path));
    std::string before, after;
    ASSERT_TRUE(testsupport::ReadFileBytes(path, &before));
    {
        数据库类 database;
        ASSERT_TRUE(database.OpenDatabase(path)) << database.LastError();
        EXPECT_TRUE(database.LastError().empty());
        const Text query = "select 常量值,备注 from api_const where 宏或常量名='";

        ASSERT_TRUE(database.OpenRecordSet(query + "WM_CREATE'"));
        ASSERT_EQ(database.RecordCount(), 2);
        EXPECT_FALSE(database.IsEof());
        EXPECT_EQ(database.ReadText("常量值"), "0001");
        EXPECT_EQ(database.ReadText("没有"), "");
        EXPECT_TRUE(database.ReadVariant("常量值").Type() == VT_BSTR);
        database.MoveNext();
        EXPECT_EQ(database.ReadText("备注"), "lower-case twin");
        database.MoveNext();
        EXPECT_TRUE(database.IsEof());
        database.CloseRecordSet();

        ASSERT_TRUE(database.OpenRecordSet(query + "NOT_THERE'"));
        EXPECT_EQ(database.RecordCount(), 0);
        EXPECT_EQ(database.ReadText("常量值"), "");
        database.CloseRecordSet();

        EXPECT_FALSE(database.OpenRecordSet("select 常量值 from api_const where 宏或常量名=WM_CREATE"));
        ASSERT_TRUE(database.OpenRecordSet(query + "WS_OVERLAPPEDWINDOW'"));
        EXPECT_EQ(database.ReadVariant("备注").Type(), VT_NULL);
        EXPECT_FALSE(database.WriteText("常量值", "1"));
        database.AddNew();
        database.Update();
        Variant rows = database.GetRows();
        EXPECT_EQ(rows.Type(), VT_ARRAY | VT_VARIANT);
        EXPECT_TRUE(database.IsEof());
        database.CloseRecordSet();
        database.CloseDatabase();
        EXPECT_FALSE(database.OpenRecordSet(query + "WM_CREATE'"));
    }
    ASSERT_TRUE(testsupport::ReadFileBytes(path, &after));
    EXPECT_EQ(before, after);
}

namespace {

template <class Function>
Function Export(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// The type library's key for this build's system kind: TypeLib\{LIBID}\1.0\0\win32 for
// the i686 component, ...\win64 for the x64 one.
bool TypeLibraryKeyExists(const wchar_t* sysKind) {
    wchar_t libid[40] = {};
    StringFromGUID2(LIBID_QalomirADO, libid, 40);
    const std::wstring path = std::wstring(L"TypeLib\\") + libid + L"\\1.0\\0\\" + sysKind;
    win::UniqueKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

constexpr const wchar_t* kOwnSysKind = sizeof(void*) == 8 ? L"win64" : L"win32";

}  // namespace

// Unregistering takes our ProgIDs, class keys and type library key away; registering
// again restores them.
TEST_F(RegisteredTest, UnregisterThenRegisterAgain) {
    HMODULE dll = LoadLibraryA(QALOMIR_ADO_DLL);
    ASSERT_NE(dll, nullptr);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto unregister = Export<Entry>(dll, "DllUnregisterServer");
    auto reregister = Export<Entry>(dll, "DllRegisterServer");
    ASSERT_TRUE(unregister && reregister);
    EXPECT_TRUE(TypeLibraryKeyExists(kOwnSysKind)) << "registered under the wrong system kind";

    EXPECT_EQ(S_OK, unregister());
    CLSID clsid = CLSID_NULL;
    HRESULT hr = CLSIDFromProgID(L"ADODB.Connection", &clsid);
    EXPECT_TRUE(FAILED(hr) || !IsEqualCLSID(clsid, CLSID_ConnectionClass));
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{AFB1133D-623E-4AC4-830A-2683150F35A5}", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_FALSE(TypeLibraryKeyExists(kOwnSysKind)) << "type library key left behind";

    EXPECT_EQ(S_OK, reregister());
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"ADODB.Connection", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ConnectionClass));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{AFB1133D-623E-4AC4-830A-2683150F35A5}\\InprocServer32", 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t model[32] = {};
    DWORD size = sizeof model - sizeof(wchar_t);
    EXPECT_EQ(RegQueryValueExW(key, L"ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE*>(model), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(model), L"Apartment");
    RegCloseKey(key);
    ComPtr<ITypeLib> library;
    EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_QalomirADO, 1, 0, 0, library.put()));
    EXPECT_TRUE(TypeLibraryKeyExists(kOwnSysKind));
    FreeLibrary(dll);
}

// The DLL's own entry points: a class object, an object from it, and the
// module free to unload once both are released.
TEST_F(RegisteredTest, DllCanUnloadNowOnceEverythingIsReleased) {
    HMODULE dll = LoadLibraryA(QALOMIR_ADO_DLL);
    ASSERT_NE(dll, nullptr);
    using GetClass = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    auto getClass = Export<GetClass>(dll, "DllGetClassObject");
    auto canUnload = Export<CanUnload>(dll, "DllCanUnloadNow");
    ASSERT_TRUE(getClass && canUnload);
    EXPECT_EQ(canUnload(), S_OK);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClass(CLSID_RecordsetClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    void* other = &other;
    EXPECT_EQ(getClass(IID_IUnknown, IID_IClassFactory, &other), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(other, nullptr);
    IDispatch* object = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(canUnload(), S_OK);
    FreeLibrary(dll);
}
