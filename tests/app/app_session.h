#pragma once
// One run of the program under test, in a folder of its own, driven from outside.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/win_driver.h"

struct StoredRow {
    std::string name;
    std::string value;
};

class AppSession {
public:
    // Copies the program into a fresh folder, with the given rows as its database
    // (no database file at all when withDatabase is false), and starts it.
    explicit AppSession(const std::vector<StoredRow>& rows, bool withDatabase = true);

    bool Started() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND Control(unsigned id) const;
    std::string Text(unsigned id) const;
    void SetText(unsigned id, const std::string& text) const;
    bool Topmost() const;

    // Presses 查询 and answers the question with the given button (IDYES/IDNO);
    // returns the status label's text once the handler has written it.
    std::string Query(const std::string& name, int answer = IDNO);
    // Presses 查询 when no question is expected; returns the status text.
    std::string QueryExpectingNoQuestion(const std::string& name);
    // The question box that the last Query saw, and the window's topmost state meanwhile.
    std::string lastQuestionTitle, lastQuestionText;
    bool topmostDuringQuestion = true;

    std::string Log() const;  // calls the stand-in database received
    testsupport::Child& Process() { return child_; }
    const testsupport::TempDir& Dir() const { return dir_; }

private:
    std::string WaitStatus();
    testsupport::TempDir dir_;
    testsupport::Child child_;
    HWND window_ = nullptr;
};

std::string EscapeRowText(const std::string& s);
