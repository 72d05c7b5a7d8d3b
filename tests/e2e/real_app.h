#pragma once
// One run of the shipped program in a folder of its own, beside a database
// file chosen by the test, driven from outside as a user would drive it.
#include <windows.h>

#include <string>

#include "tests/support/win_driver.h"

class RealApp {
public:
    // Copies the program into a fresh folder (or a subfolder of that name); the
    // database file is put there by the test before Start.
    explicit RealApp(const std::string& subfolder = std::string());
    std::string DatabasePath() const { return folder_ + "\\API常量.mdb"; }

    // Starts the program and waits for its window; answers (with OK) and
    // counts the message boxes it shows while opening its database.
    bool Start();
    int startupBoxes = 0;
    std::string startupBoxText;

    std::string Text(unsigned id) const;
    // The control of the running program's window with that id, or null.
    HWND Control(unsigned id) const;
    // Types name, presses 查询, answers the question (if one comes) with answer,
    // and returns the status label's text once the handler has written it.
    std::string Query(const std::string& name, int answer);
    bool questionSeen = false;

    bool StillRunning() { return child_.WaitExit(0) == STILL_ACTIVE; }
    // Closes the window as the close box would; the exit code.
    DWORD Close();

private:
    testsupport::TempDir dir_;
    std::string folder_;
    testsupport::Child child_;
    HWND window_ = nullptr;
};

// The built database, copied beside the program.
bool CopyBuiltDatabase(const std::string& to);
