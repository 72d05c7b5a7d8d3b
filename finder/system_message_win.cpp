// FormatMessage: the system's table for HRESULTs and Win32 errors, ntdll's for NTSTATUS.
#include <windows.h>

#include "jet/utf.h"
#include "finder/system_message.h"
#include "win/unique.h"

namespace finder {
namespace {

using UniqueLocal = win::Unique<HLOCAL, &LocalFree>;

std::string Format(DWORD source, HMODULE module, DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | source;
    const DWORD length = FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocal owner(buffer);
    if (length == 0 || !buffer) return std::string();
    std::u16string text(reinterpret_cast<const char16_t*>(buffer), length);
    // One line: the table's line breaks become spaces, the last goes.
    for (char16_t& c : text)
        if (c == u'\r' || c == u'\n') c = u' ';
    while (!text.empty() && text.back() == u' ') text.pop_back();
    return jet::Utf16ToUtf8(text);
}

}  // namespace

std::string SystemMessage(const CodeReading& reading) {
    if (reading.kind != CodeReading::Kind::Hresult) {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll ? Format(FORMAT_MESSAGE_FROM_HMODULE, ntdll, reading.ntStatus) : std::string();
    }
    std::string text = Format(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, reading.value);
    if (text.empty() && reading.hresult.facility == kFacilityWin32)
        text = Format(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, reading.hresult.code);
    return text;
}

}  // namespace finder
