#pragma once
// SafeArrayLock: SafeArrayAccessData held for as long as the lock lives.
// UniqueSafeArray (win/unique.h) owns the array itself.
#include <windows.h>
#include <oleauto.h>

namespace win {

class SafeArrayLock {
public:
    explicit SafeArrayLock(SAFEARRAY* array) : array_(array) {
        if (!array_ || FAILED(SafeArrayAccessData(array_, &data_))) array_ = nullptr, data_ = nullptr;
    }
    SafeArrayLock(const SafeArrayLock&) = delete;
    SafeArrayLock& operator=(const SafeArrayLock&) = delete;
    ~SafeArrayLock() {
        if (array_) SafeArrayUnaccessData(array_);
    }
    // The elements, or null when the array could not be locked.
    void* get() const { return data_; }
    explicit operator bool() const { return array_ != nullptr; }

private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

}  // namespace win
