// The owners give back exactly what they hold, once, and nothing after release.
#include <gtest/gtest.h>

#include "win/bstr.h"
#include "win/com_ptr.h"
#include "win/safe_array_lock.h"
#include "win/unique.h"
#include "win/variant.h"

namespace {

// An IUnknown that counts its references; it is never freed (it lives on the stack).
struct Counted : IUnknown {
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

HANDLE NewEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

bool IsOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != 0;
}

}  // namespace

TEST(Unique, ClosesOnResetAndEndButNotAfterRelease) {
    HANDLE first = NewEvent();
    HANDLE second = NewEvent();
    {
        win::UniqueHandle owner(first);
        EXPECT_TRUE(owner);
        owner.reset(second);
        EXPECT_FALSE(IsOpen(first));
        EXPECT_TRUE(IsOpen(second));
    }
    EXPECT_FALSE(IsOpen(second));

    HANDLE kept = NewEvent();
    { EXPECT_EQ(win::UniqueHandle(kept).release(), kept); }
    EXPECT_TRUE(IsOpen(kept));
    CloseHandle(kept);
}

TEST(Unique, NullAndInvalidOwnNothing) {
    EXPECT_FALSE(win::UniqueHandle());
    EXPECT_FALSE(win::UniqueHandle(INVALID_HANDLE_VALUE));
    win::UniqueModule none(LoadLibraryA("no-such-library-qalomir.dll"));
    EXPECT_FALSE(none);
}

TEST(Unique, MoveHandsTheHandleOnAndPutReplacesIt) {
    win::UniqueKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    HKEY raw = key.get();
    win::UniqueKey moved(std::move(key));
    EXPECT_EQ(moved.get(), raw);
    EXPECT_EQ(key.get(), nullptr);
    moved = std::move(moved);  // a self-move keeps the key
    EXPECT_EQ(moved.get(), raw);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, moved.put()), ERROR_SUCCESS);
    EXPECT_TRUE(moved);
}

TEST(ComPtr, CountsEveryReferenceItHolds) {
    Counted object;
    {
        auto first = win::ComPtr<IUnknown>::share(&object);
        EXPECT_EQ(object.refs, 2u);
        win::ComPtr<IUnknown> copy = first;
        EXPECT_EQ(object.refs, 3u);
        win::ComPtr<IUnknown> moved = std::move(copy);
        EXPECT_EQ(object.refs, 3u);
        EXPECT_FALSE(copy);
        copy = moved;
        EXPECT_EQ(object.refs, 4u);
        auto queried = first.query<IUnknown>(IID_IUnknown);
        EXPECT_EQ(queried.get(), &object);
        EXPECT_EQ(object.refs, 5u);
        EXPECT_FALSE(first.query<IDispatch>(IID_IDispatch));
        EXPECT_EQ(first.release(), &object);  // still counted: given back by hand below
    }
    EXPECT_EQ(object.refs, 2u);
    object.Release();
    EXPECT_EQ(object.refs, 1u);
}

TEST(OwnedVariant, CopiesAreIndependentAndReleaseLeavesItEmpty) {
    win::OwnedVariant text;
    text.put()->vt = VT_BSTR;
    text.get().bstrVal = win::NewBstr(u"常量");
    win::OwnedVariant copy = text;
    ASSERT_EQ(copy.get().vt, VT_BSTR);
    EXPECT_NE(copy.get().bstrVal, text.get().bstrVal);
    text.reset();
    EXPECT_EQ(text.get().vt, VT_EMPTY);
    EXPECT_EQ(win::BstrText(copy.get().bstrVal), u"常量");

    VARIANT taken = copy.release();
    EXPECT_EQ(copy.get().vt, VT_EMPTY);
    EXPECT_EQ(taken.vt, VT_BSTR);
    VariantClear(&taken);

    win::OwnedVariant zero;
    const VARIANT allZero{};
    EXPECT_EQ(std::memcmp(&zero.get(), &allZero, sizeof allZero), 0);
}

TEST(Bstr, TextKeepsEmbeddedNulsAndNullIsEmpty) {
    win::UniqueBstr s(win::NewBstr(std::u16string_view(u"a\0b", 3)));
    EXPECT_EQ(win::BstrText(s.get()), std::u16string_view(u"a\0b", 3));
    EXPECT_TRUE(win::BstrText(nullptr).empty());
}

TEST(SafeArrayLock, ReachesTheElementsOnlyWhileHeld) {
    SAFEARRAYBOUND bound{3, 1};
    win::UniqueSafeArray array(SafeArrayCreate(VT_UI1, 1, &bound));
    {
        win::SafeArrayLock lock(array.get());
        ASSERT_TRUE(lock);
        static_cast<BYTE*>(lock.get())[2] = 9;
        EXPECT_EQ(SafeArrayDestroy(array.get()), DISP_E_ARRAYISLOCKED);
    }
    LONG index = 3;
    BYTE value = 0;
    ASSERT_EQ(SafeArrayGetElement(array.get(), &index, &value), S_OK);
    EXPECT_EQ(value, 9);
    EXPECT_FALSE(win::SafeArrayLock(nullptr));
}
