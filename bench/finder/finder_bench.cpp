// qalomir-find beside the way a Linux user asks the same file today,
// `mdb-export … | grep`, for the same questions (a name, a value, a pattern,
// a function, a type, a GUID by name and by value, a string by value), and
// beside an empty program (the floor a process start costs on this machine). The programs are interleaved round by round; each figure is
// the median of the rounds with their spread (25th to 75th percentile): wall
// time, processor time (user and system), peak resident memory. Ratios are
// taken round by round, then their median. A child's peak starts from this
// program's own resident size (the empty program shows that floor). Prints
// figures only.
//
// Usage: finder_bench [rounds] [qalomir-find [API常量.mdb]]
// Defaults: 15 rounds, the release build ./lookup makes (build/builder) and its database.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Run {
    double wallMs = 0, cpuMs = 0, peakMiB = 0;
    int status = -1;
};

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Runs argv with its output thrown away; the figures come from wait4. The
// child is spawned, not forked: a copy of this process would cost the child.
Run Measure(const std::vector<std::string>& argv) {
    Run run;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const double start = Now();
    pid_t child = 0;
    const int failed = posix_spawn(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return run;
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.wallMs = Now() - start;
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1000.0 + t.tv_usec / 1000.0; };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

struct Spread {
    double median, low, high;
};

Spread SpreadOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) { return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)]; };
    return {at(0.5), at(0.25), at(0.75)};
}

struct Contender {
    std::string label;
    std::vector<std::string> argv;
    std::vector<Run> runs;
};

void Print(const Contender& c) {
    std::vector<double> wall, cpu, peak;
    for (const Run& r : c.runs) {
        wall.push_back(r.wallMs);
        cpu.push_back(r.cpuMs);
        peak.push_back(r.peakMiB);
    }
    const Spread w = SpreadOf(wall), p = SpreadOf(cpu), m = SpreadOf(peak);
    std::printf("  %-34s wall %8.2f ms (%7.2f..%7.2f)  cpu %7.2f ms (%6.2f..%6.2f)  peak %6.1f MiB  exit %d\n",
                c.label.c_str(), w.median, w.low, w.high, p.median, p.low, p.high, m.median, c.runs.back().status);
}

// The median over rounds of slow/fast, of wall and of processor time.
void PrintRatio(const char* what, const Contender& slow, const Contender& fast) {
    std::vector<double> wall, cpu;
    for (std::size_t i = 0; i < fast.runs.size(); ++i) {
        wall.push_back(slow.runs[i].wallMs / fast.runs[i].wallMs);
        cpu.push_back(slow.runs[i].cpuMs / std::max(fast.runs[i].cpuMs, 0.01));
    }
    const Spread w = SpreadOf(wall), c = SpreadOf(cpu);
    std::printf("  %-34s wall %6.1fx (%5.1f..%5.1f)      cpu %6.1fx (%5.1f..%5.1f)\n", what, w.median, w.low, w.high,
                c.median, c.low, c.high);
}

std::vector<std::string> Shell(const std::string& command) { return {"/bin/sh", "-c", command}; }

bool Executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// The database under another name in a folder of its own, with no value index
// beside it (a link, not a copy); the folder is left for the system to clear.
std::string BareCopy(const std::string& db) {
    char folder[] = "/tmp/finder-bench-XXXXXX";
    if (!mkdtemp(folder)) return db;
    const std::string bare = std::string(folder) + "/bare.mdb";
    return symlink(db.c_str(), bare.c_str()) == 0 ? bare : db;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    const std::string find = argc > 2 ? argv[2] : QALOMIR_FIND_RELEASE;
    const std::string db = argc > 3 ? argv[3] : QALOMIR_CONSTANTS_DB;
    if (!Executable(find)) {
        std::printf("finder_bench: no %s; ./lookup --help builds it\n", find.c_str());
        return 0;
    }
    const bool mdbtools = Executable("/usr/bin/mdb-export");
    const auto exportTable = [&](const char* table) { return "/usr/bin/mdb-export '" + db + "' " + table + " | "; };
    struct Question {
        const char* what;
        std::vector<std::string> find;
        const char* table;
        std::string grep;
    };
    const std::vector<Question> questions = {
        {"a name: WM_CREATE", {find, "--db", db, "WM_CREATE"}, "api_const", "grep -i '^\"WM_CREATE\",'"},
        {"a value: 0x80070005", {find, "--db", db, "0x80070005"}, "api_const",
         "grep -i -E ',\"(0x80070005|-2147024891|2147942405)\",'"},
        {"a pattern: DWMWA_*", {find, "--db", db, "DWMWA_*"}, "api_const", "grep -i '^\"DWMWA_'"},
        // Functions and types with their declarations: the grep finds the row alone.
        {"a function: --lang e MessageBox", {find, "--db", db, "--lang", "e", "MessageBox"}, "api_function",
         "grep -i ',\"MessageBoxA\",'"},
        {"a structure: --lang c WIN32_FIND_DATAA", {find, "--db", db, "--lang", "c", "WIN32_FIND_DATAA"}, "api_type",
         "grep -i ',\"WIN32_FIND_DATAA\",'"},
        {"an interface: IShellLinkW", {find, "--db", db, "IShellLinkW"}, "api_type", "grep -i ',\"IShellLinkW\",'"},
        // GUIDs and strings (api_kind_const): by name through its index, by value through value_key's.
        {"a GUID by name: IID_IUnknown", {find, "--db", db, "IID_IUnknown"}, "api_kind_const", "grep -i '^\"IID_IUnknown\",'"},
        {"a GUID by value: {00021401-…}", {find, "--db", db, "{00021401-0000-0000-C000-000000000046}"}, "api_kind_const",
         "grep -i ',\"00021401-0000-0000-C000-000000000046'"},
        {"a string by value: \"SysListView32\"", {find, "--db", db, "\"SysListView32\""}, "api_kind_const",
         "grep ',\"SysListView32\",'"},
    };
    std::vector<Contender> contenders;
    contenders.push_back({"empty program (/bin/true)", {"/bin/true"}, {}});
    for (const Question& q : questions) {
        contenders.push_back({std::string("qalomir-find, ") + q.what, q.find, {}});
        if (mdbtools) contenders.push_back({std::string("mdb-export | grep, ") + q.what, Shell(exportTable(q.table) + q.grep), {}});
    }
    // The same value without the index beside the file: the walk it replaces.
    const std::string bare = BareCopy(db);
    const std::size_t walks = contenders.size();
    for (const char* value : {"0x80070005", "0x0111"}) {
        contenders.push_back({std::string("qalomir-find, a value by index: ") + value, {find, "--db", db, value}, {}});
        contenders.push_back({std::string("qalomir-find, a value by walk: ") + value, {find, "--db", bare, value}, {}});
    }
    for (Contender& c : contenders) Measure(c.argv);  // the file and the programs in the page cache
    for (int r = 0; r < rounds; ++r)
        for (Contender& c : contenders) c.runs.push_back(Measure(c.argv));

    std::printf("qalomir-find %s\ndatabase %s\n%d rounds, interleaved; median (25th..75th percentile)\n", find.c_str(),
                db.c_str(), rounds);
    for (const Contender& c : contenders) Print(c);
    if (mdbtools) {
        std::printf("mdb-export | grep over qalomir-find, round by round:\n");
        for (std::size_t q = 0; q < questions.size(); ++q)
            PrintRatio(questions[q].what, contenders[2 + 2 * q], contenders[1 + 2 * q]);
    } else {
        std::printf("mdb-export is not installed: no comparison\n");
    }
    std::printf("a walk of the table over the value index, round by round:\n");
    for (std::size_t i = walks; i < contenders.size(); i += 2)
        PrintRatio(contenders[i].argv.back().c_str(), contenders[i + 1], contenders[i]);
    if (bare == db) std::printf("(no folder without the index could be made: both rows above used it)\n");
    return 0;
}
