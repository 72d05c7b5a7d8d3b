// Qalomir's window and nothing else: the same form, controls and visual style,
// without OLE, the database or any handler. It is the floor that the window
// itself sets, between the empty window and the program.
#include <windows.h>

#include "app/main_window.h"
#include "bridge/window_loader.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    bridge::FormDescription form = app::main_window::Form();
    form.bindings.clear();
    for (bridge::ControlDescription& control : form.controls) control.bindings.clear();
    if (!bridge::LoadWindow(form)) return 1;
    bridge::RunMessageLoop();
    return 0;
}
