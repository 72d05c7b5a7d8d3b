// Finds the handler that the form binds to an event and runs it.
#include "bridge/control_events.h"

#include "bridge/window_loader.h"
#include "core/runtime.h"

namespace bridge {
namespace {

EventSource g_source;

const std::vector<EventBinding>* BindingsOf(const LoadedWindow& window, std::uint32_t controlId) {
    if (controlId == window.form->controlId) return &window.form->bindings;
    auto it = window.controls.find(controlId);
    if (it == window.controls.end() || !it->second.description) return nullptr;
    return &it->second.description->bindings;
}

bool RaisesEvents(const LoadedWindow& window, std::uint32_t controlId) {
    auto it = window.controls.find(controlId);
    return !(it != window.controls.end() && it->second.description &&
             it->second.description->kind == ControlKind::GroupBox);
}

}  // namespace

bool RaiseEvent(std::uint32_t windowId, std::uint32_t controlId, int eventNumber, const EventArgs& args) {
    LoadedWindow* window = FindLoadedWindow(windowId);
    if (!window) FatalError(0, "未找到引发事件的窗口");
    const std::vector<EventBinding>* bindings = BindingsOf(*window, controlId);
    if (!bindings) FatalError(0, "未找到引发事件的窗口组件");
    if (!RaisesEvents(*window, controlId)) FatalError(0, "引发事件的窗口组件无效");
    for (const EventBinding& binding : *bindings) {
        if (binding.eventNumber != eventNumber) continue;
        if (!binding.handler) return false;
        const EventSource previous = g_source;
        g_source = {windowId, controlId};
        binding.handler(args);
        g_source = previous;
        return true;
    }
    return false;
}

EventSource CurrentEventSource() { return g_source; }

}  // namespace bridge
