// Times the program's query sequence (open the record set, read the count and
// the value, close) through 数据库类 on the full database and on a copy cut to
// 100 rows, and prints both per-query times and their ratio.
//   ado_query_bench [full.mdb]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bridge/com_object.h"
#include "db/database.h"
#include "jet/reader.h"
#include "jet/writer.h"

namespace {

Text ToAnsi(const std::u16string& s) {
    const wchar_t* w = reinterpret_cast<const wchar_t*>(s.c_str());
    int n = WideCharToMultiByte(CP_ACP, 0, w, int(s.size()), nullptr, 0, nullptr, nullptr);
    Text out(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, w, int(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Names spread evenly over the table, to look up in turn.
std::vector<Text> NamesOf(const jet::Table& table, std::size_t count) {
    std::vector<Text> names;
    for (std::size_t i = 0; i < count && !table.rows.empty(); ++i) {
        const jet::Value& v = table.rows[i * table.rows.size() / count][0];
        if (v.kind == jet::Value::Kind::Text) names.push_back(ToAnsi(v.text));
    }
    return names;
}

// One open database and the names to look up in it.
class Subject {
public:
    Subject(const Text& path, std::vector<Text> names) : names_(std::move(names)) {
        open_ = database_.OpenDatabase(path);
        if (!open_) std::printf("cannot open %s: %s\n", path.c_str(), database_.LastError().c_str());
    }
    ~Subject() { database_.CloseDatabase(); }
    bool Open() const { return open_; }
    std::size_t Names() const { return names_.size(); }

    // Seconds per query over one pass through the names; counts the values found.
    double Pass() {
        double start = Now();
        for (const Text& name : names_) Query(name);
        return (Now() - start) / double(names_.size());
    }
    int found = 0;

private:
    void Query(const Text& name) {
        if (!database_.OpenRecordSet("select 常量值,备注 from api_const where 宏或常量名='" + name + "'")) return;
        if (database_.RecordCount() > 0 && !database_.ReadText("常量值").empty()) ++found;
        database_.CloseRecordSet();
    }
    数据库类 database_;
    std::vector<Text> names_;
    bool open_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const Text full = argc > 1 ? argv[1] : QALOMIR_BENCH_DATABASE;
    OleSession ole;
    std::string error;
    auto db = jet::Database::Open(full, &error);
    const jet::Table* table = db ? db->FindTable(u"api_const") : nullptr;
    if (!table) {
        std::printf("cannot read %s: %s\n", full.c_str(), error.c_str());
        return 1;
    }
    jet::Table small = *table;
    if (small.rows.size() > 100) small.rows.resize(100);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const Text smallPath = Text(temp) + "qalomir_bench_100.mdb";
    if (!jet::WriteDatabase(smallPath, {small}, &error)) {
        std::printf("cannot write %s: %s\n", smallPath.c_str(), error.c_str());
        return 1;
    }

    const int passes = 20;
    double bestFull = 1e9, bestSmall = 1e9;
    std::size_t names = 0;
    {
        Subject big(full, NamesOf(*table, 100)), little(smallPath, NamesOf(small, 100));
        if (!big.Open() || !little.Open()) return 1;
        big.Pass();  // warm: indexes built, pages touched
        little.Pass();
        big.found = little.found = 0;
        // Alternating passes, best of each: the machine's other work shows in both alike.
        for (int i = 0; i < passes; ++i) {
            bestFull = std::min(bestFull, big.Pass());
            bestSmall = std::min(bestSmall, little.Pass());
        }
        names = big.Names();
        std::printf("rows: full %zu, small %zu; %zu names, best of %d passes each (%d and %d found)\n",
                    table->rows.size(), small.rows.size(), names, passes, big.found, little.found);
    }
    DeleteFileA(smallPath.c_str());
    std::printf("per query, full database:    %.1f us\n", bestFull * 1e6);
    std::printf("per query, 100-row database: %.1f us\n", bestSmall * 1e6);
    std::printf("ratio full / 100-row: %.2f (target < 2)\n", bestFull / bestSmall);
    return 0;
}
