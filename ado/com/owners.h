#pragma once
// Owners for what the component holds (COM references, VARIANTs, registry keys,
// file handles), with one set of verbs: get, put, reset, release.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace ado_com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit ComPtr(T* owned) : p_(owned) {}
    ComPtr(const ComPtr& other) : p_(other.p_) { AddRefIfSet(); }
    ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // A new reference of its own on p.
    static ComPtr share(T* p) {
        ComPtr r(p);
        r.AddRefIfSet();
        return r;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases the old reference first.
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset(T* owned = nullptr) {
        if (T* old = std::exchange(p_, owned)) old->Release();
    }
    T* release() { return std::exchange(p_, nullptr); }

private:
    void AddRefIfSet() {
        if (p_) p_->AddRef();
    }
    T* p_ = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&v_); }
    const VARIANT& get() const { return v_; }
    VARIANT& get() { return v_; }
    // For out-parameters: clears the old value first.
    VARIANT* put() {
        reset();
        return &v_;
    }
    void reset() {
        VariantClear(&v_);
        VariantInit(&v_);
    }
    VARIANT release() {
        VARIANT v = v_;
        VariantInit(&v_);
        return v;
    }

private:
    VARIANT v_;
};

template <class Handle, auto Close>
class Unique {
public:
    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }
    Handle get() const { return handle_; }
    Handle* put() {
        reset();
        return &handle_;
    }
    void reset(Handle handle = Handle()) {
        Handle old = std::exchange(handle_, handle);
        if (old && old != INVALID_HANDLE_VALUE) Close(old);
    }
    Handle release() { return std::exchange(handle_, Handle()); }

private:
    Handle handle_ = Handle();
};

using UniqueKey = Unique<HKEY, &RegCloseKey>;

// The reading side's file handle; keeps the spelling its users have.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() {
        if (Valid()) CloseHandle(h_);
    }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

inline BSTR NewBstr(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

inline std::u16string_view BstrText(BSTR s) {
    return s ? std::u16string_view(reinterpret_cast<const char16_t*>(s), SysStringLen(s)) : std::u16string_view();
}

// The value a VARIANT argument carries, with every level of VT_BYREF taken off.
// Fails for a missing optional argument (VT_ERROR) as for any other failure.
HRESULT ArgumentValue(const VARIANT& arg, VARIANT* out);

// True for an optional VARIANT argument that the caller left out or left empty.
bool IsMissing(const VARIANT& arg);

// An argument as text, or as a 32-bit number.
HRESULT ArgumentText(const VARIANT& arg, std::u16string* out);
HRESULT ArgumentLong(const VARIANT& arg, long* out);

std::u16string Widen(const std::string& utf8);

}  // namespace ado_com
