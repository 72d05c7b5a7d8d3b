// Times the engine's statements and record set operations on a generated
// file of three related tables (80,000 constants under 2,000 headers by
// default): a full read as the yardstick (and the reader's own ReadAll
// beside it), filters with and without an index,
// a range, GROUP BY, joins through the index and through a hash, and a
// record set's Filter, Sort and Find. The queries are interleaved over the
// rounds; each prints its median and spread (min-max) per run and its
// median ratio to the full read of the same round.
//   ado_query_bench [rounds] [constants]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "jetsql/access_bytes.h"
#include "ado/cursor.h"
#include "jetsql/query.h"
#include "jet/writer.h"

namespace {

using Clock = std::chrono::steady_clock;

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::vector<jet::Table> Tables(std::size_t constants) {
    const std::size_t headers = std::max<std::size_t>(1, constants / 40);
    const char16_t* kinds[] = {u"message", u"style", u"error", u"wait", u"flag"};
    jet::Table header;
    header.name = u"header";
    header.columns = {{u"id", jet::ColumnType::LongInteger, 0},
                      {u"file", jet::ColumnType::Text, 0},
                      {u"added", jet::ColumnType::DateTime, 0}};
    header.indexes = {jet::Index{u"PrimaryKey", {u"id"}, true, true}};
    for (std::size_t i = 0; i < headers; ++i)
        header.rows.push_back({jet::Value::FromInteger(std::int64_t(i)), jet::Value::FromText(Widen("header" + std::to_string(i) + ".h")),
                               jet::Value::FromDouble(36000.0 + double(i % 3000))});
    jet::Table constant;
    constant.name = u"constant";
    constant.columns = {{u"name", jet::ColumnType::Text, 0},
                        {u"value", jet::ColumnType::LongInteger, 0},
                        {u"header", jet::ColumnType::LongInteger, 0},
                        {u"kind", jet::ColumnType::Text, 0}};
    constant.indexes = {jet::Index{u"name", {u"name"}, true, false}, jet::Index{u"header", {u"header"}, false, false}};
    for (std::size_t i = 0; i < constants; ++i)
        constant.rows.push_back({jet::Value::FromText(Widen("WM_CONSTANT_" + std::to_string(i * 7919 % constants))),
                                 jet::Value::FromInteger(std::int64_t(i * 31 % 100000)),
                                 jet::Value::FromInteger(std::int64_t(i % headers)), jet::Value::FromText(kinds[i % 5])});
    jet::Table kind;
    kind.name = u"kind";
    kind.columns = {{u"name", jet::ColumnType::Text, 0}, {u"meaning", jet::ColumnType::Text, 0}};
    for (const char16_t* k : kinds) kind.rows.push_back({jet::Value::FromText(k), jet::Value::FromText(u"about " + std::u16string(k))});
    return {header, constant, kind};
}

struct Measure {
    const char* name;
    std::function<std::size_t()> run;  // the rows it gave, so that nothing is optimised away
    std::vector<double> ms, ratio;
    std::size_t rows = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
    const std::size_t constants = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 80000;
    if (rounds < 1 || constants < 10) return 2;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!jet::WriteDatabase(Tables(constants), bytes, &error)) {
        std::printf("write failed: %s\n", error.c_str());
        return 1;
    }
    auto source = jetsql::OpenAccessBytes(bytes, &error);
    if (!source) {
        std::printf("open failed: %s\n", error.c_str());
        return 1;
    }
    auto sql = [&](const char16_t* text) {
        return [&source, text]() -> std::size_t {
            jetsql::ResultSet rs;
            jetsql::SqlError why;
            if (!jetsql::RunSql(*source, text, {}, &rs, &why)) {
                std::printf("refused: %s\n", why.text.c_str());
                std::exit(1);
            }
            return rs.rows.size();
        };
    };
    jetsql::ResultSet all;
    jetsql::SqlError ignored;
    jetsql::RunSql(*source, u"select * from constant", {}, &all, &ignored);
    const ado::Cursor cursor(std::move(all));
    auto view = [&](std::function<bool(ado::Cursor&, ado::RecordsetError*)> op) {
        return [&cursor, op]() -> std::size_t {
            ado::Cursor c = cursor.Clone();
            ado::RecordsetError why;
            if (!op(c, &why)) {
                std::printf("refused: %s\n", why.text.c_str());
                std::exit(1);
            }
            return std::size_t(c.Count() + c.AbsolutePosition());
        };
    };
    std::vector<Measure> measures = {
        {"full read (yardstick)", sql(u"select * from constant"), {}, {}},
        {"reader alone, all rows", [&]() { return source->ReadAll(*source->FindTable(u"constant")).size(); }, {}, {}},
        {"filter, indexed =", sql(u"select * from constant where header = 17"), {}, {}},
        {"filter, indexed range", sql(u"select * from header where id between 100 and 140"), {}, {}},
        {"filter, no index", sql(u"select name from constant where value between 1000 and 2000 and kind = 'wait'"), {}, {}},
        {"GROUP BY + aggregates", sql(u"select kind, count(*), sum(value), min(name) from constant group by kind"), {}, {}},
        {"join, index probe", sql(u"select c.name, h.file from header h inner join constant c on h.id = c.header "
                                  u"where h.id between 10 and 12"), {}, {}},
        {"join, hash", sql(u"select h.file, count(*) from constant c inner join header h on c.header = h.id "
                           u"where c.kind = 'flag' group by h.file"), {}, {}},
        {"join, 3 tables", sql(u"select count(*) from (constant c inner join header h on c.header = h.id) "
                               u"inner join kind k on k.name = c.kind where h.id < 100"), {}, {}},
        {"record set Filter", view([](ado::Cursor& c, ado::RecordsetError* e) {
             return c.SetFilter(u"value > 50000 AND kind = 'style'", e);
         }), {}, {}},
        {"record set Sort", view([](ado::Cursor& c, ado::RecordsetError* e) { return c.SetSort(u"kind, value DESC", e); }), {}, {}},
        {"record set Find", view([](ado::Cursor& c, ado::RecordsetError* e) {
             return c.Find(u"name = 'WM_CONSTANT_7'", 0, false, ado::FindStart::First, e);
         }), {}, {}},
    };
    std::printf("constants %zu, headers %zu, file %.1f MB, %d rounds (queries interleaved in each)\n", constants,
                std::max<std::size_t>(1, constants / 40), double(bytes.size()) / 1048576.0, rounds);
    for (int round = 0; round < rounds; ++round) {
        for (Measure& m : measures) {
            const auto start = Clock::now();
            m.rows = m.run();
            m.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        for (Measure& m : measures) m.ratio.push_back(m.ms.back() / measures[0].ms.back());
    }
    std::printf("%-24s %10s %21s %12s %8s\n", "query", "median ms", "spread ms (min-max)", "x full read", "rows");
    for (const Measure& m : measures)
        std::printf("%-24s %10.3f %10.3f-%-10.3f %12.4f %8zu\n", m.name, Median(m.ms),
                    *std::min_element(m.ms.begin(), m.ms.end()), *std::max_element(m.ms.begin(), m.ms.end()),
                    Median(m.ratio), m.rows);
    return 0;
}
