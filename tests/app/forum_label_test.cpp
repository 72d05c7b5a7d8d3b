// Pressing the red label hands the forum's address to iexplore.exe, before and after a query.
// Wine's own iexplore.exe is what starts here; the test ends it at once.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <set>

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

// Waits for an iexplore.exe that was not running before, returns its command line and ends it.
std::wstring TakeNewBrowser(const std::set<DWORD>& before) {
    for (int i = 0; i < 250; ++i) {
        for (DWORD pid : ProcessesNamed("iexplore.exe")) {
            if (before.count(pid)) continue;
            HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE, FALSE, pid);
            if (!process) continue;
            const std::wstring commandLine = CommandLineOf(process);
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
            return commandLine.empty() ? L"(unreadable)" : commandLine;
        }
        Sleep(20);
    }
    return std::wstring();
}

void PressLabel(AppSession& app) {
    HWND label = app.Control(k标签1);
    PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
}

TEST(ForumLabel, OpensTheForumInInternetExplorerBeforeAndAfterAQuery) {
    AppSession app(std::vector<StoredRow>{{"WM_CREATE", "0x0001"}});
    ASSERT_TRUE(app.Started());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) {
            EXPECT_EQ("成功查询到记录！", app.Query("WM_CREATE"));
        }
        const std::set<DWORD> before = ProcessesNamed("iexplore.exe");
        PressLabel(app);
        const std::wstring commandLine = TakeNewBrowser(before);
        ASSERT_FALSE(commandLine.empty());
        EXPECT_NE(std::wstring::npos, commandLine.find(L"http://bbs.example.com/")) << commandLine.size();
        EXPECT_TRUE(testsupport::TopLevelWindows(app.Process().Pid(), "#32770").empty());  // no message
    }
}

}  // namespace
