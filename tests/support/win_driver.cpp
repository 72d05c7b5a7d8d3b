#include "tests/support/win_driver.h"

#include <shellapi.h>

#include <cstring>
#include <utility>

namespace testsupport {

Child::Child(Child&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), pid_(std::exchange(other.pid_, 0)) {}

Child& Child::operator=(Child&& other) noexcept {
    if (this != &other) {
        this->~Child();
        process_ = std::exchange(other.process_, nullptr);
        pid_ = std::exchange(other.pid_, 0);
    }
    return *this;
}

Child::~Child() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

DWORD Child::WaitExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

Child Launch(const std::string& exe, const std::string& workDir, const std::string& arguments) {
    std::string command = "\"" + exe + "\"";
    if (!arguments.empty()) command += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &startup, &info))
        return Child();
    CloseHandle(info.hThread);
    WaitForInputIdle(info.hProcess, 10000);
    return Child(info.hProcess, info.dwProcessId);
}

namespace {

struct WindowFilter {
    DWORD pid;
    const std::string* className;
    const std::string* caption;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* filter = reinterpret_cast<WindowFilter*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != filter->pid) return TRUE;
    if (!filter->className->empty() && ClassName(window) != *filter->className) return TRUE;
    if (!filter->caption->empty() && WindowText(window) != *filter->caption) return TRUE;
    filter->found->push_back(window);
    return TRUE;
}

template <class Probe>
auto PollUntil(DWORD timeoutMs, Probe probe) -> decltype(probe()) {
    const DWORD start = GetTickCount();
    for (;;) {
        auto result = probe();
        if (result || GetTickCount() - start >= timeoutMs) return result;
        Sleep(20);
    }
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& className, const std::string& caption) {
    std::vector<HWND> found;
    WindowFilter filter{pid, &className, &caption, &found};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&filter));
    return found;
}

HWND WaitForWindow(DWORD pid, const std::string& className, const std::string& caption, DWORD timeoutMs) {
    return PollUntil(timeoutMs, [&]() -> HWND {
        for (HWND window : TopLevelWindows(pid, className, caption))
            if (IsWindowVisible(window)) return window;
        return nullptr;
    });
}

namespace {

// A box counts once its message and a button are in place: a dialog's window
// can be seen before its controls, and a box answered then never hears the press.
bool MessageBoxReady(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (!IsWindowVisible(box) || !text || WindowText(text).empty()) return false;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
        if (GetDlgItem(box, id)) return true;
    return false;
}

}  // namespace

HWND ReadyMessageBox(DWORD pid) {
    for (HWND box : TopLevelWindows(pid, "#32770"))
        if (MessageBoxReady(box)) return box;
    return nullptr;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
    return PollUntil(timeoutMs, [&]() { return ReadyMessageBox(pid); });
}

bool WaitNoMessageBox(DWORD pid, DWORD timeoutMs) {
    return PollUntil(timeoutMs, [&]() { return TopLevelWindows(pid, "#32770").empty(); });
}

namespace {

struct IdSearch {
    unsigned id;
    HWND found;
};

BOOL CALLBACK MatchControlId(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<IdSearch*>(param);
    if (static_cast<unsigned>(GetDlgCtrlID(hwnd)) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

HWND FindControl(HWND root, unsigned id) {
    IdSearch search{id, nullptr};
    EnumChildWindows(root, MatchControlId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window) {
    const int length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = static_cast<int>(SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::string ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string MessageBoxText(HWND box) {
    // The message is the static control with id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

bool HasButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    return button && IsWindowVisible(button);
}

bool PressButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    if (!button) return false;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

LRESULT SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}

void PostClick(HWND button) {
    HWND parent = GetParent(button);
    PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button) & 0xFFFF, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

namespace {

// Opening can fail while another process holds the clipboard; retry briefly.
bool OpenClipboardPatiently() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(20);
    }
    return false;
}

}  // namespace

bool ReadClipboardText(std::string* text) {
    text->clear();
    if (!OpenClipboardPatiently()) return false;
    bool ok = false;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            *text = bytes;
            GlobalUnlock(data);
            ok = true;
        }
    }
    CloseClipboard();
    return ok;
}

bool WriteClipboardText(const std::string& text) {
    if (!OpenClipboardPatiently()) return false;
    EmptyClipboard();
    bool ok = false;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        ok = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!ok) GlobalFree(block);
    }
    CloseClipboard();
    return ok;
}

TempDir::TempDir() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    for (unsigned n = GetTickCount() ^ GetCurrentProcessId();; ++n) {
        std::string candidate = std::string(base) + "qalomir-" + std::to_string(n);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::string from = path_ + std::string(1, '\0');  // double NUL ends the list
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
    bytes->clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes->append(buffer, got);
    CloseHandle(file);
    return true;
}

std::string ExecutableDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

bool RunningOnWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

WineDllOverride::WineDllOverride(const std::string& programName, const char* library, const char* order)
    : key_("Software\\Wine\\AppDefaults\\" + programName) {
    HKEY overrides = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &overrides, nullptr) != ERROR_SUCCESS)
        return;
    active_ = RegSetValueExA(overrides, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                             static_cast<DWORD>(std::strlen(order) + 1)) == ERROR_SUCCESS;
    RegCloseKey(overrides);
}

WineDllOverride::~WineDllOverride() {
    RegDeleteKeyA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
}

}  // namespace testsupport
