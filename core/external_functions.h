#pragma once
// Windows functions that the program knows by name only, bound on first call
// from the system libraries and released at the end of the program.
#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <initializer_list>
#include <vector>

#include "core/types.h"
#include "win/unique.h"

namespace core {

struct ExternalFunction {
    Text library;  // empty: search the system libraries
    Text name;     // "#n": export ordinal n (low 16 bits)
    FARPROC address = nullptr;
    win::UniqueModule module;
};

// Libraries searched, in order and in the system folder only, for a row without a
// library of its own.
extern const char* const SystemLibraryOrder[6];

class ExternalFunctionTable {
public:
    struct Declaration {
        Text library;
        Text name;
    };
    explicit ExternalFunctionTable(std::initializer_list<Declaration> declarations);
    ExternalFunctionTable(const ExternalFunctionTable&) = delete;
    ExternalFunctionTable& operator=(const ExternalFunctionTable&) = delete;

    // The row's entry point, resolved on first use; a failure is fatal.
    FARPROC Resolve(int number);
    // Releases every row's library; the rows stay resolved no more.
    void Release();

    int Size() const { return static_cast<int>(rows_.size()); }
    const ExternalFunction& Row(int number) const { return rows_[number]; }
    // Export lookups (GetProcAddress) made so far, for every row together.
    int Lookups() const { return lookups_; }

private:
    FARPROC FindInSystemLibraries(ExternalFunction& row);
    FARPROC FindInNamedLibrary(ExternalFunction& row);
    FARPROC Lookup(HMODULE module, const Text& name);

    std::vector<ExternalFunction> rows_;
    int lookups_ = 0;
};

// Row numbers of the program's table.
enum ExternalFunctionNumber {
    EF_ShellExecuteA = 0,
    EF_LoadLibraryA = 1,
    EF_GetProcAddress = 2,
    EF_lstrcpynText = 3,
    EF_lstrcpynInt = 4,
    EF_CallWindowProcA = 5,
    EF_wvsprintfA = 6,
};

// The program's table of seven rows, built unresolved on first use.
ExternalFunctionTable& ExternalFunctions();
FARPROC ResolveExternal(int number);
void ReleaseExternalLibraries();

// Each row is called through a pointer of exactly its declared type and
// convention (the platform headers' own declaration), so the callee cannot leave
// the stack unbalanced.
template <class Function>
Function ExternalAs(int number) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(ResolveExternal(number)));
}

inline HINSTANCE ExternalShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                                       const char* directory, int show) {
    return ExternalAs<decltype(&ShellExecuteA)>(EF_ShellExecuteA)(owner, verb, file, parameters, directory, show);
}
inline HMODULE ExternalLoadLibraryA(const char* name) {
    return ExternalAs<decltype(&LoadLibraryA)>(EF_LoadLibraryA)(name);
}
inline FARPROC ExternalGetProcAddress(HMODULE module, const char* name) {
    return ExternalAs<decltype(&GetProcAddress)>(EF_GetProcAddress)(module, name);
}
inline char* ExternalLstrcpynText(char* to, const char* from, int count) {
    return ExternalAs<decltype(&lstrcpynA)>(EF_lstrcpynText)(to, from, count);
}
// lstrcpyn declared over int pointers: with a count of 0 it copies nothing and
// gives back the first pointer.
inline int* ExternalLstrcpynInt(int* to, int* from, int count) {
    return ExternalAs<int*(WINAPI*)(int*, int*, int)>(EF_lstrcpynInt)(to, from, count);
}
inline LRESULT ExternalCallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ExternalAs<decltype(&CallWindowProcA)>(EF_CallWindowProcA)(procedure, window, message, wParam, lParam);
}
inline int ExternalWvsprintfA(char* buffer, const char* format, va_list arguments) {
    return ExternalAs<decltype(&wvsprintfA)>(EF_wvsprintfA)(buffer, format, arguments);
}

}  // namespace core
