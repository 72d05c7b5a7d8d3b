#pragma once
// Owners of a SAFEARRAY and of a SafeArrayAccessData lock.
#include <windows.h>
#include <oleauto.h>

class SafeArray {
public:
    SafeArray() = default;
    explicit SafeArray(SAFEARRAY* a) : a_(a) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    ~SafeArray() {
        if (a_) SafeArrayDestroy(a_);
    }
    SAFEARRAY* Get() const { return a_; }
    SAFEARRAY* Detach() {
        SAFEARRAY* a = a_;
        a_ = nullptr;
        return a;
    }

private:
    SAFEARRAY* a_ = nullptr;
};

class SafeArrayData {
public:
    explicit SafeArrayData(SAFEARRAY* a) : a_(a) {
        if (!a_ || FAILED(SafeArrayAccessData(a_, &data_))) {
            a_ = nullptr;
            data_ = nullptr;
        }
    }
    SafeArrayData(const SafeArrayData&) = delete;
    SafeArrayData& operator=(const SafeArrayData&) = delete;
    ~SafeArrayData() {
        if (a_) SafeArrayUnaccessData(a_);
    }
    bool Ok() const { return a_ != nullptr; }
    void* Data() const { return data_; }

private:
    SAFEARRAY* a_;
    void* data_ = nullptr;
};
