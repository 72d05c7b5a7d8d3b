#pragma once
// Owner of one BSTR, and the ANSI (CP_ACP) <-> UTF-16 conversions of the bridge.
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>

#include "core/types.h"

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const Text& ansi);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(other.s_) { other.s_ = nullptr; }
    ~Bstr() { SysFreeString(s_); }

    BSTR Get() const { return s_; }
    BSTR Detach() {
        BSTR s = s_;
        s_ = nullptr;
        return s;
    }

private:
    BSTR s_ = nullptr;
};

// A new BSTR holding the UTF-16 text, for the caller (or its caller) to free.
inline BSTR NewBstr(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

std::wstring AnsiToWide(const Text& ansi);
// A null or empty BSTR gives empty text.
Text WideToAnsi(const wchar_t* wide, int length);
Text BstrToAnsi(BSTR s);
