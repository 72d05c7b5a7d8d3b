#include "core/program_directory.h"

#include <windows.h>

namespace core {
namespace {
Text& StoredDirectory() {
    static Text directory;
    return directory;
}
}  // namespace

void CaptureProgramDirectory() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    Text directory;
    SplitProgramPath(Text(path, length < sizeof path ? length : sizeof path - 1), &directory,
                     nullptr);
    StoredDirectory() = directory;
    if (directory.empty()) return;
    // "D:" alone names the drive's current directory, not its root.
    const Text current = directory.back() == ':' ? directory + "\\" : directory;
    SetCurrentDirectoryA(current.c_str());
}

Text ProgramDirectory() { return StoredDirectory(); }

}  // namespace core
