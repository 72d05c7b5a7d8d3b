#pragma once
// Owner of one counted COM interface reference.
#include <unknwn.h>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : p_(other.p_) { AddRefIfSet(); }
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr other) noexcept {
        T* old = p_;
        p_ = other.p_;
        other.p_ = old;
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    // Takes a new reference of its own.
    static ComPtr Share(T* p) {
        ComPtr r = Attach(p);
        r.AddRefIfSet();
        return r;
    }

    void Reset() {
        if (p_) {
            T* old = p_;
            p_ = nullptr;
            old->Release();
        }
    }
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    // For out-parameters: releases the old reference first.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    template <class U>
    ComPtr<U> Query(REFIID iid) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, r.PutVoid());
        return r;
    }

private:
    void AddRefIfSet() {
        if (p_) p_->AddRef();
    }
    T* p_ = nullptr;
};
