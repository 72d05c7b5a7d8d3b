#pragma once
// Shows a message box on a thread of its own so that the test can find and
// answer it on the real window.
#include <windows.h>

#include <functional>
#include <future>
#include <thread>

#include "tests/support/win_driver.h"

class BoxOnThread {
public:
    // show runs on the new thread; ownWindow, when asked for, is a top-level
    // window of that thread made before the box.
    explicit BoxOnThread(std::function<int()> show, bool withOwnWindow = false)
        : thread_([this, show, withOwnWindow] {
              if (withOwnWindow)
                  ownWindow_ = CreateWindowExA(0, "STATIC", "own", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                               0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
              windowReady_.set_value();
              result_.set_value(show());
              if (ownWindow_) DestroyWindow(ownWindow_);
          }) {
        windowReady_.get_future().wait();
        box_ = testsupport::WaitForMessageBox(GetCurrentProcessId());
    }
    ~BoxOnThread() {
        if (thread_.joinable()) thread_.detach();  // a box nobody found: leave it to process end
    }

    HWND Box() const { return box_; }
    HWND OwnWindow() const { return ownWindow_; }

    // Presses the button and gives ShowMessage's result; -1 if no box was found.
    int Answer(int button) {
        if (!box_) return -1;
        testsupport::PressButton(box_, button);
        auto result = result_.get_future();
        if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) return -1;
        thread_.join();
        return result.get();
    }

private:
    std::promise<void> windowReady_;
    std::promise<int> result_;
    HWND ownWindow_ = nullptr;
    HWND box_ = nullptr;
    std::thread thread_;
};
