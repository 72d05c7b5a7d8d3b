#include "sample_tables.h"

#include "jet/utf.h"

namespace jet_test {

using jet::Column;
using jet::ColumnType;
using jet::Table;
using jet::Value;

std::u16string Repeat(const std::u16string& piece, std::size_t times) {
    std::u16string out;
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

Table ApiConstTable(std::size_t rows) {
    Table t;
    t.name = u"api_const";
    t.columns = {{u"宏或常量名", ColumnType::Text, 510}, {u"常量值", ColumnType::Text, 510}, {u"备注", ColumnType::Text, 510}};
    for (std::size_t i = 0; i < rows; ++i) {
        Value remark;
        switch (i % 4) {
            case 0: remark = Value::FromText(u"窗口消息"); break;
            case 1: remark = Value::FromText(u""); break;
            case 2: break;
            default: remark = Value::FromText(u"mixed 文本 " + jet::Utf8ToUtf16(std::to_string(i))); break;
        }
        t.rows.push_back({Value::FromText(u"NAME_" + jet::Utf8ToUtf16(std::to_string(i))),
                          Value::FromText(i % 2 ? jet::Utf8ToUtf16(std::to_string(i * 16)) : u"0x" + jet::Utf8ToUtf16(std::to_string(i))),
                          remark});
    }
    return t;
}

Table MixedTable(const std::u16string& name, std::size_t rows, unsigned seed) {
    Table t;
    t.name = name;
    t.columns = {{u"Flag", ColumnType::Boolean},    {u"Small", ColumnType::Byte},       {u"Short", ColumnType::Integer},
                 {u"Long", ColumnType::LongInteger}, {u"Money", ColumnType::Currency},   {u"Single", ColumnType::Single},
                 {u"Double", ColumnType::Double},    {u"When", ColumnType::DateTime},    {u"Bytes", ColumnType::Binary, 100},
                 {u"文字", ColumnType::Text, 100},   {u"Memo", ColumnType::Memo},        {u"Ole", ColumnType::OleObject}};
    unsigned x = seed;
    const auto next = [&x]() { x = x * 1103515245u + 12345u; return (x >> 8) & 0xFFFF; };
    for (std::size_t i = 0; i < rows; ++i) {
        std::vector<Value> row(t.columns.size());
        const unsigned r = next();
        row[0] = Value::FromInteger(r & 1);
        row[1] = Value::FromInteger(r & 0xFF);
        row[2] = Value::FromInteger(static_cast<std::int16_t>(r));
        row[3] = Value::FromInteger(static_cast<std::int32_t>(r * 65599u));
        row[4] = Value::FromDouble(static_cast<double>(r) / 4.0);
        row[5] = Value::FromDouble(0.5f * static_cast<float>(r));
        row[6] = Value::FromDouble(static_cast<double>(r) / 3.0);
        row[7] = Value::FromDouble(36526.0 + r / 16.0);
        row[8].kind = Value::Kind::Binary;
        row[8].binary.assign(r % 101, static_cast<std::uint8_t>(r));
        row[9] = Value::FromText(Repeat(r % 3 ? u"a" : u"中", r % 51));
        // Memo sizes cover in-row, one long-value row and chained long-value rows.
        static const std::size_t memoSizes[] = {0, 10, 32, 33, 200, 1024, 1025, 2040, 2041, 5000, 30000};
        const std::size_t memo = memoSizes[r % 11];
        row[10] = Value::FromText(Repeat(r & 2 ? u"z" : u"字", memo));
        row[11].kind = Value::Kind::Binary;
        row[11].binary.assign(memoSizes[(r / 11) % 11] * 2, static_cast<std::uint8_t>(r >> 3));
        if (r % 7 == 0)  // every column but the Boolean may be null
            for (std::size_t c = 1; c < row.size(); ++c)
                if ((r >> c) & 1) row[c] = Value::Null();
        t.rows.push_back(std::move(row));
    }
    return t;
}

}  // namespace jet_test
