#include "tests/e2e/real_app.h"

#include "app/main_window.h"

using namespace app;

using namespace testsupport;

bool CopyBuiltDatabase(const std::string& to) { return CopyFileTo(QALOMIR_E2E_DATABASE, to); }

RealApp::RealApp(const std::string& subfolder)
    : folder_(subfolder.empty() ? dir_.Path() : dir_.File(subfolder)) {
    CreateDirectoryA(folder_.c_str(), nullptr);
    CopyFileTo(QALOMIR_E2E_PROGRAM, folder_ + "\\qalomir.exe");
}

bool RealApp::Start() {
    child_ = Launch(folder_ + "\\qalomir.exe", folder_);
    if (!child_.Valid()) return false;
    window_ = WaitForWindow(child_.Pid(), "QalomirForm", "Qalomir", 20000);
    if (!window_) return false;
    // A failed open shows its box right after the window is created; give it time to come.
    for (DWORD waited = 0; waited < 3000; waited += 50) {
        if (HWND box = ReadyMessageBox(child_.Pid())) {
            ++startupBoxes;
            startupBoxText = MessageBoxText(box);
            PressButton(box, IDOK);
            WaitNoMessageBox(child_.Pid());
            waited = 0;
        }
        Sleep(50);
    }
    return true;
}

HWND RealApp::Control(unsigned id) const {
    return FindControl(window_, id);
}

std::string RealApp::Text(unsigned id) const { return WindowText(Control(id)); }

std::string RealApp::Query(const std::string& name, int answer) {
    SendAndWait(Control(main_window::k编辑框_常量名), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendAndWait(Control(main_window::k标签1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    PostClick(Control(main_window::k按钮_Qalomir));
    questionSeen = false;
    for (int i = 0; i < 500; ++i) {
        if (HWND box = ReadyMessageBox(child_.Pid())) {
            questionSeen = WindowText(box) == "提示:";
            PressButton(box, answer);
            WaitNoMessageBox(child_.Pid());
        }
        std::string status = Text(main_window::k标签1);
        if (!status.empty()) return status;
        Sleep(20);
    }
    return "(no status)";
}

DWORD RealApp::Close() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return child_.WaitExit(10000);
}
