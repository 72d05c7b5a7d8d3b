#pragma once
// ComPtr<T>: owner of one counted COM interface reference, with the verbs of
// Unique (get, put, reset, release). Copies add a reference.
#include <unknwn.h>

#include <utility>

namespace win {

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

    template <class U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, r.put_void());
        return r;
    }

private:
    void AddRefIfSet() {
        if (p_) p_->AddRef();
    }
    T* p_ = nullptr;
};

}  // namespace win
