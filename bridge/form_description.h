#pragma once
// The description of a window and its controls, from which the window layer builds
// the real windows and to which it routes their events.
#include <cstdint>
#include <vector>

#include "core/types.h"

namespace bridge {

using namespace core;  // the bridge speaks in the shared types

// Arguments of an event, each one 32-bit word (a 64-bit argument takes two).
using EventArgs = std::vector<std::uint32_t>;
using EventHandler = void (*)(const EventArgs& args);

struct EventBinding {
    int eventNumber;
    EventHandler handler;  // null: bound to nothing
};

enum class ControlKind { Window, Label, GroupBox, EditBox, Button };

enum class TextAlign { Left, Center };

struct ControlDescription {
    const char* name;
    std::uint32_t id;
    ControlKind kind;
    std::uint32_t parentId;  // 0: the window's client area
    int left, top, width, height;
    const char* text;
    std::vector<EventBinding> bindings;
    // Attributes.
    std::uint32_t textColor = 0;  // COLORREF
    TextAlign align = TextAlign::Left;
    bool handCursor = false;
    bool readOnly = false;
    bool tabStop = false;
};

struct FormDescription {
    std::uint32_t windowId;
    std::uint32_t controlId;  // the window itself as a control
    const char* caption;
    int left, top, width, height;  // outer size; left and top unused when centred
    bool centred;
    std::vector<EventBinding> bindings;
    std::vector<ControlDescription> controls;  // in creation order; parents before children
    std::vector<std::uint32_t> tabOrder;          // controls that Tab visits first, in this order
};

// Event numbers of the window and its controls.
enum : int {
    EventWindowCreated = 0,
    EventWindowDestroyed = 2,
    EventButtonClicked = 0,
    EventLabelMouseDown = -1,
};

// Property numbers.
enum : int {
    PropLeft = 0,
    PropTop = 1,
    PropWidth = 2,
    PropHeight = 3,
    PropTag = 4,
    PropVisible = 5,
    PropDisabled = 6,
    PropMousePointer = 7,
    PropContent = 8,      // edit box content, label caption
    PropAlwaysOnTop = 29, // window
};

}  // namespace bridge
