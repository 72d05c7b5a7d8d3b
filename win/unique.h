#pragma once
// Unique<Handle, Close>: owner of one handle given back by Close, in the manner
// of WIL's unique_any. Null and INVALID_HANDLE_VALUE own nothing.
#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace win {

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
    explicit operator bool() const { return Owns(handle_); }
    // For out-parameters: gives back the old handle first.
    Handle* put() {
        reset();
        return &handle_;
    }
    void reset(Handle handle = Handle()) {
        Handle old = std::exchange(handle_, handle);
        if (Owns(old)) Close(old);
    }
    Handle release() { return std::exchange(handle_, Handle()); }

private:
    static bool Owns(Handle h) { return h != Handle() && h != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE); }
    Handle handle_ = Handle();
};

using UniqueModule = Unique<HMODULE, &FreeLibrary>;
using UniqueKey = Unique<HKEY, &RegCloseKey>;
using UniqueGlobal = Unique<HGLOBAL, &GlobalFree>;
using UniqueHandle = Unique<HANDLE, &CloseHandle>;
using UniqueBstr = Unique<BSTR, &SysFreeString>;
using UniqueSafeArray = Unique<SAFEARRAY*, &SafeArrayDestroy>;

}  // namespace win
