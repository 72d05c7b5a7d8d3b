// Builds the real windows from their descriptions and turns window messages into events.
#include <windows.h>
#include <commctrl.h>

#include "bridge/control_events.h"
#include "bridge/window_loader.h"

namespace bridge {
namespace {

const char kWindowClass[] = "QalomirForm";
const UINT_PTR kSubclassId = 1;

std::map<std::uint32_t, LoadedWindow> g_windows;

struct ControlRef {
    LoadedWindow* window;
    LoadedControl* control;
};

ControlRef FindControlByHwnd(HWND hwnd) {
    for (auto& [id, window] : g_windows)
        for (auto& [controlId, control] : window.controls)
            if (control.hwnd == hwnd) return {&window, &control};
    return {nullptr, nullptr};
}

LoadedWindow* FindWindowByHwnd(HWND hwnd) {
    for (auto& [id, window] : g_windows)
        if (window.hwnd == hwnd) return &window;
    return nullptr;
}

// Controls inside a group box are its children; their notifications go to the form.
HWND FormOf(HWND hwnd) { return GetAncestor(hwnd, GA_ROOT); }

HBRUSH ColourStatic(HDC dc, HWND control) {
    ControlRef ref = FindControlByHwnd(control);
    if (!ref.control || !ref.control->description) return nullptr;
    const ControlDescription& d = *ref.control->description;
    if (d.kind == ControlKind::EditBox) {  // read-only edit boxes stay black on white
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    if (d.kind != ControlKind::Label) return nullptr;
    SetTextColor(dc, d.textColor);
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
}

void OnCommand(HWND from, WORD code) {
    ControlRef ref = FindControlByHwnd(from);
    if (!ref.control || !ref.control->description) return;
    if (ref.control->description->kind == ControlKind::Button && code == BN_CLICKED)
        RaiseEvent(ref.window->form->windowId, ref.control->description->id, EventButtonClicked);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_DESTROY:
        if (LoadedWindow* window = FindWindowByHwnd(hwnd)) {
            const std::uint32_t id = window->form->windowId;
            RaiseEvent(id, window->form->controlId, EventWindowDestroyed);
            g_windows.erase(id);
        }
        if (g_windows.empty()) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Group boxes pass their children's notifications on to the form.
LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_ERASEBKGND: {  // a group box paints only its frame; its inside is the form's
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return SendMessageA(FormOf(hwnd), message, wParam, lParam);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Labels raise their mouse-down event on the button going down, and show their pointer.
LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        ControlRef ref = FindControlByHwnd(hwnd);
        if (ref.control && ref.control->description) {
            const EventArgs args{static_cast<std::uint32_t>(wParam),
                                 static_cast<std::uint32_t>(static_cast<short>(LOWORD(lParam))),
                                 static_cast<std::uint32_t>(static_cast<short>(HIWORD(lParam)))};
            RaiseEvent(ref.window->form->windowId, ref.control->description->id, EventLabelMouseDown, args);
        }
        return 0;
    }
    case WM_SETCURSOR: {
        ControlRef ref = FindControlByHwnd(hwnd);
        if (ref.control && ref.control->description && ref.control->description->handCursor) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool RegisterFormClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), kWindowClass, &wc)) return true;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    return RegisterClassExA(&wc) != 0;
}

struct WindowStyle {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

WindowStyle StyleOf(const ControlDescription& d) {
    const DWORD child = WS_CHILD | WS_VISIBLE | (d.tabStop ? WS_TABSTOP : 0);
    switch (d.kind) {
    case ControlKind::Label:
        return {"STATIC",
                child | SS_NOPREFIX | SS_CENTERIMAGE | SS_NOTIFY |
                    static_cast<DWORD>(d.align == TextAlign::Center ? SS_CENTER : SS_LEFT),
                0};
    case ControlKind::GroupBox:
        return {"BUTTON", child | BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case ControlKind::EditBox:
        if (d.readOnly) return {"EDIT", child | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 0};
        return {"EDIT", child | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button:
        return {"BUTTON", child | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, 0};
    case ControlKind::Window:
        break;
    }
    return {"STATIC", child, 0};
}

HWND ParentHwnd(const LoadedWindow& window, std::uint32_t parentId) {
    if (parentId == 0) return window.hwnd;
    auto it = window.controls.find(parentId);
    return it == window.controls.end() ? nullptr : it->second.hwnd;
}

bool CreateControl(LoadedWindow& window, const ControlDescription& d) {
    HWND parent = ParentHwnd(window, d.parentId);
    if (!parent) return false;
    const WindowStyle s = StyleOf(d);
    // The full 32-bit id doubles as the Win32 control id, so GetDlgCtrlID gives it back.
    HWND hwnd = CreateWindowExA(s.exStyle, s.className, d.text, s.style, d.left, d.top, d.width, d.height,
                                parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(d.id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return false;
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (d.kind == ControlKind::EditBox) SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0);  // no length limit
    if (d.kind == ControlKind::GroupBox) SetWindowSubclass(hwnd, GroupBoxProc, kSubclassId, 0);
    if (d.kind == ControlKind::Label) SetWindowSubclass(hwnd, LabelProc, kSubclassId, 0);
    LoadedControl& control = window.controls[d.id];
    control.description = &d;
    control.hwnd = hwnd;
    return true;
}

HWND CreateFormWindow(const FormDescription& form) {
    int left = form.left, top = form.top;
    if (form.centred) {
        left = (GetSystemMetrics(SM_CXSCREEN) - form.width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - form.height) / 2;
    }
    return CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kWindowClass, form.caption,
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, left, top, form.width,
                           form.height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void DestroyPartialWindow(std::uint32_t windowId) {
    auto it = g_windows.find(windowId);
    if (it == g_windows.end()) return;
    HWND hwnd = it->second.hwnd;
    g_windows.erase(it);
    if (hwnd) DestroyWindow(hwnd);
}

// Tab follows the z-order; each control sent to the bottom in turn lines them up.
void ApplyTabOrder(const LoadedWindow& window) {
    for (std::uint32_t id : window.form->tabOrder) {
        auto it = window.controls.find(id);
        if (it != window.controls.end() && it->second.hwnd)
            SetWindowPos(it->second.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// The window's edit box that takes input gets the focus at start.
void FocusFirstInput(const LoadedWindow& window) {
    for (const auto& [id, control] : window.controls)
        if (control.description && control.description->kind == ControlKind::EditBox &&
            !control.description->readOnly) {
            SetFocus(control.hwnd);
            SendMessageA(control.hwnd, EM_SETSEL, 0, -1);
            return;
        }
}

}  // namespace

HWND LoadWindow(const FormDescription& form) {
    if (!RegisterFormClass()) return nullptr;
    LoadedWindow& window = g_windows[form.windowId];
    window.form = &form;
    window.controls[form.controlId] = LoadedControl{};
    window.hwnd = CreateFormWindow(form);
    if (!window.hwnd) {
        DestroyPartialWindow(form.windowId);
        return nullptr;
    }
    for (const ControlDescription& d : form.controls) {
        if (!CreateControl(window, d)) {
            DestroyPartialWindow(form.windowId);
            return nullptr;
        }
    }
    window.controls[form.controlId].hwnd = window.hwnd;
    ApplyTabOrder(window);
    HWND hwnd = window.hwnd;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    FocusFirstInput(window);
    RaiseEvent(form.windowId, form.controlId, EventWindowCreated);
    return hwnd;
}

LoadedWindow* FindLoadedWindow(std::uint32_t windowId) {
    auto it = g_windows.find(windowId);
    return it == g_windows.end() ? nullptr : &it->second;
}

bool AnyWindowLoaded() { return !g_windows.empty(); }

std::map<std::uint32_t, LoadedWindow>& LoadedWindows() { return g_windows; }

void RunMessageLoop() {
    MSG msg;
    while (AnyWindowLoaded() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND form = msg.hwnd ? FormOf(msg.hwnd) : nullptr;
        const bool ours = form && FindWindowByHwnd(form);
        if (ours && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            PostMessageA(form, WM_CLOSE, 0, 0);  // Esc closes the window like its close box
            continue;
        }
        if (ours && IsDialogMessageA(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace bridge
