#include "tests/finder/console_run.h"

#include <thread>
#include <vector>

#include "jet/utf.h"
#include "win/unique.h"

using win::UniqueHandle;

std::wstring Wide(const std::string& utf8) {
    const std::u16string w = jet::Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

namespace {

std::wstring CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring line = L"\"" + Wide(program) + L"\"";
    for (const std::string& a : arguments) line += L" \"" + Wide(a) + L"\"";
    return line;
}

// Both ends of a pipe whose write end the child inherits.
bool InheritedPipe(UniqueHandle& read, UniqueHandle& write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!CreatePipe(&r, &w, &inherit, 0)) return false;
    read.reset(r);
    write.reset(w);
    return SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0) != 0;
}

std::string Drain(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    return bytes;
}

DWORD Start(std::wstring line, const std::string& folder, STARTUPINFOW& startup, DWORD flags, UniqueHandle& process) {
    PROCESS_INFORMATION info{};
    const std::wstring where = Wide(folder);
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, flags, nullptr,
                        folder.empty() ? nullptr : where.c_str(), &startup, &info))
        return GetLastError();
    CloseHandle(info.hThread);
    process.reset(info.hProcess);
    return 0;
}

DWORD ExitOf(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    return code;
}

}  // namespace

ConsoleRun RunCaptured(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder) {
    ConsoleRun run;
    UniqueHandle outRead, outWrite, errRead, errWrite, process;
    if (!InheritedPipe(outRead, outWrite) || !InheritedPipe(errRead, errWrite)) return run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    if (Start(CommandLine(program, arguments), folder, startup, CREATE_NO_WINDOW, process) != 0) return run;
    outWrite.reset();
    errWrite.reset();
    std::thread errors([&] { run.err = Drain(errRead.get()); });
    run.out = Drain(outRead.get());
    errors.join();
    run.status = ExitOf(process.get());
    return run;
}

bool RunOnConsole(const std::string& program, const std::vector<std::string>& arguments, std::u16string* shown) {
    FreeConsole();
    if (!AllocConsole()) return false;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, OPEN_EXISTING, 0, nullptr));
    if (!screen) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = screen.get();
    UniqueHandle process;
    if (Start(CommandLine(program, arguments), std::string(), startup, 0, process) != 0) return false;
    if (ExitOf(process.get()) == STILL_ACTIVE) return false;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(screen.get(), &info)) return false;
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * 4;
    std::vector<wchar_t> text(cells);
    DWORD read = 0;
    if (!ReadConsoleOutputCharacterW(screen.get(), text.data(), cells, COORD{0, 0}, &read)) return false;
    shown->assign(text.begin(), text.begin() + read);
    return true;
}
