// Compares builds of the component, each loaded from its own DLL file (no
// registration) in a fresh process per measurement, the builds interleaved
// over the rounds: time to open the database, the first query, the steady
// per-query time on the full table and on a 100-row copy, and the process's
// peak working set after the open and one query. Prints median and spread.
//   ado_open_bench [rounds] name=component.dll ...   (the full database is the built one)
//   ado_open_bench --child component.dll full.mdb small.mdb names.txt   (one measurement)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/com_object.h"
#include "bridge/variant.h"
#include "tests/support/jet_reader.h"
#include "jet/writer.h"
#include "win/com_ptr.h"
#include "win/unique.h"

using namespace bridge;

namespace {

const CLSID kConnection = {0xAFB1133D, 0x623E, 0x4AC4, {0x83, 0x0A, 0x26, 0x83, 0x15, 0x0F, 0x35, 0xA5}};
const CLSID kRecordset = {0x38815822, 0x6729, 0x4511, {0x9C, 0x0E, 0x29, 0x44, 0xDC, 0x79, 0x7A, 0x10}};

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS c = {};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
    return double(c.PeakWorkingSetSize) / (1 << 20);
}

// ---- one measurement, in a process of its own ----

class Component {
public:
    explicit Component(const char* dll) : module_(LoadLibraryA(dll)) {
        using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        auto get = module_ ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject"))) : nullptr;
        if (get) get(kConnection, IID_IClassFactory, connections_.put_void());
        if (get) get(kRecordset, IID_IClassFactory, recordsets_.put_void());
    }
    bool Ok() const { return connections_ && recordsets_; }
    ComObject Make(bool connection) const {
        win::ComPtr<IUnknown> made;
        (connection ? connections_ : recordsets_)->CreateInstance(nullptr, IID_IDispatch, made.put_void());
        return ComObject::FromInterface(made.get());
    }

private:
    HMODULE module_;  // left loaded: the objects' code lives in it until the process ends
    win::ComPtr<IClassFactory> connections_;
    win::ComPtr<IClassFactory> recordsets_;
};

// The program's query: open the record set, read the count and a value, close.
bool Query(const Component& c, const ComObject& connection, const Text& name) {
    ComObject rs = c.Make(false);
    Variant source, active;
    source.Assign(ArgText("select 常量值,备注 from api_const where 宏或常量名='" + name + "'"));
    active.Assign(ArgObject(connection));
    rs.CallMethod("open", RefVariant(source), RefVariant(active), ArgInt(1), ArgInt(3));
    bool found = rs.GetNumberProperty("RecordCount") > 0;
    if (found) {
        Text field = "常量值";
        found = !rs.CallObjectMethod("Fields").GetObjectProperty("Item", RefText(field)).GetTextProperty("Value").empty();
    }
    rs.CallMethod("Close");
    return found;
}

ComObject OpenDatabase(const Component& c, const Text& path) {
    ComObject connection = c.Make(true);
    connection.CallMethod("open", ArgText("DBQ=" + path + ";Pwd=;DRIVER={Microsoft Access Driver (*.mdb)};"));
    return connection;
}

double Pass(const Component& c, const ComObject& connection, const std::vector<Text>& names, int& found) {
    const double start = Now();
    for (const Text& name : names) found += Query(c, connection, name);
    return (Now() - start) / double(names.size());
}

int Child(const char* dll, const Text& full, const Text& small, const char* namesFile) {
    std::vector<Text> names;
    if (FILE* f = std::fopen(namesFile, "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, f)) names.emplace_back(line, std::strcspn(line, "\r\n"));
        std::fclose(f);
    }
    OleSession ole;
    Component c(dll);
    if (!c.Ok() || names.empty()) return 1;
    const double before = PeakMiB();
    const double t0 = Now();
    ComObject big = OpenDatabase(c, full);
    const double t1 = Now();
    int found = Query(c, big, names.front());
    const double t2 = Now();
    const double peak = PeakMiB();
    ComObject little = OpenDatabase(c, small);
    Pass(c, big, names, found);
    Pass(c, little, names, found);
    // Alternating passes, the best of each: other work on the machine only ever adds time.
    std::vector<double> perFull, perSmall;
    for (int i = 0; i < 15; ++i) {
        perFull.push_back(Pass(c, big, names, found));
        perSmall.push_back(Pass(c, little, names, found));
    }
    std::sort(perFull.begin(), perFull.end());
    std::sort(perSmall.begin(), perSmall.end());
    std::printf("%.3f %.3f %.2f %.2f %.1f %.1f %d\n", (t1 - t0) * 1e3, (t2 - t1) * 1e3, perFull[0] * 1e6,
                perSmall[0] * 1e6, peak, peak - before, found);
    return 0;
}

// ---- the comparison ----

struct Figures {
    std::vector<double> open, first, full, small, ratio, peak, share;
};

bool RunChild(const std::string& self, const std::string& args, Figures& into) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    win::UniqueHandle read, write;
    if (!CreatePipe(read.put(), write.put(), &sa, 0)) return false;
    SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write.get();
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + self + "\" --child " + args;
    const bool started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    write.reset();  // the child holds the only writing end now: its exit ends the reads
    std::string out;
    char buffer[256];
    DWORD got = 0;
    while (started && ReadFile(read.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    if (!started) return false;
    const win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    double open, first, full, small, peak, share;
    int found;
    if (std::sscanf(out.c_str(), "%lf %lf %lf %lf %lf %lf %d", &open, &first, &full, &small, &peak, &share, &found) != 7)
        return false;
    into.share.push_back(share);
    into.open.push_back(open);
    into.first.push_back(first);
    into.full.push_back(full);
    into.small.push_back(small);
    into.ratio.push_back(full / small);
    into.peak.push_back(peak);
    return true;
}

void PrintFigure(const char* what, std::vector<double> v, const char* unit) {
    std::sort(v.begin(), v.end());
    std::printf("  %-38s median %9.3f %s   spread %.3f .. %.3f\n", what, v[v.size() / 2], unit, v.front(), v.back());
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3], argv[4], argv[5]);
    int first = 1, rounds = 10;
    if (argc > 1 && std::isdigit(static_cast<unsigned char>(argv[1][0]))) rounds = std::atoi(argv[first++]);
    std::vector<std::pair<std::string, std::string>> builds;  // name, dll
    for (int i = first; i < argc; ++i) {
        const std::string a = argv[i];
        const auto eq = a.find('=');
        if (eq != std::string::npos) builds.emplace_back(a.substr(0, eq), a.substr(eq + 1));
    }
    if (builds.empty()) {
        std::printf("usage: ado_open_bench [rounds] name=component.dll ...\n");
        return 2;
    }
    const Text full = QALOMIR_BENCH_DATABASE;
    std::string error;
    auto db = jet::Database::Open(full, &error);
    const jet::Table* table = db ? db->FindTable(u"api_const") : nullptr;
    if (!table) {
        std::printf("cannot read %s: %s\n", full.c_str(), error.c_str());
        return 1;
    }
    char temp[MAX_PATH], self[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string small = std::string(temp) + "qalomir_open_bench_100.mdb";
    const std::string namesFile = std::string(temp) + "qalomir_open_bench_names.txt";
    jet::Table cut = *table;
    cut.rows.resize(std::min<std::size_t>(cut.rows.size(), 100));
    if (!jet::WriteDatabase(small, {cut}, &error)) {
        std::printf("cannot write %s: %s\n", small.c_str(), error.c_str());
        return 1;
    }
    // Names from the first 100 rows, so that both tables hold every one.
    if (FILE* f = std::fopen(namesFile.c_str(), "w")) {
        for (const auto& row : cut.rows) {
            const std::u16string& n = row[0].text;
            char ansi[1024];
            const int len = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(n.c_str()), int(n.size()),
                                                ansi, sizeof ansi, nullptr, nullptr);
            std::fprintf(f, "%.*s\n", len, ansi);
        }
        std::fclose(f);
    }
    const std::size_t rowCount = table->rows.size();
    db.reset();
    std::vector<Figures> figures(builds.size());
    for (int r = 0; r < rounds; ++r)
        for (std::size_t k = 0; k < builds.size(); ++k) {
            // Alternate which build goes first, so neither always follows the other.
            const std::size_t b = r % 2 ? builds.size() - 1 - k : k;
            const std::string args = "\"" + builds[b].second + "\" \"" + full + "\" \"" + small + "\" \"" + namesFile + "\"";
            if (!RunChild(self, args, figures[b])) std::printf("round %d, %s: the measurement failed\n", r, builds[b].first.c_str());
        }
    DeleteFileA(small.c_str());
    DeleteFileA(namesFile.c_str());
    std::printf("%d rounds, builds interleaved, one process per measurement; %zu rows against 100, 100 names\n",
                rounds, rowCount);
    for (std::size_t b = 0; b < builds.size(); ++b) {
        const Figures& f = figures[b];
        if (f.open.empty()) continue;
        std::printf("%s (%s)\n", builds[b].first.c_str(), builds[b].second.c_str());
        PrintFigure("open, full database", f.open, "ms");
        PrintFigure("first query", f.first, "ms");
        PrintFigure("per query, full (best of 15 passes)", f.full, "us");
        PrintFigure("per query, 100 rows (best of 15)", f.small, "us");
        PrintFigure("ratio full / 100 rows", f.ratio, "x ");
        PrintFigure("peak working set after one query", f.peak, "MiB");
        PrintFigure("  of which opening and the query", f.share, "MiB");
    }
    for (std::size_t b = 1; b < builds.size(); ++b) {
        if (figures[0].open.empty() || figures[b].open.empty()) continue;
        std::printf("%s / %s: open %.3f, first query %.3f, per query %.3f, peak %.3f (medians)\n", builds[b].first.c_str(),
                    builds[0].first.c_str(), Median(figures[b].open) / Median(figures[0].open),
                    Median(figures[b].first) / Median(figures[0].first), Median(figures[b].full) / Median(figures[0].full),
                    Median(figures[b].peak) / Median(figures[0].peak));
    }
    return 0;
}
