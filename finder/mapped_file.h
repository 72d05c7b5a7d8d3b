#pragma once
// A file mapped for reading only, for as long as its owner lives: the reader
// touches only the pages a question needs, and nothing is ever written. The
// file stays open beside its mapping, for reads of many pages at once.
#include <cstdint>
#include <memory>
#include <string>

namespace finder {

class MappedFile {
public:
    // nullptr on failure, with the reason in *error ("no such file",
    // "permission denied", "it is a folder", ...). An empty file maps to no bytes.
    static std::unique_ptr<MappedFile> Open(const std::string& utf8Path, std::string* error);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    // Copies n bytes from offset on, read from the file rather than the mapping.
    bool Read(std::uint64_t offset, std::size_t n, std::uint8_t* to) const;

    struct Owner;  // the platform's handles, defined beside each Open

private:
    MappedFile() = default;
    std::unique_ptr<Owner> owner_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace finder
