#pragma once
// A small api_const table shaped like the program's database, for the component's tests.
#include "jet/table.h"

namespace ado_test {

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

}  // namespace ado_test
