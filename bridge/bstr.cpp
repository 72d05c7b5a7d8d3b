#include "bridge/bstr.h"

namespace bridge {

std::wstring AnsiToWide(const Text& ansi) {
    if (ansi.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
    return wide;
}

Text BstrToAnsi(BSTR s) {
    const int length = s ? static_cast<int>(SysStringLen(s)) : 0;
    if (length == 0) return Text();
    int n = WideCharToMultiByte(CP_ACP, 0, s, length, nullptr, 0, nullptr, nullptr);
    Text ansi(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, s, length, &ansi[0], n, nullptr, nullptr);
    // Texts carry no NUL bytes: a BSTR with an embedded NUL ends there.
    ansi.resize(ansi.find('\0') == Text::npos ? ansi.size() : ansi.find('\0'));
    return ansi;
}

win::UniqueBstr AnsiBstr(const Text& ansi) {
    std::wstring wide = AnsiToWide(ansi.substr(0, ansi.find('\0')));
    if (wide.empty()) return win::UniqueBstr();
    return win::UniqueBstr(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

}  // namespace bridge
