#pragma once
// The windows of the program that are loaded, and their controls' live state.
#include <windows.h>

#include <cstdint>
#include <map>

#include "bridge/form_description.h"

namespace bridge {

struct LoadedControl {
    const ControlDescription* description = nullptr;  // null for the window itself
    HWND hwnd = nullptr;
    Text tag;
    std::int32_t mousePointer = 0;
};

struct LoadedWindow {
    const FormDescription* form = nullptr;
    HWND hwnd = nullptr;
    bool alwaysOnTop = false;
    std::map<std::uint32_t, LoadedControl> controls;  // by control id, the window's own id included
};

// Creates the window and its controls from the description, registers it and
// raises its created event. Null when the window could not be created.
HWND LoadWindow(const FormDescription& form);

LoadedWindow* FindLoadedWindow(std::uint32_t windowId);
// Whether any window of the program still exists (the message loop runs while one does).
bool AnyWindowLoaded();
// Every loaded window, for operations that touch all of them.
std::map<std::uint32_t, LoadedWindow>& LoadedWindows();

// Runs the message loop until the last window is gone.
void RunMessageLoop();

}  // namespace bridge
