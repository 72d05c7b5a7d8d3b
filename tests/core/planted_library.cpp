// Stands in for mpr.dll in a program's folder: once loaded, it leaves a file
// "planted-ran" beside itself for the test to find.
#include <windows.h>

#include <string>

#include "win/unique.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, MAX_PATH);
    std::string marker = path;
    marker = marker.substr(0, marker.find_last_of('\\')) + "\\planted-ran";
    win::UniqueHandle(CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
