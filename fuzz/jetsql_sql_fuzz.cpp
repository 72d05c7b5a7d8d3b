// Feeds arbitrary text to the statement parser and runner (with a
// value for every `?`), to DescribeParameters, to a record set's Filter,
// Sort, Find and GetString, to the date reader and to the connection-string
// reader. A refusal must say why; nothing may fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ado/connection_string.h"
#include "ado/cursor.h"
#include "jetsql/memory_source.h"
#include "jetsql/query.h"

namespace {

jet::Value T(const char16_t* s) { return jet::Value::FromText(s); }
jet::Value I(std::int64_t n) { return jet::Value::FromInteger(n); }
jet::Value D(double d) { return jet::Value::FromDouble(d); }

jetsql::MemorySource& Source() {
    static jetsql::MemorySource source([] {
        jet::Table a;
        a.name = u"api_const";
        a.columns = {{u"宏或常量名", jet::ColumnType::Text, 0}, {u"常量值", jet::ColumnType::Text, 0},
                     {u"n", jet::ColumnType::LongInteger, 0}, {u"d", jet::ColumnType::DateTime, 0},
                     {u"f", jet::ColumnType::Boolean, 0}, {u"m", jet::ColumnType::Currency, 0}};
        a.rows.push_back({T(u"WM_CREATE"), T(u"0001"), I(1), D(43832), I(1), D(1.5)});
        a.rows.push_back({T(u"a"), jet::Value::Null(), jet::Value::Null(), jet::Value::Null(), I(0), jet::Value::Null()});
        a.rows.push_back({T(u"wm_create"), T(u""), I(-7), D(-1.25), I(1), D(0)});
        jet::Table b;
        b.name = u"b";
        b.columns = {{u"n", jet::ColumnType::LongInteger, 0}, {u"s", jet::ColumnType::Text, 0},
                     {u"x", jet::ColumnType::Double, 0}};
        b.indexes = {jet::Index{u"n", {u"n"}, false, false}};
        b.rows.push_back({I(1), T(u"one"), D(0.5)});
        b.rows.push_back({I(1), T(u"ONE"), jet::Value::Null()});
        b.rows.push_back({I(-7), jet::Value::Null(), D(-1e300)});
        std::vector<jet::Table> tables;
        tables.push_back(std::move(a));
        tables.push_back(std::move(b));
        return tables;
    }());
    return source;
}

// A refusal of either layer must say why.
template <class Error>
void Require(bool ok, const Error& error) {
    if (!ok && error.text.empty()) __builtin_trap();
}

// Every record set operation that takes text, given this text.
void Operate(ado::Cursor& cursor, std::u16string_view text) {
    ado::RecordsetError error;
    Require(cursor.SetFilter(text, &error), error);
    Require(cursor.SetSort(text, &error), error);
    cursor.ClearFilter();
    if (cursor.HasCurrent()) Require(cursor.Find(text, 1, text.size() % 2 == 0, ado::FindStart::Current, &error), error);
    Require(cursor.Find(text, 0, true, ado::FindStart::Last, &error), error);
    cursor.MoveFirst();
    std::u16string out;
    Require(cursor.GetString(2, {std::u16string(text.substr(0, 2)), u"\r", u"N"}, &out, &error), error);
}

// The input as UTF-8 (so that seeds and the dictionary are plain text); a
// byte that starts no valid sequence stands for itself.
std::u16string Decode(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t b = data[i];
        const std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t c = n == 1 ? b : b & (0x3F >> (n - 1));
        bool valid = n == 1 || i + n <= size;
        for (std::size_t k = 1; valid && k < n; ++k) {
            valid = (data[i + k] & 0xC0) == 0x80;
            c = c << 6 | (data[i + k] & 0x3F);
        }
        if (!valid) c = b, i += 1;
        else i += n;
        if (c >= 0x10000) {
            text += char16_t(0xD800 + ((c - 0x10000) >> 10));
            text += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += char16_t(c);
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = Decode(data, size);
    jetsql::SqlError error;
    jetsql::SelectStatement statement;
    if (jetsql::ParseSelect(text, &statement, &error)) {
        jetsql::Parameters parameters;
        for (std::size_t i = 0; i < statement.parameterCount; ++i)
            parameters.push_back(i % 3 == 0 ? jetsql::TypedValue::Text(u"1") :
                                 i % 3 == 1 ? jetsql::TypedValue::Integer(std::int64_t(i)) : jetsql::TypedValue::Null());
        jetsql::ResultSet rs;
        const bool ran = jetsql::RunSelect(Source(), statement, parameters, &rs, &error);
        Require(ran, error);
        if (ran) {
            for (const jetsql::Row& row : rs.rows)
                if (row.size() != rs.columns.size()) __builtin_trap();
            ado::Cursor cursor(std::move(rs));
            Operate(cursor, text);
        }
    } else {
        Require(false, error);
    }
    std::vector<jetsql::ParameterInfo> info;
    Require(jetsql::DescribeParameters(Source(), text, &info, &error), error);
    static ado::Cursor fixed = [] {
        jetsql::ResultSet rs;
        jetsql::SqlError ignored;
        jetsql::RunSql(Source(), u"select * from api_const", {}, &rs, &ignored);
        return ado::Cursor(std::move(rs));
    }();
    Operate(fixed, text);
    double date = 0;
    jetsql::ParseJetDate(text, &date);
    ado::ConnectionSettings settings;
    std::string why;
    if (!ado::ParseConnectionString(text, &settings, &why) && why.empty()) __builtin_trap();
    return 0;
}
