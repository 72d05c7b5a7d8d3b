#pragma once
// Drives Windows programs from a test process the way a user would:
// start them, find their windows and message boxes, press buttons, read the clipboard.
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// Owns a child process; ends it if the test did not see it exit.
class Child {
public:
    Child() = default;
    Child(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
    Child(Child&& other) noexcept;
    Child& operator=(Child&& other) noexcept;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();

    bool Valid() const { return process_ != nullptr; }
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    // Exit code once the process ended within timeoutMs, else STILL_ACTIVE.
    DWORD WaitExit(DWORD timeoutMs);

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// Starts exe (ANSI path) with the given working directory (empty: the exe's own).
Child Launch(const std::string& exe, const std::string& workDir = std::string(),
             const std::string& arguments = std::string());

// Top-level windows of a process, optionally filtered by class and caption (empty: any).
std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& className = std::string(),
                                  const std::string& caption = std::string());
HWND WaitForWindow(DWORD pid, const std::string& className, const std::string& caption,
                   DWORD timeoutMs = 10000);
// A message box ("#32770") of the process with its text and buttons in place;
// null when there is none yet.
HWND ReadyMessageBox(DWORD pid);
// The same, waited for; null on time-out.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs = 10000);
// Waits until the process has no message box open (true) or the time-out passed.
bool WaitNoMessageBox(DWORD pid, DWORD timeoutMs = 5000);

// A descendant window whose control id is id (the full 32 bits); null when none.
HWND FindControl(HWND root, unsigned id);

std::string WindowText(HWND window);
std::string ClassName(HWND window);
std::string MessageBoxText(HWND box);  // the box's message text
bool HasButton(HWND box, int id);
// Presses the button with the given id (IDOK, IDYES, IDNO...) as a click would.
bool PressButton(HWND box, int id);

// Sends the message and lets the target process run until it is answered.
LRESULT SendAndWait(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Posts a click on a button without waiting for the handler (which may open a modal box).
void PostClick(HWND button);

// CF_TEXT content of the clipboard; empty when there is none.
bool ReadClipboardText(std::string* text);
bool WriteClipboardText(const std::string& text);

// Temporary folder, removed with its content when the owner goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool CopyFileTo(const std::string& from, const std::string& to);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);
// Folder of the running test executable.
std::string ExecutableDir();

bool RunningOnWine();

// Wine's per-program DLL override (HKCU\Software\Wine\AppDefaults\<program>\DllOverrides)
// for one library, as long as the owner lives: "native", "native,builtin", ...
class WineDllOverride {
public:
    WineDllOverride(const std::string& programName, const char* library, const char* order);
    ~WineDllOverride();
    WineDllOverride(const WineDllOverride&) = delete;
    WineDllOverride& operator=(const WineDllOverride&) = delete;
    bool Active() const { return active_; }

private:
    std::string key_;
    bool active_ = false;
};

}  // namespace testsupport
