#include "ado/com/access_file.h"

#include <cstdint>
#include <new>

#include "jetsql/access_bytes.h"
#include "ado/com/owners.h"
#include "jet/utf.h"
#include "win/mapped_view.h"

namespace ado_com {
namespace {

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

std::shared_ptr<jetsql::DataSource> MapAndOpen(UniqueHandle file, const std::u16string& path, std::u16string* error) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {  // Jet files stop at 2 GB
        *error = u"Could not read '" + path + u"'.";
        return nullptr;
    }
    std::string why;
    std::unique_ptr<jetsql::DataSource> tables;
    if (size.QuadPart == 0) {  // an empty file cannot be mapped
        tables = jetsql::OpenAccessBytes({}, &why);
    } else {
        // The file, open and shared for reading only, and a read-only view of
        // all of it: the reader touches only the pages a query needs.
        auto mapped = std::make_shared<win::ReadOnlyView>();
        if (!mapped->Map(std::move(file))) {
            *error = u"Could not read '" + path + u"'.";
            return nullptr;
        }
        const std::uint8_t* bytes = mapped->bytes();
        tables = jetsql::OpenAccessView(path, bytes, std::size_t(size.QuadPart), std::move(mapped), &why);
    }
    if (!tables) {
        *error = jet::Utf8ToUtf16(why);
        return nullptr;
    }
    return tables;
}

}  // namespace

std::shared_ptr<jetsql::DataSource> OpenAccessFile(const std::u16string& path, std::u16string* error) {
    HANDLE raw = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        *error = OpenFailure(GetLastError(), path);
        return nullptr;
    }
    return MapAndOpen(UniqueHandle(raw), path, error);  // out of memory throws, for the caller's Guard
}

}  // namespace ado_com
