#pragma once
// Tables for the engine's and the component's tests: one shaped like the program's database,
// and three related ones holding every column type the engine compares.
#include <string>
#include <vector>

#include "jet/table.h"
#include "jet/writer.h"

namespace jetsql_test {

inline jet::Table ApiConstTable() {
    jet::Table t;
    t.name = u"api_const";
    t.columns = {{u"宏或常量名", jet::ColumnType::Text, 0},
                 {u"常量值", jet::ColumnType::Text, 0},
                 {u"备注", jet::ColumnType::Memo, 0},
                 {u"序号", jet::ColumnType::LongInteger, 0}};
    auto row = [](const char16_t* name, const char16_t* value, jet::Value remark, std::int64_t n) {
        return std::vector<jet::Value>{jet::Value::FromText(name), jet::Value::FromText(value), std::move(remark),
                                       jet::Value::FromInteger(n)};
    };
    t.rows.push_back(row(u"WM_CREATE", u"0001", jet::Value::FromText(u"窗口创建"), 1));
    t.rows.push_back(row(u"WS_OVERLAPPEDWINDOW", u"13565952", jet::Value::Null(), 2));
    t.rows.push_back(row(u"wm_create", u"", jet::Value::FromText(u"lower-case twin"), 3));
    t.rows.push_back(row(u"IT'S", u"7", jet::Value::FromText(u"quote"), 4));
    t.rows.push_back(row(u"常量", u"42", jet::Value::FromText(u"中文名"), 5));
    return t;
}

inline jet::Value T(const char16_t* s) { return jet::Value::FromText(s); }
inline jet::Value I(std::int64_t n) { return jet::Value::FromInteger(n); }
inline jet::Value D(double d) { return jet::Value::FromDouble(d); }
inline jet::Value Null() { return jet::Value::Null(); }

// header: one row per header file, with a column of every fixed type;
// constant: names that belong to a header (one to a header that is not
// there, one to none); kind: what a constant's kind means.
inline std::vector<jet::Table> CatalogTables() {
    jet::Table header;
    header.name = u"header";
    header.columns = {{u"id", jet::ColumnType::LongInteger, 0}, {u"file", jet::ColumnType::Text, 100},
                      {u"added", jet::ColumnType::DateTime, 0}, {u"size", jet::ColumnType::Double, 0},
                      {u"price", jet::ColumnType::Currency, 0}, {u"shipped", jet::ColumnType::Boolean, 0},
                      {u"rank", jet::ColumnType::Integer, 0},   {u"level", jet::ColumnType::Byte, 0},
                      {u"note", jet::ColumnType::Memo, 0}};
    header.indexes = {jet::Index{u"PrimaryKey", {u"id"}, true, true}, jet::Index{u"added", {u"added"}, false, false}};
    header.rows = {
        {I(1), T(u"winuser.h"), D(36893.0), D(120.5), D(1.25), I(1), I(3), I(1), T(u"user")},
        {I(2), T(u"winbase.h"), D(36893.5), D(80), D(0.5), I(0), I(-2), I(2), Null()},
        {I(3), T(u"commctrl.h"), Null(), D(300.25), D(10), I(1), I(3), I(0), T(u"controls")},
        {I(4), T(u"ole2.h"), D(36525.0), Null(), Null(), I(0), Null(), I(5), T(u"ole")},
        {I(5), T(u"WinError.h"), D(40359.0), D(80), D(2), I(1), I(1), I(2), T(u"")},
    };
    jet::Table constant;
    constant.name = u"constant";
    constant.columns = {{u"name", jet::ColumnType::Text, 0}, {u"value", jet::ColumnType::LongInteger, 0},
                        {u"header", jet::ColumnType::LongInteger, 0}, {u"kind", jet::ColumnType::Text, 40}};
    constant.indexes = {jet::Index{u"name", {u"name"}, true, false}, jet::Index{u"header", {u"header"}, false, false}};
    constant.rows = {
        {T(u"WM_CREATE"), I(1), I(1), T(u"message")},       {T(u"WM_DESTROY"), I(2), I(1), T(u"message")},
        {T(u"WM_PAINT"), I(15), I(1), T(u"message")},       {T(u"INFINITE"), I(-1), I(2), T(u"wait")},
        {T(u"WAIT_OBJECT_0"), I(0), I(2), T(u"wait")},      {T(u"LVM_FIRST"), I(4096), I(3), T(u"message")},
        {T(u"S_OK"), I(0), I(5), Null()},                   {T(u"E_FAIL"), I(-2147467259), I(5), T(u"hresult")},
        {T(u"ORPHAN"), I(7), I(9), T(u"none")},             {T(u"WM_NULL"), I(0), Null(), T(u"message")},
    };
    jet::Table kind;
    kind.name = u"kind";
    kind.columns = {{u"name", jet::ColumnType::Text, 40}, {u"meaning", jet::ColumnType::Text, 0}};
    kind.indexes = {jet::Index{u"PrimaryKey", {u"name"}, true, true}};
    kind.rows = {{T(u"message"), T(u"Window messages")}, {T(u"wait"), T(u"Wait results")},
                 {T(u"hresult"), T(u"COM results")}};
    return {header, constant, kind};
}

// The catalog tables as an Access file.
inline std::vector<std::uint8_t> CatalogFile() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    jet::WriteOptions options;
    options.created = 45000.25;
    if (!jet::WriteDatabase(CatalogTables(), bytes, &error, options)) return {};
    return bytes;
}

}  // namespace jetsql_test
