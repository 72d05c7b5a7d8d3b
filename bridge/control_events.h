#pragma once
// Routing of control events to the handlers that the form description binds.
#include <cstdint>

#include "bridge/form_description.h"

namespace bridge {

// Runs the handler bound to the event, if any; true when one ran.
bool RaiseEvent(std::uint32_t windowId, std::uint32_t controlId, int eventNumber, const EventArgs& args = EventArgs());

// The window and control that raised the event being handled (0 when none).
struct EventSource {
    std::uint32_t windowId = 0;
    std::uint32_t controlId = 0;
};
EventSource CurrentEventSource();

}  // namespace bridge
