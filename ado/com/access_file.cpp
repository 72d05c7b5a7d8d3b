#include "ado/com/access_file.h"

#include <algorithm>

#include "ado/access_bytes.h"
#include "ado/com/owners.h"

namespace ado_com {
namespace {

// Keeps the file open, and so shielded from writers, while the tables are used.
class FileBackedSource : public ado::DataSource {
public:
    FileBackedSource(UniqueHandle file, std::unique_ptr<ado::DataSource> inner)
        : file_(std::move(file)), inner_(std::move(inner)) {}
    const ado::TableShape* FindTable(std::u16string_view name) override { return inner_->FindTable(name); }
    std::vector<ado::Row> ReadAll(const ado::TableShape& t) override { return inner_->ReadAll(t); }
    std::vector<ado::Row> Lookup(const ado::TableShape& t, std::size_t column, std::u16string_view text) override {
        return inner_->Lookup(t, column, text);
    }

private:
    UniqueHandle file_;
    std::unique_ptr<ado::DataSource> inner_;
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

bool ReadWhole(HANDLE file, std::vector<std::uint8_t>* bytes) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) return false;  // Jet files stop at 2 GB
    bytes->resize(std::size_t(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes->size()) {
        DWORD got = 0;
        DWORD want = DWORD(std::min<std::size_t>(bytes->size() - done, 1u << 24));
        if (!ReadFile(file, bytes->data() + done, want, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
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
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(file.Get(), &bytes)) {
        *error = u"Could not read '" + path + u"'.";
        return nullptr;
    }
    std::string why;
    std::unique_ptr<ado::DataSource> tables = ado::OpenAccessBytes(std::move(bytes), &why);
    if (!tables) {
        *error = Widen(why);
        return nullptr;
    }
    return std::make_shared<FileBackedSource>(std::move(file), std::move(tables));
}

}  // namespace ado_com
