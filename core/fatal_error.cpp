#include "core/fatal_error.h"

#include <cstdio>
#include <cstdlib>

#include "core/text_commands.h"
#include "core/value_text.h"

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
    if (number != 0) text += ConcatTexts("错误代码：", ToText(number), "\r\n\r\n");
    if (!message.empty()) text += ConcatTexts("错误信息：", message, "\r\n");
    return text;
}

Text AllocationFailureMessage(long long size) {
    return ConcatTexts("分配 ", std::to_string(size), " 字节内存失败!");
}

}  // namespace core
