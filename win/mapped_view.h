#pragma once
// A whole file mapped for reading only: the file, its mapping and the view,
// each owned, released view first. The one home of read-only mapping for every
// Windows area that reads a file in place.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "win/unique.h"

namespace win {

using UniqueView = Unique<LPCVOID, &UnmapViewOfFile>;

struct ReadOnlyView {
    UniqueHandle file, mapping;
    UniqueView view;

    const std::uint8_t* bytes() const { return static_cast<const std::uint8_t*>(view.get()); }

    // Takes file (open for reading) and maps all of it. False when it cannot be
    // mapped, with GetLastError saying why; an empty file cannot be.
    bool Map(UniqueHandle opened) {
        file = std::move(opened);
        mapping.reset(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping) view.reset(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
        return bool(view);
    }
};

}  // namespace win
