// Start-up of Qalomir beside an empty-window program and beside its own window with
// nothing behind it, all started the same way and interleaved round by round (the
// wineserver stays up: this process holds it).
// Per program: time from CreateProcess to its window being visible (polled every
// millisecond) and to WaitForInputIdle returning, as ratios to the empty window of
// the same round; then the peak working set after one lookup.
//
// Usage: startup_bench [rounds] [qalomir.exe [API常量.mdb]]
// Defaults: 10 rounds, the program and database in dist/ (its component registered).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "tests/support/win_driver.h"

namespace {

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Program {
    const char* label;
    std::string exe;
    std::string workDir;
    const char* windowClass;
    bool lookUp;  // answer one lookup before the memory is read
};

struct Sample {
    double shownMs = -1;
    double idleMs = -1;
    double peakMiB = -1;
};

HWND VisibleWindow(DWORD pid, const char* windowClass) {
    for (HWND window : testsupport::TopLevelWindows(pid, windowClass))
        if (IsWindowVisible(window)) return window;
    return nullptr;
}

// WM_CREATE's lookup as a user makes it: type, press 查询, decline the clipboard.
void LookUpOnce(DWORD pid, HWND window) {
    using namespace app::main_window;
    testsupport::SendAndWait(testsupport::FindControl(window, k编辑框_常量名), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>("WM_CREATE"));
    testsupport::PostClick(testsupport::FindControl(window, k按钮_Qalomir));
    for (int i = 0; i < 1000; ++i) {
        for (HWND box : testsupport::TopLevelWindows(pid, "#32770"))
            if (IsWindowVisible(box)) testsupport::PressButton(box, testsupport::HasButton(box, IDNO) ? IDNO : IDOK);
        if (!testsupport::WindowText(testsupport::FindControl(window, k标签1)).empty()) return;
        Sleep(5);
    }
}

// A message box shown while starting (no database) is answered, as a user would.
void AnswerStartupBoxes(DWORD pid) {
    for (HWND box : testsupport::TopLevelWindows(pid, "#32770"))
        if (IsWindowVisible(box)) testsupport::PressButton(box, IDOK);
}

Sample Measure(const Program& program) {
    Sample sample;
    std::string command = "\"" + program.exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Now();
    if (!CreateProcessA(program.exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        program.workDir.c_str(), &startup, &info))
        return sample;
    testsupport::Child child(info.hProcess, info.dwProcessId);  // ends the process when done
    CloseHandle(info.hThread);

    HWND window = nullptr;
    std::thread watcher([&] {
        for (double deadline = start + 20000; Now() < deadline; Sleep(1)) {
            if ((window = VisibleWindow(info.dwProcessId, program.windowClass))) {
                sample.shownMs = Now() - start;
                return;
            }
        }
    });
    if (WaitForInputIdle(info.hProcess, 20000) == 0) sample.idleMs = Now() - start;
    watcher.join();
    if (!window) return sample;

    if (program.lookUp) {
        Sleep(200);  // a failed open reports itself right after the window shows
        AnswerStartupBoxes(info.dwProcessId);
        LookUpOnce(info.dwProcessId, window);
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters))
        sample.peakMiB = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    return sample;
}

struct Spread {
    double median, low, high;  // median, 25th and 75th percentile
    double min, max;
};

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[static_cast<size_t>(q * (values.size() - 1) + 0.5)]; };
    return {at(0.5), at(0.25), at(0.75), values.front(), values.back()};
}

void PrintRow(const char* what, const std::vector<double>& values, const char* unit) {
    if (values.empty()) {
        std::printf("    %-22s (no samples)\n", what);
        return;
    }
    const Spread s = SpreadOf(values);
    std::printf("    %-22s median %7.2f%s  quartiles %7.2f..%-7.2f  range %7.2f..%.2f\n", what, s.median, unit, s.low,
                s.high, s.min, s.max);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string here = testsupport::ExecutableDir();
    const std::string exe = argc > 2 ? argv[2] : QALOMIR_BENCH_PROGRAM;
    const std::string database = argc > 3 ? argv[3] : QALOMIR_BENCH_DATABASE;
    if (!FileExists(exe) || !FileExists(database)) {
        std::fprintf(stderr, "startup_bench: missing %s or %s\n", exe.c_str(), database.c_str());
        return 1;
    }

    // The program runs from folders of its own: one with the database beside it, one without.
    testsupport::TempDir withDatabase, withoutDatabase;
    if (!testsupport::CopyFileTo(exe, withDatabase.File("qalomir.exe")) ||
        !testsupport::CopyFileTo(database, withDatabase.File("API常量.mdb")) ||
        !testsupport::CopyFileTo(exe, withoutDatabase.File("qalomir.exe"))) {
        std::fprintf(stderr, "startup_bench: cannot copy the program into a temporary folder\n");
        return 1;
    }
    const std::vector<Program> programs = {
        {"empty window", here + "\\empty_window.exe", here, "EmptyWindow", false},
        {"window alone", here + "\\window_alone.exe", here, "QalomirForm", false},
        {"qalomir", withDatabase.File("qalomir.exe"), withDatabase.Path(), "QalomirForm", true},
        {"qalomir, no database", withoutDatabase.File("qalomir.exe"), withoutDatabase.Path(), "QalomirForm", true},
    };

    Measure(programs[0]);  // warms the wineserver and the file cache; not counted
    std::vector<std::vector<Sample>> samples(programs.size());
    for (int round = 0; round < rounds; ++round)
        for (size_t i = 0; i < programs.size(); ++i) {
            const size_t which = (i + round) % programs.size();  // each takes each place in turn
            samples[which].push_back(Measure(programs[which]));
        }

    std::printf("start-up, %d interleaved rounds; %s\n", rounds, exe.c_str());
    bool complete = true;
    for (size_t p = 0; p < programs.size(); ++p) {
        std::vector<double> shown, idle, shownRatio, idleRatio, shownToWindow, idleToWindow, peak;
        for (int r = 0; r < rounds; ++r) {
            const Sample& s = samples[p][r];
            const Sample& empty = samples[0][r];
            if (s.shownMs < 0 || s.idleMs < 0) {
                complete = false;
                continue;
            }
            shown.push_back(s.shownMs);
            idle.push_back(s.idleMs);
            if (empty.shownMs > 0 && empty.idleMs > 0) {
                shownRatio.push_back(s.shownMs / empty.shownMs);
                idleRatio.push_back(s.idleMs / empty.idleMs);
            }
            const Sample& window = samples[1][r];
            if (window.shownMs > 0 && window.idleMs > 0) {
                shownToWindow.push_back(s.shownMs / window.shownMs);
                idleToWindow.push_back(s.idleMs / window.idleMs);
            }
            if (s.peakMiB > 0) peak.push_back(s.peakMiB);
        }
        std::printf("  %s (%zu of %d rounds)\n", programs[p].label, shown.size(), rounds);
        PrintRow("window shown", shown, " ms");
        PrintRow("ready for input", idle, " ms");
        if (p > 0) {
            PrintRow("shown / empty", shownRatio, "x ");
            PrintRow("ready / empty", idleRatio, "x ");
        }
        if (p > 1) {
            PrintRow("shown / window alone", shownToWindow, "x ");
            PrintRow("ready / window alone", idleToWindow, "x ");
        }
        PrintRow(programs[p].lookUp ? "peak after a lookup" : "peak working set", peak, " MiB");
    }
    return complete ? 0 : 1;
}
