// Times the database file format on a table shaped like api_const:
// writing it, opening it, and equality lookups through the file's index and
// through the in-memory hash index.
//   jet_bench [rows]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/jet_reader.h"
#include "jet/utf.h"
#include "jet/writer.h"

using namespace jet;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

Table Constants(std::size_t rows, bool indexed) {
    Table t;
    t.name = u"api_const";
    t.columns = {{u"宏或常量名", ColumnType::Text, 0}, {u"常量值", ColumnType::Text, 0}, {u"备注", ColumnType::Text, 0}};
    if (indexed) t.indexes = {Index{u"宏或常量名", {u"宏或常量名"}, false, false}};
    for (std::size_t i = 0; i < rows; ++i)
        t.rows.push_back({Value::FromText(Utf8ToUtf16("WM_CONSTANT_" + std::to_string(i * 7919 % rows))),
                          Value::FromText(Utf8ToUtf16(std::to_string(i))), Value::FromText(u"winuser.h")});
    return t;
}

void Measure(std::size_t rows, bool indexed) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    const Table table = Constants(rows, indexed);
    auto start = Clock::now();
    if (!WriteDatabase({table}, bytes, &error)) {
        std::printf("write failed: %s\n", error.c_str());
        return;
    }
    const double write = Seconds(start);
    start = Clock::now();
    auto db = Database::OpenBytes(bytes, &error);
    const double open = Seconds(start);
    if (!db) {
        std::printf("open failed: %s\n", error.c_str());
        return;
    }
    const Table* t = db->FindTable(u"api_const");
    start = Clock::now();
    db->FindRowsEqual(*t, 0, Value::FromText(u"WM_CONSTANT_0"));
    const double first = Seconds(start);
    const std::size_t lookups = 20000;
    std::size_t found = 0;
    start = Clock::now();
    for (std::size_t i = 0; i < lookups; ++i)
        found += db->FindRowsEqual(*t, 0, Value::FromText(Utf8ToUtf16("wm_constant_" + std::to_string(i % rows)))).size();
    const double each = Seconds(start) / lookups;
    std::printf("%-10s rows %7zu  file %6.1f MB  write %7.3f s  open %7.3f s  first lookup %7.3f s  lookup %6.2f us (%zu found)\n",
                indexed ? "index" : "hash", rows, static_cast<double>(bytes.size()) / 1048576.0, write, open, first,
                each * 1e6, found);
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 80000;
    if (rows == 0) return 2;
    Measure(rows, true);
    Measure(rows, false);
    return 0;
}
