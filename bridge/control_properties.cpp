// Property reads and writes addressed by window id, control id and property number.
#include "bridge/control_properties.h"

#include <windows.h>

#include "bridge/window_loader.h"
#include "core/runtime.h"

namespace bridge {
namespace {

struct Target {
    LoadedWindow* window;
    LoadedControl* control;
};

Target Locate(std::uint32_t windowId, std::uint32_t controlId) {
    LoadedWindow* window = FindLoadedWindow(windowId);
    if (!window) FatalError(0, "未载入欲访问窗口组件所在的窗口");
    auto it = window->controls.find(controlId);
    if (it == window->controls.end()) FatalError(0, "未载入欲访问窗口组件所在的窗口");
    return {window, &it->second};
}

// Left, top, width, height of a live window: left and top in its parent's client area.
RECT LiveRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::int32_t DescribedGeometry(const Target& t, int property) {
    const ControlDescription* d = t.control->description;
    const FormDescription* f = t.window->form;
    const int values[4] = {d ? d->left : f->left, d ? d->top : f->top, d ? d->width : f->width,
                           d ? d->height : f->height};
    return values[property];
}

PropertyValue ReadCommon(const Target& t, int property) {
    HWND hwnd = t.control->hwnd;
    switch (property) {
    case PropLeft:
    case PropTop:
    case PropWidth:
    case PropHeight: {
        if (!hwnd) return PropertyValue::Number(DescribedGeometry(t, property));
        const RECT r = LiveRect(hwnd);
        const std::int32_t values[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        return PropertyValue::Number(values[property]);
    }
    case PropTag:
        return PropertyValue::FromText(t.control->tag);
    case PropVisible:
        return PropertyValue::Number(hwnd ? (IsWindowVisible(hwnd) ? 1 : 0) : 1);
    case PropDisabled:
        return PropertyValue::Number(hwnd ? (IsWindowEnabled(hwnd) ? 0 : 1) : 0);
    default:
        return PropertyValue::Number(t.control->mousePointer);
    }
}

void WriteCommon(const Target& t, int property, const PropertyValue& value) {
    HWND hwnd = t.control->hwnd;
    switch (property) {
    case PropTag:
        t.control->tag = value.text;
        break;
    case PropVisible:
        if (hwnd) ShowWindow(hwnd, value.number ? SW_SHOW : SW_HIDE);
        break;
    case PropDisabled:
        if (hwnd) EnableWindow(hwnd, value.number ? FALSE : TRUE);
        break;
    case PropMousePointer:
        t.control->mousePointer = value.number;
        break;
    default:
        if (!hwnd) break;
        RECT r = LiveRect(hwnd);
        int box[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        box[property] = value.number;
        MoveWindow(hwnd, box[0], box[1], box[2], box[3], TRUE);
        break;
    }
}

Text WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return Text();
    Text text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

ControlKind KindOf(const Target& t) {
    return t.control->description ? t.control->description->kind : ControlKind::Window;
}

HWND RequireLive(const Target& t) {
    if (!t.control->hwnd || !IsWindow(t.control->hwnd)) FatalError(0, "指定窗口尚未载入");
    return t.control->hwnd;
}

void PlaceTopmost(HWND hwnd, bool topmost) {
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WriteAlwaysOnTop(LoadedWindow& window, std::int32_t value) {
    window.alwaysOnTop = value != 0;
    PlaceTopmost(window.hwnd, value == 1);
    if (value != 0) return;
    // Taking one window off the top must not drop the others that asked to stay there.
    for (auto& [id, other] : LoadedWindows())
        if (&other != &window && other.alwaysOnTop && other.hwnd) PlaceTopmost(other.hwnd, true);
}

PropertyValue ReadOwn(const Target& t, int number) {
    HWND hwnd = RequireLive(t);
    const ControlKind kind = KindOf(t);
    if (number == 0 && (kind == ControlKind::EditBox || kind == ControlKind::Label || kind == ControlKind::Button))
        return PropertyValue::FromText(WindowText(hwnd));
    if (kind == ControlKind::Window && number == PropAlwaysOnTop - PropContent)
        return PropertyValue::Number(t.window->alwaysOnTop ? 1 : 0);
    return PropertyValue();
}

void WriteOwn(const Target& t, int number, const PropertyValue& value) {
    HWND hwnd = RequireLive(t);
    const ControlKind kind = KindOf(t);
    if (kind == ControlKind::Window && number == PropAlwaysOnTop - PropContent) {
        WriteAlwaysOnTop(*t.window, value.number);
        return;
    }
    if (number != 0) return;
    if (kind == ControlKind::EditBox) {
        SetWindowTextA(hwnd, value.text.c_str());  // a single-line edit box notifies EN_CHANGE itself
    } else if (kind == ControlKind::Label || kind == ControlKind::Button) {
        SetWindowTextA(hwnd, value.text.c_str());
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
}

}  // namespace

PropertyValue ReadProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, int) {
    const Target t = Locate(windowId, controlId);
    if (propertyNumber < PropContent) return ReadCommon(t, propertyNumber);
    return ReadOwn(t, propertyNumber - PropContent);
}

void WriteProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, int,
                   const PropertyValue& value) {
    const Target t = Locate(windowId, controlId);
    if (propertyNumber < PropContent) {
        WriteCommon(t, propertyNumber, value);
        return;
    }
    WriteOwn(t, propertyNumber - PropContent, value);
}

Text ReadTextProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber) {
    return ReadProperty(windowId, controlId, propertyNumber, -1).text;
}

void WriteTextProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, const Text& text) {
    WriteProperty(windowId, controlId, propertyNumber, -1, PropertyValue::FromText(text));
}

void WriteNumberProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, std::int32_t number) {
    WriteProperty(windowId, controlId, propertyNumber, -1, PropertyValue::Number(number));
}

}  // namespace bridge
