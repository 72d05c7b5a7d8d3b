#pragma once
// Owners for the handles the component holds: VARIANT, file handles.
// BSTRs are made with NewBstr (bridge/bstr.h).
// COM references use ComPtr (bridge/com_ptr.h).
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace ado_com {

class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&v_); }
    VARIANT* Get() { return &v_; }
    const VARIANT& operator*() const { return v_; }
    VARIANT Detach() {
        VARIANT v = v_;
        VariantInit(&v_);
        return v;
    }

private:
    VARIANT v_;
};

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.h_) { other.h_ = INVALID_HANDLE_VALUE; }
    ~UniqueHandle() {
        if (Valid()) CloseHandle(h_);
    }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

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
