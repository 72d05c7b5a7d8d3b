#pragma once
// The flag arithmetic and answer numbering of the message box, apart from the
// platform call so that both can be checked anywhere.

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

}  // namespace core
