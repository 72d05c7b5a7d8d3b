// Writes the reader fuzzer's starting corpus: small databases from the writer.
#include <cstdio>
#include <string>

#include "jet/writer.h"

using namespace jet;

namespace {

Table ApiConst(int rows) {
    Table t;
    t.name = u"api_const";
    t.columns = {{u"宏或常量名", ColumnType::Text, 510}, {u"常量值", ColumnType::Text, 510}, {u"备注", ColumnType::Text, 510}};
    for (int i = 0; i < rows; ++i)
        t.rows.push_back({Value::FromText(u"WM_" + std::u16string(1, char16_t(u'A' + i % 26))), Value::FromText(u"0x10"),
                          i % 2 ? Value::Null() : Value::FromText(u"消息")});
    t.indexes = {Index{u"宏或常量名", {u"宏或常量名"}, false, false}};
    return t;
}

Table Mixed() {
    Table t;
    t.name = u"mixed";
    t.columns = {{u"b", ColumnType::Boolean}, {u"n", ColumnType::LongInteger}, {u"d", ColumnType::DateTime},
                 {u"m", ColumnType::Memo},    {u"o", ColumnType::OleObject}, {u"c", ColumnType::Currency}};
    for (std::size_t size : {5u, 40u, 2100u, 4500u}) {
        Value ole;
        ole.kind = Value::Kind::Binary;
        ole.binary.assign(size, 0x5A);
        t.rows.push_back({Value::FromInteger(1), Value::FromInteger(static_cast<long>(size)), Value::FromDouble(40000.5),
                          Value::FromText(std::u16string(size, u'字')), ole, Value::FromDouble(2.5)});
    }
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: jet_seed_writer <corpus directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    WriteOptions options;
    options.created = 45000.0;
    std::string error;
    const bool ok = WriteDatabase(dir + "/one_row.mdb", {ApiConst(1)}, &error, options) &&
                    WriteDatabase(dir + "/two_pages.mdb", {ApiConst(150)}, &error, options) &&
                    WriteDatabase(dir + "/index_nodes.mdb", {ApiConst(700)}, &error, options) &&
                    WriteDatabase(dir + "/long_values.mdb", {Mixed()}, &error, options);
    if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
    return ok ? 0 : 1;
}
