#include "tests/app/app_session.h"

#include "app/main_window.h"

using namespace app;

using namespace testsupport;

std::string EscapeRowText(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

AppSession::AppSession(const std::vector<StoredRow>& rows, bool withDatabase) {
    const std::string exe = dir_.File("qalomir.exe");
    if (!CopyFileTo(ExecutableDir() + "\\qalomir_fake.exe", exe)) return;
    if (withDatabase) {
        std::string content;
        for (const StoredRow& row : rows) content += EscapeRowText(row.name) + "\t" + EscapeRowText(row.value) + "\n";
        WriteFileBytes(dir_.File("API常量.mdb"), content);
    }
    child_ = Launch(exe, dir_.Path());
    if (!child_.Valid()) return;
    window_ = WaitForWindow(child_.Pid(), "QalomirForm", "Qalomir", 30000);
}

HWND AppSession::Control(unsigned id) const { return FindControl(window_, id); }

std::string AppSession::Text(unsigned id) const { return WindowText(Control(id)); }

void AppSession::SetText(unsigned id, const std::string& text) const {
    SendAndWait(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool AppSession::Topmost() const { return (GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::string AppSession::WaitStatus() {
    for (int i = 0; i < 1500; ++i) {
        std::string status = Text(main_window::k标签1);
        if (!status.empty()) return status;
        Sleep(20);
    }
    return "(no status)";
}

std::string AppSession::Query(const std::string& name, int answer) {
    SetText(main_window::k编辑框_常量名, name);
    SetText(main_window::k标签1, "");
    PostClick(Control(main_window::k按钮_Qalomir));
    lastQuestionTitle.clear();
    lastQuestionText.clear();
    // The status is written only after the question is answered, so wait for either.
    for (int i = 0; i < 1500; ++i) {
        if (HWND box = ReadyMessageBox(child_.Pid())) {
            lastQuestionTitle = WindowText(box);
            lastQuestionText = MessageBoxText(box);
            topmostDuringQuestion = Topmost();
            PressButton(box, answer);
            WaitNoMessageBox(child_.Pid());
            break;
        }
        if (!Text(main_window::k标签1).empty()) break;
        Sleep(20);
    }
    return WaitStatus();
}

std::string AppSession::QueryExpectingNoQuestion(const std::string& name) {
    SetText(main_window::k编辑框_常量名, name);
    SetText(main_window::k标签1, "");
    // Sent, not posted: when it returns, the handler has run to its end.
    HWND button = Control(main_window::k按钮_Qalomir);
    SendAndWait(GetParent(button), WM_COMMAND, MAKEWPARAM(main_window::k按钮_Qalomir & 0xFFFF, BN_CLICKED),
                reinterpret_cast<LPARAM>(button));
    return Text(main_window::k标签1);
}

std::string AppSession::Log() const {
    std::string log;
    ReadFileBytes(dir_.File("API常量.mdb.log"), &log);
    return log;
}
