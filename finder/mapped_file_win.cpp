// MappedFile on Windows: the file opened shared for reading only (nobody may
// change it while it is read), and a read-only view of all of it.
#include <windows.h>

#include <algorithm>

#include "jet/utf.h"
#include "finder/mapped_file.h"
#include "win/unique.h"

namespace finder {

using UniqueView = win::Unique<LPCVOID, &UnmapViewOfFile>;

struct MappedFile::Owner {
    win::UniqueHandle file, mapping;
    UniqueView view;
};

namespace {

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

std::string Reason(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return "no such file";
    case ERROR_ACCESS_DENIED: return "permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "another program holds it open";
    default: return "Windows error " + std::to_string(code);
    }
}

bool MapWhole(const std::wstring& path, MappedFile::Owner& owner, std::size_t& size, std::string* error) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Fail(error, "it is a folder");
    owner.file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!owner.file) return Fail(error, Reason(GetLastError()));
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(owner.file.get(), &bytes)) return Fail(error, Reason(GetLastError()));
    if (static_cast<unsigned long long>(bytes.QuadPart) > static_cast<SIZE_T>(-1) / 2)
        return Fail(error, "too large to map");
    size = static_cast<std::size_t>(bytes.QuadPart);
    if (size == 0) return true;  // an empty file cannot be mapped
    owner.mapping.reset(CreateFileMappingW(owner.file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (owner.mapping) owner.view.reset(MapViewOfFile(owner.mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!owner.view) return Fail(error, Reason(GetLastError()));
    return true;
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& utf8Path, std::string* error) {
    const std::u16string wide = jet::Utf8ToUtf16(utf8Path);
    std::unique_ptr<MappedFile> file(new MappedFile);
    file->owner_ = std::make_unique<Owner>();
    if (!MapWhole(std::wstring(wide.begin(), wide.end()), *file->owner_, file->size_, error)) return nullptr;
    file->data_ = static_cast<const std::uint8_t*>(file->owner_->view.get());
    return file;
}

bool MappedFile::Read(std::uint64_t offset, std::size_t n, std::uint8_t* to) const {
    while (n > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(owner_->file.get(), to, chunk, &got, &at) || got == 0) return false;
        to += got;
        n -= got;
        offset += got;
    }
    return true;
}

MappedFile::~MappedFile() = default;

}  // namespace finder
