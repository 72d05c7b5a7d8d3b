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
    int fd = -1;
    void* view = nullptr;
    std::size_t size = 0;
    ~Owner() {
        if (view) munmap(view, size);
        if (fd >= 0) close(fd);
    }
};

namespace {

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

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

bool MapWhole(const char* path, MappedFile::Owner& owner, std::string* error) {
    owner.fd = open(path, O_RDONLY | O_CLOEXEC);
    if (owner.fd < 0) return Fail(error, Reason(errno));
    struct stat status {};
    if (fstat(owner.fd, &status) != 0) return Fail(error, Reason(errno));
    if (S_ISDIR(status.st_mode)) return Fail(error, "it is a folder");
    owner.size = static_cast<std::size_t>(status.st_size);
    if (owner.size == 0) return true;
    void* view = mmap(nullptr, owner.size, PROT_READ, MAP_PRIVATE, owner.fd, 0);
    if (view == MAP_FAILED) return Fail(error, Reason(errno));
    owner.view = view;
    return true;
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& utf8Path, std::string* error) {
    std::unique_ptr<MappedFile> file(new MappedFile);
    file->owner_ = std::make_unique<Owner>();
    if (!MapWhole(utf8Path.c_str(), *file->owner_, error)) return nullptr;
    file->data_ = static_cast<const std::uint8_t*>(file->owner_->view);
    file->size_ = file->owner_->size;
    return file;
}

bool MappedFile::Read(std::uint64_t offset, std::size_t n, std::uint8_t* to) const {
    while (n > 0) {
        const ssize_t got = pread(owner_->fd, to, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        to += got;
        n -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

MappedFile::~MappedFile() = default;

}  // namespace finder
