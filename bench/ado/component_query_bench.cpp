// Per-query time of a filter, a GROUP BY and joins through the component's
// automation interface (the objects made in this process, every member
// bound by name as the program and scripts bind them), beside the same work
// done by the engine directly on the same file, in the same rounds. The file
// is derived from the built database: api_const with an index on 备注 too,
// and a table of its namespaces (备注 values) with their counts, so a join
// has a key to follow. Each round runs every query through both paths;
// prints median and spread per query and the median ratio of the two.
//   ado_component_query_bench [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ado/com/access_file.h"
#include "ado/com/connection_object.h"
#include "ado/com/recordset_object.h"
#include "ado/cursor.h"
#include "bridge/com_object.h"
#include "bridge/variant.h"
#include "tests/support/jet_reader.h"
#include "jet/writer.h"

using namespace bridge;

namespace {

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

Text Ansi(const std::u16string& s) {
    std::string out(s.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(s.c_str()), int(s.size()), &out[0],
                                      int(out.size()), nullptr, nullptr);
    out.resize(std::size_t(n > 0 ? n : 0));
    return out;
}

// api_const as built, indexed on name and namespace, and its namespaces.
bool WriteDerived(const std::string& from, const std::string& to, std::string* error) {
    auto db = jet::Database::Open(from, error);
    const jet::Table* shipped = db ? db->FindTable(u"api_const") : nullptr;
    if (!shipped) return false;
    jet::Table constants = *shipped;
    constants.indexes = {jet::Index{u"name", {u"宏或常量名"}, false, false}, jet::Index{u"space", {u"备注"}, false, false}};
    std::map<std::u16string, std::int64_t> counts;
    for (const auto& row : constants.rows)
        if (row.size() > 2 && !row[2].IsNull()) ++counts[row[2].text];
    jet::Table spaces;
    spaces.name = u"namespace";
    spaces.columns = {{u"名称", jet::ColumnType::Text, 0}, {u"常量数", jet::ColumnType::LongInteger, 0}};
    spaces.indexes = {jet::Index{u"PrimaryKey", {u"名称"}, true, true}};
    for (const auto& [name, n] : counts)
        spaces.rows.push_back({jet::Value::FromText(name), jet::Value::FromInteger(n)});
    return jet::WriteDatabase(to, {constants, spaces}, error);
}

struct Query {
    const char* name;
    const char16_t* sql;
    const char16_t* filter;  // a record set Filter after opening, or null
};

const Query kQueries[] = {
    {"filter, WHERE without an index", u"select 宏或常量名 from api_const where 常量值 = '4' and 备注 like 'Windows.Win32.UI.*'",
     nullptr},
    {"filter, WHERE through an index", u"select * from api_const where 备注 = 'Windows.Win32.Devices.Bluetooth'", nullptr},
    {"record set Filter on 4k rows", u"select * from api_const where 备注 = 'Windows.Win32.Foundation'",
     u"常量值 = '1' OR 宏或常量名 LIKE 'E_*'"},
    {"GROUP BY + COUNT", u"select 备注, count(*) as n from api_const group by 备注", nullptr},
    {"join, index probe", u"select a.宏或常量名, n.常量数 from api_const as a inner join namespace as n "
                          u"on a.备注 = n.名称 where a.宏或常量名 = 'WM_CREATE'", nullptr},
    {"join + GROUP BY, small groups", u"select n.名称, count(*) from api_const as a inner join namespace as n "
                                      u"on a.备注 = n.名称 where n.常量数 < 20 group by n.名称", nullptr},
};

// One query through the component: Open (static), Filter, RecordCount, Close.
double ThroughComponent(const ComObject& connection, const Query& q) {
    ComObject rs = ComObject::FromInterface(
        static_cast<Recordset*>(ado_com::MakeObject<ado_com::RecordsetObject>().get()));
    // The arguments in Variants, as the program passes them.
    Variant source, active;
    source.Assign(ArgText(Ansi(q.sql)));
    active.Assign(ArgObject(connection));
    rs.CallMethod("Open", RefVariant(source), RefVariant(active), ArgInt(3), ArgInt(1));
    if (q.filter) rs.SetProperty("Filter", ArgText(Ansi(q.filter)));
    const double n = rs.GetNumberProperty("RecordCount");
    rs.CallMethod("Close");
    return n;
}

// The same work asked of the engine.
double ThroughEngine(jetsql::DataSource& source, const Query& q) {
    jetsql::ResultSet rows;
    jetsql::SqlError why;
    if (!jetsql::RunSql(source, q.sql, {}, &rows, &why)) return -1;
    ado::Cursor cursor(std::move(rows));
    ado::RecordsetError refused;
    if (q.filter && !cursor.SetFilter(q.filter, &refused)) return -1;
    return cursor.Count();
}

struct Figures {
    std::vector<double> component, engine, ratio;
    double rows[2] = {-1, -1};  // as the component and the engine count them
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
    if (rounds < 1) return 2;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "qalomir_component_query_bench.mdb";
    std::string error;
    if (!WriteDerived(QALOMIR_BENCH_DATABASE, file, &error)) {
        std::printf("cannot derive the file: %s\n", error.c_str());
        return 1;
    }
    OleSession ole;
    auto made = ado_com::MakeObject<ado_com::ConnectionObject>();
    ComObject connection = ComObject::FromInterface(static_cast<Connection*>(made.get()));
    connection.CallMethod("Open", ArgText("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file));
    std::u16string wide(file.begin(), file.end());
    std::u16string why;
    std::shared_ptr<jetsql::DataSource> source = ado_com::OpenAccessFile(wide, &why);
    if (!ole.Ok() || connection.GetNumberProperty("State") != 1 || !source) {
        std::printf("cannot open %s\n", file.c_str());
        return 1;
    }
    const int reps = 3;
    std::vector<Figures> figures(std::size(kQueries));
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < std::size(kQueries); ++i) {
            Figures& f = figures[i];
            // Alternate which path goes first.
            double component = 0, engine = 0;
            for (int pass = 0; pass < 2; ++pass) {
                const bool com = (pass == 0) == (r % 2 == 0);
                const double start = Now();
                for (int k = 0; k < reps; ++k)
                    f.rows[com ? 0 : 1] = com ? ThroughComponent(connection, kQueries[i]) : ThroughEngine(*source, kQueries[i]);
                (com ? component : engine) = (Now() - start) * 1e3 / reps;
            }
            f.component.push_back(component);
            f.engine.push_back(engine);
            f.ratio.push_back(component / engine);
        }
    }
    connection.CallMethod("Close");
    source.reset();
    DeleteFileA(file.c_str());
    std::printf("%d rounds, the two paths alternating in each; per query, ms (median, min-max)\n", rounds);
    std::printf("%-32s %22s %22s %10s %7s\n", "query", "component", "engine", "ratio", "rows");
    for (std::size_t i = 0; i < std::size(kQueries); ++i) {
        const Figures& f = figures[i];
        std::printf("%-32s %8.3f (%6.3f-%6.3f) %8.3f (%6.3f-%6.3f) %10.3f %7.0f\n", kQueries[i].name,
                    Median(f.component), *std::min_element(f.component.begin(), f.component.end()),
                    *std::max_element(f.component.begin(), f.component.end()), Median(f.engine),
                    *std::min_element(f.engine.begin(), f.engine.end()),
                    *std::max_element(f.engine.begin(), f.engine.end()), Median(f.ratio), f.rows[1]);
        if (f.rows[0] != f.rows[1]) std::printf("  the component counted %.0f rows: its figures measure a failure\n", f.rows[0]);
    }
    return 0;
}
