// Writes the reader fuzzer's starting corpus: small databases from the writer.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

// Writes one seed, refusing it when it is longer than the fuzzer reads.
bool WriteSeed(const std::string& path, const Table& table, std::size_t maxLength) {
    WriteOptions options;
    options.created = 45000.0;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!WriteDatabase({table}, bytes, &error, options)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    if (bytes.size() > maxLength) {
        std::fprintf(stderr, "%s: %zu bytes, more than the fuzzer's limit of %zu\n", path.c_str(), bytes.size(), maxLength);
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    const bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f) std::fclose(f);
    if (!ok) std::fprintf(stderr, "%s: cannot write\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: jet_seed_writer <corpus directory> <longest seed in bytes>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::size_t maxLength = std::strtoul(argv[2], nullptr, 10);
    const bool ok = WriteSeed(dir + "/one_row.mdb", ApiConst(1), maxLength) &&
                    WriteSeed(dir + "/two_pages.mdb", ApiConst(150), maxLength) &&
                    WriteSeed(dir + "/index_nodes.mdb", ApiConst(700), maxLength) &&
                    WriteSeed(dir + "/long_values.mdb", Mixed(), maxLength);
    return ok ? 0 : 1;
}
