#include "core/fatal_error.h"

#include <cstdio>
#include <cstdlib>

namespace core {
namespace {
FatalHandler installedHandler = nullptr;
}

FatalHandler SetFatalHandler(FatalHandler handler) {
    FatalHandler previous = installedHandler;
    installedHandler = handler;
    return previous;
}

void FatalError(int number, const Text& message) {
    if (installedHandler) installedHandler(number, message);
    // A handler that returns, or none at all: still nothing may run on.
    std::fputs(FatalErrorText(number, message).c_str(), stderr);
    std::abort();
}

Text FatalErrorText(int number, const Text& message) {
    Text text = "运行时出错!\r\n\r\n";
    if (number != 0) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", number);
        text += "错误代码：";
        text += digits;
        text += "\r\n\r\n";
    }
    if (!message.empty()) {
        text += "错误信息：";
        text += message;
        text += "\r\n";
    }
    return text;
}

Text AllocationFailureMessage(long long size) {
    char text[64];
    std::snprintf(text, sizeof text, "分配 %lld 字节内存失败!", size);
    return text;
}

}  // namespace core
