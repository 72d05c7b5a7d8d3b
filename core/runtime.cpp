#include "core/runtime.h"

#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "core/external_functions.h"
#include "core/program_directory.h"

namespace core {
namespace {

void (*exitRoutine)() = nullptr;
bool oleStarted = false;
bool endingAfterFatalError = false;

[[noreturn]] void Finish(int exitCode) {
    ReleaseExternalLibraries();
    if (oleStarted) {
        oleStarted = false;
        OleUninitialize();
    }
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(exitCode));
}

void ShowFatalErrorAndEnd(int number, const Text& message) {
    // A fault while reporting a fault ends at once, without a second box.
    if (!endingAfterFatalError) {
        endingAfterFatalError = true;
        exitRoutine = nullptr;
        // A quit already posted (the last window gone) would end the box before it is seen.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        MessageBoxA(nullptr, FatalErrorText(number, message).c_str(), "错误", MB_OK | MB_ICONSTOP);
    }
    Finish(-1);
}

}  // namespace

void StartRuntime() {
    // Libraries loaded by bare name (shlwapi.dll, for one) come from the system folder only.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetFatalHandler(ShowFatalErrorAndEnd);
    oleStarted = SUCCEEDED(OleInitialize(nullptr));
    CaptureProgramDirectory();
    ExternalFunctions();
}

void RegisterExitRoutine(void (*routine)()) { exitRoutine = routine; }

void EndProgram(int exitCode) {
    if (auto routine = exitRoutine) {
        exitRoutine = nullptr;
        routine();
    }
    Finish(exitCode);
}

}  // namespace core
