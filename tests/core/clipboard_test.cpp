// SetClipboardText against the real clipboard, also while another process holds it.
#include <gtest/gtest.h>

#include <string>

#include "core/dialogs.h"
#include "tests/support/win_driver.h"

using namespace core;

namespace {

class OwnedEvent {
public:
    explicit OwnedEvent(const std::string& name)
        : name_(name), event_(CreateEventA(nullptr, TRUE, FALSE, name.c_str())) {}
    ~OwnedEvent() {
        if (event_) CloseHandle(event_);
    }
    OwnedEvent(const OwnedEvent&) = delete;
    OwnedEvent& operator=(const OwnedEvent&) = delete;
    HANDLE get() const { return event_; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    HANDLE event_;
};

// Another process with the clipboard open until the holder goes.
class ClipboardHolder {
public:
    ClipboardHolder()
        : held_(EventName("held")), release_(EventName("release")),
          child_(testsupport::Launch(testsupport::ExecutableDir() + "\\core_child.exe", "",
                                     "holdclip " + held_.Name() + " " + release_.Name())) {}
    ~ClipboardHolder() {
        SetEvent(release_.get());
        child_.WaitExit(10000);
    }
    bool Holding() { return WaitForSingleObject(held_.get(), 10000) == WAIT_OBJECT_0; }
    DWORD Release() {
        SetEvent(release_.get());
        return child_.WaitExit(10000);
    }

private:
    static std::string EventName(const char* role) {
        return "QalomirClipboard-" + std::string(role) + "-" + std::to_string(GetCurrentProcessId());
    }
    OwnedEvent held_;
    OwnedEvent release_;
    testsupport::Child child_;
};

std::string ClipboardText() {
    std::string text;
    EXPECT_TRUE(testsupport::ReadClipboardText(&text));
    return text;
}

}  // namespace

TEST(SetClipboardText, PutsTheBytesAsCfText) {
    ASSERT_TRUE(SetClipboardText(".版本 2\r\n\r\n.常量 WM_CREATE, \"1\""));
    EXPECT_EQ(".版本 2\r\n\r\n.常量 WM_CREATE, \"1\"", ClipboardText());
}

TEST(SetClipboardText, EmptyTextIsASingleNul) {
    ASSERT_TRUE(testsupport::WriteClipboardText("old"));
    ASSERT_TRUE(SetClipboardText(""));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_TRUE(data);
    EXPECT_GE(GlobalSize(data), 1u);
    EXPECT_EQ('\0', *static_cast<const char*>(GlobalLock(data)));
    GlobalUnlock(data);
    CloseClipboard();
}

TEST(SetClipboardText, LeavesTheClipboardClosed) {
    ASSERT_TRUE(SetClipboardText("x"));
    ClipboardHolder other;
    EXPECT_TRUE(other.Holding());  // it could open the clipboard
    EXPECT_EQ(0u, other.Release());
}

TEST(SetClipboardText, FalseWhileAnotherProcessHoldsIt) {
    ASSERT_TRUE(testsupport::WriteClipboardText("old content"));
    ClipboardHolder other;
    ASSERT_TRUE(other.Holding());
    EXPECT_FALSE(SetClipboardText("new"));
    EXPECT_EQ(0u, other.Release());
    EXPECT_EQ("old content", ClipboardText());
}
