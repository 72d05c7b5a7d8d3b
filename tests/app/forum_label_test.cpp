// Pressing the red label hands the forum's address to iexplore.exe, before and after a query.
// Wine's own iexplore.exe is what starts here; the test ends it, and any browser it
// starts, at once.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/app/app_session.h"

using namespace app;

using namespace main_window;

namespace {

std::set<DWORD> ProcessesNamed(const char* exeName) {
    std::set<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exeName) == 0) pids.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return pids;
}

// The command line of another 32-bit process, read from its PEB's process parameters.
std::wstring CommandLineOf(HANDLE process) {
    using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(process, 0, &basic, sizeof basic, nullptr) != 0) return std::wstring();
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr))
        return std::wstring();
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, &text[0], parameters.CommandLine.Length, nullptr))
        return std::wstring();
    return text;
}

// Ends, when it goes, every iexplore.exe that was not running when it was made,
// so that no browser outlives the test and holds its output open.
class BrowserSweep {
public:
    BrowserSweep() : before_(ProcessesNamed("iexplore.exe")) {}
    ~BrowserSweep() {
        for (DWORD pid : ProcessesNamed("iexplore.exe"))
            if (!before_.count(pid)) End(pid);
    }
    BrowserSweep(const BrowserSweep&) = delete;
    BrowserSweep& operator=(const BrowserSweep&) = delete;

    static void End(DWORD pid) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process) return;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }

private:
    std::set<DWORD> before_;
};

// The command lines of the iexplore.exe processes that start after `before` was
// taken, each read once it has its arguments, until one names `address` or five
// seconds pass. Every one of them is ended: a browser may start another.
std::vector<std::wstring> TakeNewBrowsers(const std::set<DWORD>& before, const std::wstring& address) {
    std::vector<std::wstring> seen;
    std::set<DWORD> taken;
    bool found = false;
    for (int i = 0; i < 250 && !found; ++i) {
        for (DWORD pid : ProcessesNamed("iexplore.exe")) {
            if (before.count(pid) || taken.count(pid)) continue;
            HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
            if (!process) continue;
            const std::wstring commandLine = CommandLineOf(process);
            CloseHandle(process);
            if (commandLine.find(L' ') == std::wstring::npos && i < 50) continue;  // not yet given its arguments
            taken.insert(pid);
            seen.push_back(commandLine.empty() ? L"(unreadable)" : commandLine);
            found = found || commandLine.find(address) != std::wstring::npos;
            BrowserSweep::End(pid);
        }
        if (!found) Sleep(20);
    }
    return seen;
}

bool AnyNames(const std::vector<std::wstring>& commandLines, const std::wstring& address) {
    for (const std::wstring& c : commandLines)
        if (c.find(address) != std::wstring::npos) return true;
    return false;
}

std::string Shown(const std::vector<std::wstring>& commandLines) {
    std::string out;
    for (const std::wstring& c : commandLines) {
        for (wchar_t ch : c) out += ch < 0x80 ? static_cast<char>(ch) : '?';
        out += " | ";
    }
    return out;
}

void PressLabel(AppSession& app) {
    HWND label = app.Control(k标签1);
    PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
}

TEST(ForumLabel, OpensTheForumInInternetExplorerBeforeAndAfterAQuery) {
    const BrowserSweep sweep;
    AppSession app(std::vector<StoredRow>{{"WM_CREATE", "0x0001"}});
    ASSERT_TRUE(app.Started());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) {
            EXPECT_EQ("成功查询到记录！", app.Query("WM_CREATE"));
        }
        const std::set<DWORD> before = ProcessesNamed("iexplore.exe");
        PressLabel(app);
        const std::vector<std::wstring> browsers = TakeNewBrowsers(before, L"http://bbs.example.com/");
        ASSERT_FALSE(browsers.empty());
        EXPECT_TRUE(AnyNames(browsers, L"http://bbs.example.com/")) << Shown(browsers);
        EXPECT_TRUE(testsupport::TopLevelWindows(app.Process().Pid(), "#32770").empty());  // no message
    }
}

}  // namespace
