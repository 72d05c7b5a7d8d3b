// Reading on demand: lookups through the file's own index, rows counted
// against the stored count, and the budget that bounds what one read decodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "jet/database_file.h"
#include "tests/support/jet_reader.h"
#include "jet/utf.h"
#include "jet/writer.h"
#include "sample_tables.h"

using namespace jet;
using Answer = DatabaseFile::IndexAnswer;

namespace {

constexpr std::size_t kPage = 4096;

Table Indexed(std::size_t rows) {
    Table t = jet_test::ApiConstTable(rows);
    t.indexes = {Index{u"宏或常量名", {u"宏或常量名"}, true, false}};
    return t;
}

std::vector<std::uint8_t> Write(const std::vector<Table>& tables) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(WriteDatabase(tables, bytes, &error)) << error;
    return bytes;
}

std::unique_ptr<DatabaseFile> OpenFile(const std::vector<std::uint8_t>& bytes) {
    std::string error;
    auto file = DatabaseFile::Open(PageSource(bytes.data(), bytes.size()), &error);
    EXPECT_TRUE(file) << error;
    return file;
}

std::u16string Name(std::size_t i) { return u"NAME_" + Utf8ToUtf16(std::to_string(i)); }

// The table's data pages, as the file holds them.
std::vector<std::size_t> DataPagesOf(const std::vector<std::uint8_t>& b, std::uint32_t tdef) {
    std::vector<std::size_t> pages;
    for (std::size_t p = 3; p < b.size() / kPage; ++p) {
        std::uint32_t owner;
        std::memcpy(&owner, &b[p * kPage + 4], 4);
        if (b[p * kPage] == 0x01 && owner == tdef) pages.push_back(p);
    }
    return pages;
}

}  // namespace

TEST(JetLazyRead, IndexFindsEveryRowAndOnlyIt) {
    const auto bytes = Write({Indexed(3000)});
    auto file = OpenFile(bytes);
    ASSERT_TRUE(file);
    const StoredTable* t = file->Find(u"API_CONST");
    ASSERT_TRUE(t);
    std::vector<std::vector<Value>> rows;
    std::vector<std::uint32_t> pointers;
    ASSERT_TRUE(file->ReadAll(*t, rows, nullptr, &pointers));
    ASSERT_EQ(3000u, rows.size());
    std::vector<std::uint32_t> found;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(Answer::Answered, file->FindInIndex(*t, 0, rows[i][0], false, found)) << i;
        ASSERT_EQ(std::vector<std::uint32_t>{pointers[i]}, found) << i;
        // The index folds letter case.
        ASSERT_EQ(Answer::Answered, file->FindInIndex(*t, 0, Value::FromText(FoldAsciiCase(rows[i][0].text)), false, found));
        ASSERT_EQ(std::vector<std::uint32_t>{pointers[i]}, found) << i;
    }
    std::vector<std::vector<Value>> read;
    ASSERT_TRUE(file->ReadAt(*t, {pointers[2999], pointers[7]}, read, nullptr));
    EXPECT_EQ((std::vector<std::vector<Value>>{rows[2999], rows[7]}), read);

    EXPECT_EQ(Answer::Answered, file->FindInIndex(*t, 0, Value::FromText(u"NAME_"), false, found));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(Answer::Answered, file->FindInIndex(*t, 0, Value::FromText(u"ZZZ"), false, found));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(Answer::NoIndex, file->FindInIndex(*t, 0, Value::FromText(u"名字"), false, found));
    EXPECT_EQ(Answer::NoIndex, file->FindInIndex(*t, 0, Value::Null(), false, found));
    EXPECT_EQ(Answer::NoIndex, file->FindInIndex(*t, 1, Value::FromText(u"0x1"), false, found));
    EXPECT_EQ(Answer::NoIndex, file->FindInIndex(*t, 9, Value::FromText(u"0x1"), false, found));
}

TEST(JetLazyRead, PrefixesRangeOverTheIndexInStoredOrder) {
    const auto bytes = Write({Indexed(3000)});
    auto file = OpenFile(bytes);
    const StoredTable* t = file->Find(u"api_const");
    std::vector<std::vector<Value>> rows;
    std::vector<std::uint32_t> pointers, found;
    ASSERT_TRUE(file->ReadAll(*t, rows, nullptr, &pointers));
    for (const std::u16string prefix : {u"name_12", u"NAME_2999", u"N", u"", u"NAME_-", u"NAMF", u"A"}) {
        std::vector<std::uint32_t> expected;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (FoldAsciiCase(rows[i][0].text).rfind(FoldAsciiCase(prefix), 0) == 0) expected.push_back(pointers[i]);
        ASSERT_EQ(Answer::Answered, file->FindInIndex(*t, 0, Value::FromText(prefix), true, found));
        if (prefix == u"NAME_-") {
            // '-' sorts in the key's trailer: the index gives every NAME_ row, the caller filters.
            EXPECT_EQ(pointers, found);
            continue;
        }
        EXPECT_EQ(expected, found) << Utf16ToUtf8(prefix);
    }
}

TEST(JetLazyRead, OpeningReadsNoRowsOfUserTables) {
    // A data page of api_const made unreadable does not stop the open, only
    // what reads its rows; lookups on other pages still answer.
    auto bytes = Write({Indexed(600)});
    auto clean = OpenFile(bytes);
    const std::uint32_t tdef = clean->Find(u"api_const")->def.page;
    const auto pages = DataPagesOf(bytes, tdef);
    ASSERT_GT(pages.size(), 2u);
    bytes[pages.back() * kPage] = 0x02;
    auto file = OpenFile(bytes);
    ASSERT_TRUE(file);
    const StoredTable* t = file->Find(u"api_const");
    std::string error;
    std::size_t count = 0;
    EXPECT_FALSE(file->CountRows(*t, count, &error));
    EXPECT_EQ("the file is damaged: the table definition counts 600 rows, its data pages hold " +
                  std::to_string(600 - [&] {
                      std::uint16_t n;
                      std::memcpy(&n, &bytes[pages.back() * kPage + 12], 2);
                      return n;
                  }()) + " (table 'api_const', page " + std::to_string(tdef) + ")",
              error);
    std::vector<std::uint32_t> found;
    std::vector<std::vector<Value>> rows;
    ASSERT_EQ(Answer::Answered, file->FindInIndex(*t, 0, Value::FromText(Name(0)), false, found));
    EXPECT_TRUE(file->ReadAt(*t, found, rows, &error)) << error;
    ASSERT_EQ(Answer::Answered, file->FindInIndex(*t, 0, Value::FromText(Name(599)), false, found));
    EXPECT_FALSE(file->ReadAt(*t, found, rows, &error));
    EXPECT_NE(std::string::npos, error.find("the file is damaged: an index names row")) << error;
    EXPECT_NE(std::string::npos, error.find("page " + std::to_string(pages.back()) + ")")) << error;
}

TEST(JetLazyRead, OneDamagedByteInAPageHeaderOrUsageMapFailsInsteadOfLosingRows) {
    const auto clean = Write({Indexed(600)});
    const std::uint32_t tdef = OpenFile(clean)->Find(u"api_const")->def.page;
    const std::uint32_t map = OpenFile(clean)->Find(u"api_const")->def.usedMap;
    const auto pages = DataPagesOf(clean, tdef);
    // The map row: its row-table entry gives its offset on its page.
    const std::size_t mapPage = (map >> 8) * kPage;
    const std::size_t mapRow = mapPage + ((clean[mapPage + 14 + 2 * (map & 0xFF)] |
                                           (clean[mapPage + 15 + 2 * (map & 0xFF)] << 8)) & 0x1FFF);
    ASSERT_EQ(0x00, clean[mapRow]);  // an inline bitmap
    struct Case {
        const char* what;
        std::size_t at;
        std::uint8_t value;
    } cases[] = {
        {"page type", pages[1] * kPage, 0x04},
        {"page owner", pages[1] * kPage + 4, static_cast<std::uint8_t>(tdef + 1)},
        {"usage map bit", mapRow + 5 + (pages[1] - clean[mapRow + 1]) / 8,
         static_cast<std::uint8_t>(clean[mapRow + 5 + (pages[1] - clean[mapRow + 1]) / 8] & ~(1u << ((pages[1] - clean[mapRow + 1]) % 8)))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto b = clean;
        ASSERT_NE(b[c.at], c.value);
        b[c.at] = c.value;
        std::string error;
        EXPECT_FALSE(Database::OpenBytes(b, &error));
        EXPECT_EQ(0u, error.find("the file is damaged: the table definition counts 600 rows")) << error;
        EXPECT_NE(std::string::npos, error.find("(table 'api_const', page " + std::to_string(tdef) + ")")) << error;
        auto file = OpenFile(b);
        std::vector<std::vector<Value>> rows;
        EXPECT_FALSE(file->ReadAll(*file->Find(u"api_const"), rows, &error));
        EXPECT_EQ(0u, error.find("the file is damaged")) << error;
    }
}

TEST(JetLazyRead, WideTablesOfTinyRowsRunOutOfBudgetNotMemory) {
    Table wide;
    wide.name = u"wide";
    for (int c = 0; c < 255; ++c) wide.columns.push_back({u"c" + Utf8ToUtf16(std::to_string(c)), ColumnType::Text, 20});
    const std::vector<Value> empty(255, Value::Null());
    wide.rows.assign(40, empty);
    // A few rows decode within the budget.
    std::string error;
    EXPECT_TRUE(Database::OpenBytes(Write({wide}), &error)) << error;
    wide.rows.assign(6000, empty);
    const auto bytes = Write({wide});
    const std::size_t limit = bytes.size() * DecodeBudget::kTimesFileSize + DecodeBudget::kFloor;
    ASSERT_GT(6000 * 255 * sizeof(Value), limit);
    EXPECT_FALSE(Database::OpenBytes(bytes, &error));
    EXPECT_EQ(0u, error.find("the file decodes into more than 8 times its size plus 4 MiB (" +
                             std::to_string(limit >> 20) + " MiB)"))
        << error;
    EXPECT_NE(std::string::npos, error.find("(table 'wide', page ")) << error;
    // Read one row at a time, the same file is no trouble.
    auto file = OpenFile(bytes);
    std::size_t seen = 0;
    EXPECT_TRUE(file->Scan(*file->Find(u"wide"), [&](std::uint32_t, std::vector<Value>& row) {
        seen += row.size() == 255 && row[254].IsNull();
        return true;
    }, &error)) << error;
    EXPECT_EQ(6000u, seen);
}

TEST(JetLazyRead, TwoHundredThousandRowsThroughEveryLevel) {
    const auto bytes = Write({Indexed(200000)});
    auto file = OpenFile(bytes);
    ASSERT_TRUE(file);
    const StoredTable* t = file->Find(u"api_const");
    std::size_t count = 0;
    ASSERT_TRUE(file->CountRows(*t, count, nullptr));
    EXPECT_EQ(200000u, count);
    std::vector<std::uint32_t> found;
    std::vector<std::vector<Value>> rows;
    for (std::size_t i = 0; i < 200000; i += (i < 199000 ? 4999 : 97)) {
        ASSERT_EQ(Answer::Answered, file->FindInIndex(*t, 0, Value::FromText(Name(i)), false, found));
        ASSERT_EQ(1u, found.size()) << i;
        ASSERT_TRUE(file->ReadAt(*t, found, rows, nullptr));
        EXPECT_EQ(Name(i), rows[0][0].text);
    }
    std::size_t scanned = 0;
    EXPECT_TRUE(file->Scan(*t, [&](std::uint32_t, std::vector<Value>&) { return ++scanned < 150000; }, nullptr));
    EXPECT_EQ(150000u, scanned);
}
