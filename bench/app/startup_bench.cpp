// Prints the time from process start to the main window being shown, for Qalomir and
// for an empty-window program started the same way, and their ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/win_driver.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median start-to-visible time over the runs; negative when the window never showed.
double MedianStartup(const std::string& exe, const std::string& className, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start, shown;
        QueryPerformanceCounter(&start);
        testsupport::Child child = testsupport::Launch(exe);
        if (!child.Valid()) return -1;
        HWND window = testsupport::WaitForWindow(child.Pid(), className, std::string(), 20000);
        QueryPerformanceCounter(&shown);
        if (!window) return -1;
        times.push_back(Milliseconds(start, shown));
    }  // each child is ended as it goes out of scope
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const std::string dir = testsupport::ExecutableDir();
    const double empty = MedianStartup(dir + "\\empty_window.exe", "EmptyWindow", runs);
    const double qalomir = MedianStartup(dir + "\\qalomir.exe", "QalomirForm", runs);
    std::printf("start-up to window shown, median of %d runs\n", runs);
    std::printf("  empty window program: %8.1f ms\n", empty);
    std::printf("  qalomir:              %8.1f ms\n", qalomir);
    if (empty > 0 && qalomir > 0) std::printf("  ratio qalomir/empty:  %8.2f\n", qalomir / empty);
    return empty > 0 && qalomir > 0 ? 0 : 1;
}
