// The flag arithmetic and answer numbering of the message box, kept apart
// from the platform call so that both can be checked anywhere.
#include "core/dialogs.h"

namespace core {
namespace {
constexpr unsigned SystemModal = 0x1000;
constexpr unsigned TaskModal = 0x2000;
}  // namespace

unsigned MessageBoxStyle(int flags) {
    const auto style = static_cast<unsigned>(flags);
    return (style & SystemModal) ? style : style | TaskModal;
}

int ButtonResultOf(int platformAnswer) {
    // IDOK 1 ... IDNO 7 in the order of ButtonResult.
    if (platformAnswer >= 1 && platformAnswer <= 7) return platformAnswer - 1;
    return BR_OK;
}

}  // namespace core
