#include "ado/com/access_file.h"

#include <cstdint>
#include <new>

#include "ado/access_bytes.h"
#include "ado/com/owners.h"

namespace ado_com {
namespace {

// The file, open and shared for reading only, and a read-only view of all of
// it: the reader touches only the pages a query needs.
class MappedFile {
public:
    MappedFile(UniqueHandle file, UniqueHandle mapping, const void* view)
        : file_(std::move(file)), mapping_(std::move(mapping)), view_(view) {}
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { UnmapViewOfFile(view_); }
    const std::uint8_t* Bytes() const { return static_cast<const std::uint8_t*>(view_); }

private:
    UniqueHandle file_;
    UniqueHandle mapping_;
    const void* view_;
};

std::u16string OpenFailure(DWORD code, const std::u16string& path) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return u"Could not find file '" + path + u"'.";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return u"The file '" + path + u"' is already in use.";
    case ERROR_ACCESS_DENIED: return u"No permission to read '" + path + u"'.";
    default: return u"Could not open '" + path + u"'.";
    }
}

std::shared_ptr<ado::DataSource> MapAndOpen(UniqueHandle file, const std::u16string& path, std::u16string* error) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {  // Jet files stop at 2 GB
        *error = u"Could not read '" + path + u"'.";
        return nullptr;
    }
    std::string why;
    std::unique_ptr<ado::DataSource> tables;
    if (size.QuadPart == 0) {  // an empty file cannot be mapped
        tables = ado::OpenAccessBytes({}, &why);
    } else {
        UniqueHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        const void* view = mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (!view) {
            *error = u"Could not read '" + path + u"'.";
            return nullptr;
        }
        auto mapped = std::make_shared<MappedFile>(std::move(file), std::move(mapping), view);
        const std::uint8_t* bytes = mapped->Bytes();
        tables = ado::OpenAccessView(bytes, std::size_t(size.QuadPart), std::move(mapped), &why);
    }
    if (!tables) {
        *error = Widen(why);
        return nullptr;
    }
    return tables;
}

}  // namespace

std::shared_ptr<ado::DataSource> OpenAccessFile(const std::u16string& path, std::u16string* error) {
    HANDLE raw = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        *error = OpenFailure(GetLastError(), path);
        return nullptr;
    }
    UniqueHandle file(raw);
    try {
        return MapAndOpen(std::move(file), path, error);
    } catch (const std::bad_alloc&) {
        *error = u"Not enough memory to open '" + path + u"'.";
        return nullptr;
    }
}

}  // namespace ado_com
