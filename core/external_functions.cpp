#include "core/external_functions.h"

#include <cstdlib>

#include "core/fatal_error.h"
#include "core/program_directory.h"

namespace core {

const char* const SystemLibraryOrder[6] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

ExternalFunctionTable::ExternalFunctionTable(std::initializer_list<Declaration> declarations) {
    rows_.resize(declarations.size());
    std::size_t i = 0;
    for (const Declaration& declaration : declarations) {
        rows_[i].library = declaration.library;
        rows_[i].name = declaration.name;
        ++i;
    }
}

namespace {

// A system library comes from the system folder only: a copy planted beside the
// program (or in the current folder) never runs. Windows 7 without KB2533623
// knows no search flags; there the folder's full path does the same.
HMODULE LoadSystemLibrary(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryA((Text(folder) + "\\" + name).c_str());
}

}  // namespace

FARPROC ExternalFunctionTable::Lookup(HMODULE module, const Text& name) {
    ++lookups_;
    if (!name.empty() && name[0] == '#') {
        const auto ordinal = static_cast<WORD>(std::strtoul(name.c_str() + 1, nullptr, 10) & 0xFFFF);
        return GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    }
    return GetProcAddress(module, name.c_str());
}

FARPROC ExternalFunctionTable::FindInSystemLibraries(ExternalFunction& row) {
    for (const char* library : SystemLibraryOrder) {
        win::UniqueModule module(LoadSystemLibrary(library));
        if (!module) continue;
        if (FARPROC address = Lookup(module.get(), row.name)) {
            row.module = std::move(module);
            return address;
        }
    }
    return nullptr;
}

FARPROC ExternalFunctionTable::FindInNamedLibrary(ExternalFunction& row) {
    // A library named without a path: the system's own if there is one, else the
    // program's copy beside it first.
    win::UniqueModule module;
    if (row.library.find_first_of(":\\/") == Text::npos) {
        module.reset(LoadSystemLibrary(row.library.c_str()));
        const Text besideProgram = ProgramDirectory() + "\\" + row.library;
        if (!module) module.reset(LoadLibraryA(besideProgram.c_str()));
    }
    if (!module) module.reset(LoadLibraryA(row.library.c_str()));
    if (!module) return nullptr;
    FARPROC address = Lookup(module.get(), row.name);
    if (address) row.module = std::move(module);
    return address;
}

FARPROC ExternalFunctionTable::Resolve(int number) {
    ExternalFunction& row = rows_.at(static_cast<std::size_t>(number));
    if (row.address) return row.address;
    row.address = row.library.empty() ? FindInSystemLibraries(row) : FindInNamedLibrary(row);
    if (row.address) return row.address;
    if (row.library.empty())
        FatalError(0, "无法找到指定DLL库文件中的输出命令“" + row.name + "”");
    FatalError(0, "无法找到指定DLL库文件“" + row.library + "”中的输出命令“" + row.name + "”");
}

void ExternalFunctionTable::Release() {
    for (ExternalFunction& row : rows_) {
        row.address = nullptr;
        row.module.reset();
    }
}

ExternalFunctionTable& ExternalFunctions() {
    static ExternalFunctionTable table({
        {"", "ShellExecuteA"},
        {"", "LoadLibraryA"},
        {"", "GetProcAddress"},
        {"", "lstrcpyn"},
        {"", "lstrcpyn"},
        {"", "CallWindowProcA"},
        {"", "wvsprintfA"},
    });
    return table;
}

FARPROC ResolveExternal(int number) { return ExternalFunctions().Resolve(number); }

void ReleaseExternalLibraries() { ExternalFunctions().Release(); }

}  // namespace core
