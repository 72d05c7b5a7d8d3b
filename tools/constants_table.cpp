#include "tools/constants_table.h"

#include "jet/utf.h"

namespace tools {

jet::Table MakeConstantsTable(std::vector<Constant> constants) {
    jet::Table t;
    t.name = u"api_const";
    t.columns = {
        {u"宏或常量名", jet::ColumnType::Text, 0},
        {u"常量值", jet::ColumnType::Text, 0},
        {u"备注", jet::ColumnType::Text, 0},
    };
    // Not unique: a name may have several values.
    t.indexes.push_back({u"宏或常量名", {u"宏或常量名"}, false, false});
    t.rows.reserve(constants.size());
    for (Constant& c : constants) {
        t.rows.push_back({jet::Value::FromText(jet::Utf8ToUtf16(c.name)),
                          jet::Value::FromText(jet::Utf8ToUtf16(c.valueText)),
                          jet::Value::FromText(jet::Utf8ToUtf16(c.file))});
        c = Constant{};
    }
    return t;
}

}  // namespace tools
