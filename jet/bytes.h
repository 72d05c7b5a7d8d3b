#pragma once
// Little-endian field access on page images. Readers are bounds-checked so that
// damaged files fail cleanly instead of reading outside the buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace jet {

using ByteVec = std::vector<std::uint8_t>;

inline void PutU16(ByteVec& b, std::size_t at, std::uint16_t v) {
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(ByteVec& b, std::size_t at, std::uint32_t v) {
    PutU16(b, at, static_cast<std::uint16_t>(v));
    PutU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}
inline void PutU64(ByteVec& b, std::size_t at, std::uint64_t v) {
    PutU32(b, at, static_cast<std::uint32_t>(v));
    PutU32(b, at + 4, static_cast<std::uint32_t>(v >> 32));
}

inline void AppendU8(ByteVec& b, std::uint8_t v) { b.push_back(v); }
inline void AppendU16(ByteVec& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void AppendU32(ByteVec& b, std::uint32_t v) {
    AppendU16(b, static_cast<std::uint16_t>(v));
    AppendU16(b, static_cast<std::uint16_t>(v >> 16));
}
inline void AppendU64(ByteVec& b, std::uint64_t v) {
    AppendU32(b, static_cast<std::uint32_t>(v));
    AppendU32(b, static_cast<std::uint32_t>(v >> 32));
}
inline void AppendBytes(ByteVec& b, const ByteVec& more) { b.insert(b.end(), more.begin(), more.end()); }

inline std::uint64_t DoubleBits(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}
inline double BitsDouble(std::uint64_t u) {
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

// A read-only view of a byte range; every access reports whether it stayed inside.
class ByteView {
public:
    ByteView() = default;
    ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    const std::uint8_t* data() const { return data_; }
    bool Has(std::size_t at, std::size_t n) const { return at <= size_ && n <= size_ - at; }

    bool U8(std::size_t at, std::uint8_t& v) const {
        if (!Has(at, 1)) return false;
        v = data_[at];
        return true;
    }
    bool U16(std::size_t at, std::uint16_t& v) const {
        if (!Has(at, 2)) return false;
        v = static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
        return true;
    }
    bool U32(std::size_t at, std::uint32_t& v) const {
        std::uint16_t lo, hi;
        if (!U16(at, lo) || !U16(at + 2, hi)) return false;
        v = lo | (static_cast<std::uint32_t>(hi) << 16);
        return true;
    }
    bool U64(std::size_t at, std::uint64_t& v) const {
        std::uint32_t lo, hi;
        if (!U32(at, lo) || !U32(at + 4, hi)) return false;
        v = lo | (static_cast<std::uint64_t>(hi) << 32);
        return true;
    }
    bool Slice(std::size_t at, std::size_t n, ByteView& out) const {
        if (!Has(at, n)) return false;
        out = ByteView(data_ + at, n);
        return true;
    }
    ByteVec Copy() const { return ByteVec(data_, data_ + size_); }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace jet
