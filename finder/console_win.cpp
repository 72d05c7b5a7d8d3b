// The command's ends on Windows: UTF-16 arguments, the module's folder, and
// output that a console shows as UTF-16 and a file or pipe receives as UTF-8.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "jet/utf.h"
#include "finder/console.h"
#include "win/unique.h"

namespace finder {
namespace {

using UniqueLocal = win::Unique<HLOCAL, &LocalFree>;

std::string Narrow(const wchar_t* wide) {
    return jet::Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(wide)));
}

class HandleOutput : public Output {
public:
    explicit HandleOutput(HANDLE handle) : handle_(handle) {
        DWORD mode = 0;
        console_ = handle_ != INVALID_HANDLE_VALUE && handle_ && GetConsoleMode(handle_, &mode);
    }
    void Write(std::string_view utf8) override {
        if (!handle_ || handle_ == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        if (!console_) {
            WriteFile(handle_, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            return;
        }
        const std::u16string wide = jet::Utf8ToUtf16(std::string(utf8));
        // Consoles take a bounded amount per call.
        for (std::size_t at = 0; at < wide.size(); at += 8192) {
            const std::size_t n = std::min<std::size_t>(8192, wide.size() - at);
            WriteConsoleW(handle_, wide.data() + at, static_cast<DWORD>(n), &written, nullptr);
        }
    }

private:
    HANDLE handle_;
    bool console_ = false;
};

}  // namespace

std::vector<std::string> ArgumentsUtf8(int, char**) {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    const UniqueLocal owner(argv);
    std::vector<std::string> out;
    for (int i = 1; argv && i < count; ++i) out.push_back(Narrow(argv[i]));
    return out;
}

std::string ProgramFolder() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(sizeof path / sizeof path[0]));
    if (n == 0 || n >= sizeof path / sizeof path[0]) return std::string();
    std::wstring self(path, n);
    return Narrow(self.substr(0, self.find_last_of(L"\\/") + 1).c_str());
}

std::unique_ptr<Output> StandardStream(bool err) {
    return std::make_unique<HandleOutput>(GetStdHandle(err ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE));
}

}  // namespace finder
