// Times the program's query sequence (open the record set, read the count and
// the value, close) through 数据库类 on the full database and on a copy cut to
// 100 rows, and prints both per-query times and their ratio.
//   ado_query_bench [full.mdb]
#include <windows.h>

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

struct Timing {
    double perQuery = 0;  // seconds
    int found = 0;
    bool ok = false;
};

Timing TimeQueries(const Text& path, const std::vector<Text>& names, int rounds) {
    Timing t;
    数据库类 database;
    if (!database.OpenDatabase(path)) {
        std::printf("cannot open %s: %s\n", path.c_str(), database.LastError().c_str());
        return t;
    }
    auto query = [&](const Text& name) {
        if (!database.OpenRecordSet("select 常量值,备注 from api_const where 宏或常量名='" + name + "'")) return;
        if (database.RecordCount() > 0 && !database.ReadText("常量值").empty()) ++t.found;
        database.CloseRecordSet();
    };
    for (const Text& name : names) query(name);  // warm: indexes built, pages touched
    t.found = 0;
    double start = Now();
    for (int r = 0; r < rounds; ++r)
        for (const Text& name : names) query(name);
    t.perQuery = (Now() - start) / double(rounds * names.size());
    database.CloseDatabase();
    t.ok = true;
    return t;
}

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

    const std::vector<Text> fullNames = NamesOf(*table, 100), smallNames = NamesOf(small, 100);
    const int rounds = 20;
    Timing big = TimeQueries(full, fullNames, rounds);
    Timing little = TimeQueries(smallPath, smallNames, rounds);
    DeleteFileA(smallPath.c_str());
    if (!big.ok || !little.ok) return 1;
    std::printf("rows: full %zu, small %zu; %zu names x %d rounds each\n", table->rows.size(), small.rows.size(),
                fullNames.size(), rounds);
    std::printf("per query, full database:  %.1f us (%d found)\n", big.perQuery * 1e6, big.found);
    std::printf("per query, 100-row database: %.1f us (%d found)\n", little.perQuery * 1e6, little.found);
    std::printf("ratio full / 100-row: %.2f (target < 2)\n", big.perQuery / little.perQuery);
    return 0;
}
