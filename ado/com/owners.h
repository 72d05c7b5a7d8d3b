#pragma once
// The owners the component holds things with (COM references, VARIANTs,
// registry keys, BSTRs) are the shared ones of win/, named here once; and the
// helpers that read the arguments of automation calls.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

#include "win/bstr.h"
#include "win/com_ptr.h"
#include "win/unique.h"
#include "win/variant.h"

namespace ado_com {

using win::BstrText;
using win::ComPtr;
using win::NewBstr;
using win::UniqueKey;
using UniqueVariant = win::OwnedVariant;

// The file handle of the reading side (access_file.cpp), in the spelling it
// uses; it goes when that file holds a win::UniqueHandle.
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
