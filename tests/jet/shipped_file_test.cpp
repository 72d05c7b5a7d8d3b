// The shipped database's own index on 宏或常量名 finds every one of its rows:
// the component answers the program's lookups from that index alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "jet/database_file.h"
#include "jet/utf.h"

using namespace jet;

namespace {

std::vector<std::uint8_t> ReadFile(const char* path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return bytes;
    std::uint8_t buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    return bytes;
}

}  // namespace

TEST(JetShippedFile, IndexFindsEveryRow) {
    const auto bytes = ReadFile(QALOMIR_CONSTANTS_DB);
    ASSERT_FALSE(bytes.empty()) << QALOMIR_CONSTANTS_DB;
    std::string error;
    auto file = DatabaseFile::Open(PageSource(bytes.data(), bytes.size()), &error);
    ASSERT_TRUE(file) << error;
    const StoredTable* t = file->Find(u"api_const");
    ASSERT_TRUE(t);
    ASSERT_TRUE(IndexOn(t->def, 0));
    std::vector<std::vector<Value>> rows;
    std::vector<std::uint32_t> pointers, found;
    ASSERT_TRUE(file->ReadAll(*t, rows, &error, &pointers)) << error;
    std::size_t count = 0;
    ASSERT_TRUE(file->CountRows(*t, count, &error));
    EXPECT_EQ(rows.size(), count);
    EXPECT_GT(rows.size(), 100000u);
    std::size_t checked = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(DatabaseFile::IndexAnswer::Answered, file->FindInIndex(*t, 0, rows[i][0], false, found))
            << Utf16ToUtf8(rows[i][0].text);
        ASSERT_NE(found.end(), std::find(found.begin(), found.end(), pointers[i])) << Utf16ToUtf8(rows[i][0].text);
        ++checked;
    }
    EXPECT_EQ(rows.size(), checked);
}
