#include "core/dialogs.h"

#include <windows.h>

#include <cstring>
#include <utility>

#include "core/external_functions.h"
#include "core/value_text.h"

namespace core {
namespace {

// The clipboard, open for as long as the session lives.
class ClipboardSession {
public:
    ClipboardSession() : open_(OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardSession() {
        if (open_) CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

bool CopyIntoGlobal(HGLOBAL block, const Text& text) {
    void* bytes = GlobalLock(block);
    if (!bytes) return false;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return true;
}

}  // namespace

int ShowMessage(const BasicValue& content, int flags, const Text* title) {
    // ToText gives the types without a text form none; a byte array's box stays empty too.
    const Text text = content.type == TC_Bytes ? Text() : ToText(content);
    const Text caption = title ? *title : Text("信息：");
    return ButtonResultOf(
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MessageBoxStyle(flags)));
}

int ShowMessage(const Text& content, int flags, const Text* title) {
    return ShowMessage(BasicValue::OfText(content), flags, title);
}

bool SetClipboardText(const Text& text) {
    ClipboardSession clipboard;
    if (!clipboard.IsOpen()) return false;
    if (!EmptyClipboard()) return false;
    win::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1));
    if (!block || !CopyIntoGlobal(block.get(), text)) return false;
    if (!SetClipboardData(CF_TEXT, block.get())) return false;
    block.release();  // the clipboard owns it now
    return true;
}

bool OpenWithProgram(const Text& program, const Text& parameters) {
    const HINSTANCE answer =
        ExternalShellExecuteA(nullptr, "open", program.c_str(), parameters.c_str(), "", 1);
    return reinterpret_cast<INT_PTR>(answer) != 2;
}

}  // namespace core
