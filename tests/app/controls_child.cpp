// A small program that the tests start to misuse the window layer: each mode ends in
// the fatal-error path with the layer's own message.
#include <windows.h>

#include <string>

#include "bridge/control_events.h"
#include "bridge/control_properties.h"
#include "bridge/window_loader.h"
#include "core/runtime.h"

using namespace core;
using namespace bridge;

namespace {

constexpr std::uint32_t kForm = 0x52010042;
constexpr std::uint32_t kFormControl = 0x06010000;
constexpr std::uint32_t kEdit = 0x16010001;
constexpr std::uint32_t kGroup = 0x16010002;

const FormDescription& Form() {
    static const FormDescription form{
        kForm, kFormControl, "child", 0, 0, 200, 120, true, {}, {
            ControlDescription{"edit", kEdit, ControlKind::EditBox, 0, 5, 5, 100, 20, "", {}},
            ControlDescription{"group", kGroup, ControlKind::GroupBox, 0, 5, 30, 100, 60, "", {}},
        },
        {}};
    return form;
}

void Misuse(const std::string& mode) {
    if (mode == "read-unloaded-window") ReadProperty(0x52019999, kEdit, 8, -1);
    if (mode == "event-unknown-window") RaiseEvent(0x52019999, kEdit, 0);
    if (LoadWindow(Form()) == nullptr) return;
    if (mode == "write-unknown-control") WriteTextProperty(kForm, 0x16019999, 8, "x");
    if (mode == "event-unknown-control") RaiseEvent(kForm, 0x16019999, 0);
    if (mode == "event-group-box") RaiseEvent(kForm, kGroup, 0);
    if (mode == "read-destroyed-control") {
        DestroyWindow(FindLoadedWindow(kForm)->controls.at(kEdit).hwnd);
        ReadProperty(kForm, kEdit, 8, -1);
    }
    if (mode == "read-closed-window") {
        DestroyWindow(FindLoadedWindow(kForm)->hwnd);
        ReadProperty(kForm, kEdit, 8, -1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    StartRuntime();
    Misuse(argc > 1 ? argv[1] : "");
    EndProgram(0);  // reached only when the mode did not end the program
}
