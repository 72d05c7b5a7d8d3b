#pragma once
// Message box, clipboard and shell: thin layers with fixed defaults.
#include "core/basic_value.h"
#include "core/types.h"

namespace core {

// The answer of a message box, numbered from 0.
enum ButtonResult {
    BR_OK = 0,
    BR_Cancel = 1,
    BR_Abort = 2,
    BR_Retry = 3,
    BR_Ignore = 4,
    BR_Yes = 5,
    BR_No = 6,
};

// Platform answer (IDOK...IDNO) to ButtonResult; anything else is BR_OK.
int ButtonResultOf(int platformAnswer);
// The style handed to the platform: task-modal unless system-modal was asked.
unsigned MessageBoxStyle(int flags);

#ifdef _WIN32
// Without a title the box is titled "信息：". Returns a ButtonResult.
int ShowMessage(const BasicValue& content, int flags, const Text* title = nullptr);
int ShowMessage(const Text& content, int flags, const Text* title = nullptr);

// CF_TEXT; false on any failure, and the clipboard is never left open.
bool SetClipboardText(const Text& text);

// ShellExecuteA "open"; false only when the program file was not found.
bool OpenWithProgram(const Text& program, const Text& parameters);
#endif

}  // namespace core
