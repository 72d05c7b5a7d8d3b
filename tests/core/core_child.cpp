// A small program that the Windows tests start: it raises the fatal errors,
// ends normally, holds the clipboard open, or records how it was started.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/external_functions.h"
#include "core/program_directory.h"
#include "core/read_from_bytes.h"
#include "core/runtime.h"

using namespace core;

namespace {

std::string markerPath;
// A block nothing holds may be left unallocated by the compiler.
char* volatile keptBlock = nullptr;

void WriteMarker() {
    if (FILE* marker = std::fopen(markerPath.c_str(), "wb")) std::fclose(marker);
}

void RaiseFatal(const std::string& kind) {
    if (kind == "fatal-stack") FatalError(6, "调用DLL命令后发现堆栈错误");
    if (kind == "fatal-bytes") ReadFromBytes(Bytes{1}, 11);
    if (kind == "fatal-export") ExternalFunctionTable({{"", "QalomirNoSuchExport"}}).Resolve(0);
    if (kind == "fatal-library")
        ExternalFunctionTable({{"qalomir_no_such.dll", "Anything"}}).Resolve(0);
    if (kind == "fatal-alloc") {
#if defined(__i386__) || defined(_M_IX86)
        // Wine may grant one such block; a 32-bit address space never holds three.
        volatile std::size_t size = 0x7FFFFFF0u;
        for (int i = 0; i < 3; ++i) new char[size];
#else
        // 256 TiB: twice the largest user address space x64 Windows gives a process.
        volatile std::size_t size = std::size_t(1) << 48;
        keptBlock = new char[size];
#endif
    }
    FatalError(0, "");
}

int HoldClipboard(const char* heldEvent, const char* releaseEvent) {
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, heldEvent);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseEvent);
    // Opened for a window: an owner-less open would not keep other owner-less opens out on Wine.
    HWND owner = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                 nullptr);
    if (!held || !release || !owner || !OpenClipboard(owner)) return 3;
    SetEvent(held);
    WaitForSingleObject(release, 30000);
    CloseClipboard();
    DestroyWindow(owner);
    return 0;
}

// Writes the captured program directory and the current directory, one per line.
int ReportDirectories(const char* reportPath) {
    StartRuntime();
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    FILE* out = std::fopen(reportPath, "wb");
    if (!out) return 2;
    std::fprintf(out, "%s\n%s", ProgramDirectory().c_str(), current);
    std::fclose(out);
    EndProgram(0);
}

// Started in place of a browser: leaves its command line beside itself.
int RecordCommandLine() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file = path;
    file = file.substr(0, file.find_last_of('\\')) + "\\recorded-command-line.txt";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return 2;
    std::fputs(GetCommandLineA(), out);
    std::fclose(out);
    return 0;
}

// Resolves ShellExecuteA (searched through Mpr.dll on the way) and loads mpr.dll
// by bare name, as the program would; 0 when both succeed.
int ResolveThroughSystemLibraries() {
    StartRuntime();
    const bool resolved = ResolveExternal(EF_ShellExecuteA) != nullptr;
    const bool loaded = ExternalLoadLibraryA("mpr.dll") != nullptr;
    EndProgram(resolved && loaded ? 0 : 1);
}

// Loads the mpr.dll beside the program by its full path; 0 when it loaded.
int LoadBesideProgram() {
    StartRuntime();
    EndProgram(LoadLibraryA((ProgramDirectory() + "\\mpr.dll").c_str()) ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "directories" && argc > 2) return ReportDirectories(argv[2]);
    if (mode == "holdclip" && argc > 3) return HoldClipboard(argv[2], argv[3]);
    if (mode == "resolve-shell") return ResolveThroughSystemLibraries();
    if (mode == "load-beside") return LoadBesideProgram();
    if ((mode.rfind("fatal-", 0) == 0 || mode == "end") && argc > 2) {
        markerPath = argv[2];
        StartRuntime();
        RegisterExitRoutine(WriteMarker);
        if (mode == "end") EndProgram(7);
        RaiseFatal(mode);
    }
    return RecordCommandLine();
}
