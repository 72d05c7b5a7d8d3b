// Feeds arbitrary UTF-16 text to the statement parser, the query runner and the
// connection-string reader; a parsed statement must be runnable without fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ado/connection_string.h"
#include "ado/memory_source.h"
#include "ado/query.h"

namespace {

ado::MemorySource& Source() {
    static ado::MemorySource source([] {
        jet::Table t;
        t.name = u"api_const";
        t.columns = {{u"宏或常量名", jet::ColumnType::Text, 0}, {u"常量值", jet::ColumnType::Text, 0},
                     {u"n", jet::ColumnType::LongInteger, 0}};
        t.rows.push_back({jet::Value::FromText(u"WM_CREATE"), jet::Value::FromText(u"0001"), jet::Value::FromInteger(1)});
        t.rows.push_back({jet::Value::FromText(u"a"), jet::Value::Null(), jet::Value::Null()});
        std::vector<jet::Table> tables;
        tables.push_back(std::move(t));
        return tables;
    }());
    return source;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += char16_t(data[i] | (data[i + 1] << 8));
    std::string error;
    ado::ResultSet rs;
    if (!ado::RunSql(Source(), text, &rs, &error) && error.empty()) __builtin_trap();
    ado::ConnectionSettings settings;
    error.clear();
    if (!ado::ParseConnectionString(text, &settings, &error) && error.empty()) __builtin_trap();
    return 0;
}
