// MappedFile on POSIX hosts: open, then mmap the whole file.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "finder/mapped_file.h"

namespace finder {

struct MappedFile::Owner {
    void* view = nullptr;
    std::size_t size = 0;
    ~Owner() {
        if (view) munmap(view, size);
    }
};

namespace {

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

// The descriptor is closed on every path; a mapping outlives it.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

// The same words as the Windows build for the failures users meet.
std::string Reason(int code) {
    switch (code) {
    case ENOENT:
    case ENOTDIR: return "no such file";
    case EACCES: return "permission denied";
    case EISDIR: return "it is a folder";
    default: return std::strerror(code);
    }
}

bool MapWhole(const char* path, void*& view, std::size_t& size, std::string* error) {
    Descriptor file{open(path, O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return Fail(error, Reason(errno));
    struct stat status {};
    if (fstat(file.fd, &status) != 0) return Fail(error, Reason(errno));
    if (S_ISDIR(status.st_mode)) return Fail(error, "it is a folder");
    size = static_cast<std::size_t>(status.st_size);
    if (size == 0) return true;
    view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (view == MAP_FAILED) {
        view = nullptr;
        return Fail(error, Reason(errno));
    }
    return true;
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& utf8Path, std::string* error) {
    std::unique_ptr<MappedFile> file(new MappedFile);
    file->owner_ = std::make_unique<Owner>();
    if (!MapWhole(utf8Path.c_str(), file->owner_->view, file->owner_->size, error)) return nullptr;
    file->data_ = static_cast<const std::uint8_t*>(file->owner_->view);
    file->size_ = file->owner_->size;
    return file;
}

MappedFile::~MappedFile() = default;

}  // namespace finder
