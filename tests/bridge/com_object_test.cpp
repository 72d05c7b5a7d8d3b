// ComObject: creation by CLSID text, ProgID and type library; copy; clear.
#include <gtest/gtest.h>

#include "bridge/com_object.h"
#include "tests/automation/scripted_dispatch.h"
#include "win/sys_kind.h"

using namespace core;
using namespace bridge;

using namespace testautomation;

namespace {

const CLSID kProbeClass = {0x6b1f3a40, 0x2c1e, 0x4f5a, {0x9d, 0x3e, 0x0a, 0x7c, 0x51, 0xe2, 0xb0, 0x06}};
const GUID kProbeLibrary = {0x6b1f3a40, 0x2c1e, 0x4f5a, {0x9d, 0x3e, 0x0a, 0x7c, 0x51, 0xe2, 0xb0, 0x01}};
const char kProbeClassText[] = "{6B1F3A40-2C1E-4F5A-9D3E-0A7C51E2B006}";

class Create : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library_ = new TypeLibrary("probe.tlb"); }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }
    void TearDown() override { EXPECT_EQ(LiveObjects(), 0); }

    // Makes scripted probes, counting them.
    ClassRegistration::Maker Maker() {
        return [this]() -> IUnknown* {
            ++made_;
            return static_cast<IDispatch*>(ScriptedDispatch::New(library_->Info("Probe"), "made"));
        };
    }

    static TypeLibrary* library_;
    int made_ = 0;
};

TypeLibrary* Create::library_ = nullptr;

ULONG References(IUnknown* unknown) {
    unknown->AddRef();
    return unknown->Release();
}

}  // namespace

TEST_F(Create, ByClassIdText) {
    ClassRegistration registration(kProbeClass, Maker());
    ASSERT_TRUE(registration.Ok());
    ComObject object;
    ASSERT_TRUE(object.Create(kProbeClassText));
    EXPECT_EQ(made_, 1);
    EXPECT_FALSE(object.IsEmpty());
    // A text that begins with a brace never takes the type-library route.
    ASSERT_TRUE(object.Create(kProbeClassText, library_->Path()));
    EXPECT_EQ(made_, 2);
    EXPECT_FALSE(object.Create("{not a class id}"));
}

TEST_F(Create, ByProgId) {
    ClassRegistration registration(kProbeClass, "Qalomir.BridgeProbe", Maker());
    ComObject object;
    ASSERT_TRUE(object.Create("Qalomir.BridgeProbe"));
    EXPECT_EQ(made_, 1);
    object.CallMethod("Echo", ArgInt(1));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
}

TEST_F(Create, ThroughTheTypeLibraryRegistersIt) {
    ClassRegistration registration(kProbeClass, Maker());
    ComObject object;
    ASSERT_TRUE(object.Create("ProbeClass", library_->Path()));
    EXPECT_EQ(made_, 1);
    ITypeLib* registered = nullptr;
    EXPECT_EQ(LoadRegTypeLib(kProbeLibrary, 1, 0, LOCALE_NEUTRAL, &registered), S_OK);
    if (registered) registered->Release();
    UnRegisterTypeLib(kProbeLibrary, 1, 0, LOCALE_NEUTRAL, win::kModuleSysKind);

    // A name the library does not hold falls back to the ProgID route, and fails.
    EXPECT_FALSE(object.Create("NoSuchClass", library_->Path()));
    EXPECT_FALSE(object.Create("NoSuchClass", "Z:\\no\\such.tlb"));
    EXPECT_EQ(made_, 1);
}

TEST_F(Create, FailureKeepsTheOldObjectAndSuccessReleasesIt) {
    ScriptedDispatch* first = ScriptedDispatch::New(library_->Info("Probe"), "first");
    ComObject object = ComObject::FromInterface(first);
    EXPECT_FALSE(object.Create(""));
    EXPECT_FALSE(object.Create("Qalomir.No.Such.Class"));
    {
        ClassRegistration refusing(kProbeClass, [] { return nullptr; });
        EXPECT_FALSE(object.Create(kProbeClassText));
    }
    EXPECT_EQ(object.Interface(), static_cast<IUnknown*>(first));
    EXPECT_EQ(first->References(), 2u);

    ClassRegistration registration(kProbeClass, Maker());
    ASSERT_TRUE(object.Create(kProbeClassText));
    EXPECT_NE(object.Interface(), static_cast<IUnknown*>(first));
    EXPECT_EQ(first->References(), 1u);
    first->Release();
}

TEST_F(Create, CopiesShareOneObject) {
    ScriptedDispatch* probe = ScriptedDispatch::New(library_->Info("Probe"), "probe");
    ComObject object = ComObject::FromInterface(probe);
    probe->Release();
    {
        ComObject copy;
        copy.CopyFrom(object);
        EXPECT_EQ(copy.Interface(), object.Interface());
        EXPECT_EQ(probe->References(), 2u);
        ComObject moved = std::move(copy);
        EXPECT_TRUE(copy.IsEmpty());
        EXPECT_EQ(probe->References(), 2u);
        moved.Clear();
        EXPECT_TRUE(moved.IsEmpty());
        moved.Clear();  // clearing an empty value does nothing
        EXPECT_EQ(probe->References(), 1u);
    }
    ComObject empty;
    ComObject copyOfEmpty;
    copyOfEmpty.CopyFrom(empty);
    EXPECT_TRUE(copyOfEmpty.IsEmpty());
}

// As a value: a copy adds a reference, storing releases the old object first, a
// move hands the reference on, and storing a value into itself keeps it.
TEST_F(Create, ValuesCountTheirReferences) {
    ScriptedDispatch* first = ScriptedDispatch::New(library_->Info("Probe"), "first");
    ScriptedDispatch* second = ScriptedDispatch::New(library_->Info("Probe"), "second");
    {
        ComObject a = ComObject::FromInterface(first);
        ComObject b = a;
        EXPECT_EQ(first->References(), 3u);
        b = ComObject::FromInterface(second);
        EXPECT_EQ(first->References(), 2u);
        EXPECT_EQ(second->References(), 2u);
        a = b;
        EXPECT_EQ(first->References(), 1u);
        EXPECT_EQ(second->References(), 3u);
        ComObject& self = a;
        a = self;
        EXPECT_EQ(a.Interface(), static_cast<IUnknown*>(second));
        EXPECT_EQ(second->References(), 3u);
        ComObject c = std::move(a);
        EXPECT_TRUE(a.IsEmpty());
        b = std::move(c);
        EXPECT_EQ(second->References(), 2u);
    }
    EXPECT_EQ(second->References(), 1u);
    first->Release();
    second->Release();
}

TEST_F(Create, RecordsTravelAsRecordsAndClearDestroysThem) {
    IRecordInfo* info = nullptr;
    ASSERT_EQ(GetRecordInfoFromTypeInfo(library_->Info("Point"), &info), S_OK);
    ULONG before = References(info);
    struct Point {
        LONG x, y;
    };
    Point* point = static_cast<Point*>(info->RecordCreate());
    ASSERT_NE(point, nullptr);
    point->x = 3;
    point->y = 4;

    ComObject record;
    record.AttachRecord(info, point);
    EXPECT_EQ(References(info), before + 1);

    ScriptedDispatch* probe = ScriptedDispatch::New(library_->Info("Probe"), "probe");
    ComObject object = ComObject::FromInterface(probe);
    probe->Release();
    CallLog().clear();
    object.CallMethod("Place", ArgObject(record));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    ASSERT_EQ(CallLog().size(), 1u);
    EXPECT_EQ(CallLog()[0].args[0].vt, VT_RECORD);
    EXPECT_EQ(point->x, 3) << "the caller's record survives the call";
    CallLog().clear();  // the log holds a copy of the record
    EXPECT_EQ(References(info), before + 1);

    ComObject copy;
    copy.CopyFrom(record);
    EXPECT_EQ(copy.RecordData(), nullptr);
    copy.Clear();
    ComObject constructed = record;  // a copied value shares the record's type, never the record
    EXPECT_EQ(constructed.RecordData(), nullptr);
    EXPECT_EQ(constructed.Interface(), record.Interface());
    constructed.Clear();

    record.Clear();
    EXPECT_EQ(record.RecordData(), nullptr);
    EXPECT_TRUE(record.IsEmpty());
    EXPECT_EQ(References(info), before);
    info->Release();
}
