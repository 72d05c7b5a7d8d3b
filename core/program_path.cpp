#include "core/program_directory.h"

namespace core {

void SplitProgramPath(const Text& path, Text* dir, Text* file) {
    std::size_t lastBackslash = Text::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte >= 0x80) {
            ++i;  // a trail byte may be 0x5C without being a backslash
            continue;
        }
        if (byte == '\\') lastBackslash = i;
    }
    if (lastBackslash == Text::npos) {
        if (dir) dir->clear();
        if (file) *file = path;
        return;
    }
    if (dir) *dir = path.substr(0, lastBackslash);
    if (file) *file = path.substr(lastBackslash + 1);
}

}  // namespace core
