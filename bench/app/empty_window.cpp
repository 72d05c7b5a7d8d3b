// The smallest program that shows a window: the yardstick for start-up time.
#include <windows.h>

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "EmptyWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("EmptyWindow", "Empty", WS_OVERLAPPEDWINDOW, 50, 50, 232, 153, nullptr, nullptr,
                              instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
