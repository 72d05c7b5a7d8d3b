#pragma once
// Message box, clipboard and shell (Windows): thin layers with fixed defaults.
#include "core/basic_value.h"
#include "core/dialog_rules.h"
#include "core/types.h"

namespace core {

// Without a title the box is titled "信息：". Returns a ButtonResult.
int ShowMessage(const BasicValue& content, int flags, const Text* title = nullptr);
int ShowMessage(const Text& content, int flags, const Text* title = nullptr);

// CF_TEXT; false on any failure, and the clipboard is never left open.
bool SetClipboardText(const Text& text);

// ShellExecuteA "open"; false only when the program file was not found.
bool OpenWithProgram(const Text& program, const Text& parameters);

}  // namespace core
