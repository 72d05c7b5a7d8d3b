// Damaged files fail with a reason; they never crash the reader or make it loop.
#include <gtest/gtest.h>

#include <cstring>

#include "jet/bytes.h"
#include "jet/format.h"
#include "tests/support/jet_reader.h"
#include "jet/writer.h"
#include "sample_tables.h"

using namespace jet;
using namespace jet::format;

namespace {

std::vector<std::uint8_t> Sample() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    WriteOptions options;
    options.created = 45000.0;
    Table memo;
    memo.name = u"memo";
    memo.columns = {{u"m", ColumnType::Memo}};
    memo.rows.push_back({Value::FromText(std::u16string(3000, u'长'))});  // chained long value
    EXPECT_TRUE(WriteDatabase({jet_test::ApiConstTable(300), jet_test::MixedTable(u"mixed", 12, 5), memo}, bytes,
                              &error, options))
        << error;
    return bytes;
}

std::string OpenError(std::vector<std::uint8_t> bytes) {
    std::string error;
    auto db = Database::OpenBytes(std::move(bytes), &error);
    EXPECT_FALSE(db);
    return error;
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t v = 0;
    EXPECT_TRUE(ByteView(b.data(), b.size()).U32(at, v)) << at;
    return v;
}
std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint16_t v = 0;
    EXPECT_TRUE(ByteView(b.data(), b.size()).U16(at, v)) << at;
    return v;
}

// Where row r of the data page at byte `at` starts.
std::size_t RowAt(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t r) {
    return at + (Get16(b, at + kDataRowTable + 2 * r) & kRowOffsetMask);
}

constexpr std::size_t kPage = kPageSize;
constexpr std::size_t kCatalog = kCatalogPage * kPageSize;

}  // namespace

TEST(JetDamagedInput, EmptyShortAndForeignFiles) {
    EXPECT_EQ("the file is empty", OpenError({}));
    EXPECT_EQ("the file is truncated: shorter than one page", OpenError(std::vector<std::uint8_t>(100, 0)));
    EXPECT_EQ("not a Jet database: signature missing", OpenError(std::vector<std::uint8_t>(kPage * 3, 0)));
    auto b = Sample();
    b[kVersionOffset] = 0;  // Jet 3
    EXPECT_EQ("not a Jet 4 (Access 2000-2003) database", OpenError(b));
    b = Sample();
    b.resize(b.size() - 100);
    EXPECT_EQ("the file is truncated: it ends inside a page", OpenError(b));
}

TEST(JetDamagedInput, AccessTwoThousandSevenAndLaterFilesAreNamedAsSuch) {
    // The ACE header of every later version: 2007, 2010, 2016 and 2019.
    for (std::uint8_t version : {0x02, 0x03, 0x05, 0x06}) {
        SCOPED_TRACE(version);
        std::vector<std::uint8_t> b(kPage * 3, 0);
        b[1] = 0x01;
        std::memcpy(&b[kSignatureOffset], kAceSignature, sizeof kAceSignature);
        b[kVersionOffset] = version;
        EXPECT_EQ("Access 2007 and later files (.accdb, ACE) are not supported", OpenError(b));
        b.resize(kPage + 100);  // whatever else is wrong with it
        EXPECT_EQ("Access 2007 and later files (.accdb, ACE) are not supported", OpenError(b));
    }
    auto b = Sample();
    std::memcpy(&b[kSignatureOffset], "Standard ACE DX", sizeof kAceSignature);
    EXPECT_EQ("not a Jet database: signature missing", OpenError(b));
}

TEST(JetDamagedInput, TruncatedAtEveryPageBoundary) {
    const auto full = Sample();
    for (std::size_t pages = 1; pages < full.size() / kPage; ++pages) {
        SCOPED_TRACE(pages);
        std::vector<std::uint8_t> b(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(pages * kPage));
        std::string error;
        auto db = Database::OpenBytes(b, &error);
        EXPECT_FALSE(db);
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(Database::OpenBytes(full, nullptr));
}

TEST(JetDamagedInput, BrokenStructuresNameWhatIsWrong) {
    auto b = Sample();
    b[kCatalog] = kPageData;
    EXPECT_EQ("table definition: page 2 is not a table definition (page 2)", OpenError(b));
    b = Sample();
    PutU32(b, kCatalog + kTdefNextPage, kCatalogPage);  // the definition continues on itself
    EXPECT_EQ("table definition: continuation pages form a loop (page 2)", OpenError(b));
    b = Sample();
    PutU32(b, kCatalog + kTdefUsedPages, 0x7FFFFF00);  // usage map beyond the file
    EXPECT_EQ("usage map missing (table 'MSysObjects', page 2)", OpenError(b));
    b = Sample();
    PutU16(b, kCatalog + kTdefColumns, 0x0FFF);  // column count far past what Jet allows
    EXPECT_EQ("table definition: 4095 columns, where Jet allows 1 to 255 (page 2)", OpenError(b));
    PutU16(b, kCatalog + kTdefColumns, 0x00FF);  // allowed, but far past the definition
    EXPECT_NE(std::string::npos, OpenError(b).find("run past the end"));
}

TEST(JetDamagedInput, LongValueChainLoopIsCaught) {
    auto b = Sample();
    // The memo table is the last user table; its row's long-value field points
    // to a chain whose first link is rewritten to point to itself.
    auto db = Database::OpenBytes(b, nullptr);
    ASSERT_TRUE(db);
    bool patched = false;
    for (std::size_t p = b.size() / kPage; p-- > 3 && !patched;) {
        const std::size_t at = p * kPage;
        if (b[at] != kPageData || std::memcmp(&b[at + kDataOwner], kLongValueTag, 4) != 0) continue;
        const std::size_t row = RowAt(b, at, 0);
        if (Get32(b, row) == 0) continue;  // last link
        PutU32(b, row, static_cast<std::uint32_t>(p << 8));
        patched = true;
    }
    ASSERT_TRUE(patched);
    EXPECT_NE(std::string::npos, OpenError(b).find("long value chain broken"));
}

TEST(JetDamagedInput, CatalogNamingOneDefinitionTwiceIsRefused) {
    auto b = Sample();
    auto db = Database::OpenBytes(b, nullptr);
    ASSERT_TRUE(db);
    // Point the catalog row of MSysACEs (page 3) at the page of MSysQueries (page 4):
    // the Id is a fixed column right after the column count of each catalog row.
    bool patched = false;
    for (std::size_t p = 3; p < b.size() / kPage && !patched; ++p) {
        const std::size_t at = p * kPage;
        if (b[at] != kPageData || Get32(b, at + kDataOwner) != kCatalogPage) continue;
        const std::size_t rows = Get16(b, at + kDataRowCount);
        for (std::size_t r = 0; r < rows && !patched; ++r) {
            const std::size_t row = RowAt(b, at, r);
            if (Get32(b, row + kRowFixedStart) == 3) {
                PutU32(b, row + kRowFixedStart, 4);
                patched = true;
            }
        }
    }
    ASSERT_TRUE(patched);
    EXPECT_EQ("the catalog names the definition at page 4 twice", OpenError(b));
}

TEST(JetDamagedInput, SharedLongValuesCannotExhaustMemory) {
    Table t;
    t.name = u"memo";
    t.columns = {{u"m", ColumnType::Memo}};
    t.rows.push_back({Value::FromText(std::u16string(100000, u'长'))});
    for (int i = 0; i < 2000; ++i) t.rows.push_back({Value::FromText(u"short")});
    std::vector<std::uint8_t> b;
    std::string error;
    ASSERT_TRUE(WriteDatabase({t}, b, &error)) << error;
    ASSERT_TRUE(Database::OpenBytes(b, &error)) << error;
    // Every row's long-value field is made to name the 200 kB chain of row 0.
    constexpr std::uint32_t kTdef = 7;  // after the five system tables
    std::vector<std::uint8_t> field;
    int patched = 0;
    for (std::size_t p = 3; p < b.size() / kPage; ++p) {
        const std::size_t at = p * kPage;
        if (b[at] != kPageData || Get32(b, at + kDataOwner) != kTdef) continue;
        const std::size_t rows = Get16(b, at + kDataRowCount);
        for (std::size_t r = 0; r < rows; ++r) {
            // The memo is the row's only column: its long-value field starts the fixed part.
            const auto field_at = b.begin() + static_cast<std::ptrdiff_t>(RowAt(b, at, r) + kRowFixedStart);
            if (field.empty()) {
                field.assign(field_at, field_at + static_cast<std::ptrdiff_t>(kLongValueFieldSize));
                continue;
            }
            std::copy(field.begin(), field.end(), field_at);
            ++patched;
        }
    }
    ASSERT_EQ(2000, patched);
    EXPECT_NE(std::string::npos, OpenError(b).find("share storage")) << OpenError(b);
}

TEST(JetDamagedInput, RandomBitFlipsNeverCrash) {
    const auto full = Sample();
    unsigned x = 12345;
    const auto next = [&x]() { x = x * 1103515245u + 12345u; return x >> 4; };
    int opened = 0, refused = 0;
    for (int round = 0; round < 600; ++round) {
        auto b = full;
        const int flips = 1 + static_cast<int>(next() % 8);
        for (int f = 0; f < flips; ++f) {
            // Mostly the structural pages at the front, where damage matters most.
            const std::size_t span = next() % 2 ? 8 * kPage : b.size();
            b[next() % span] ^= static_cast<std::uint8_t>(1u << (next() % 8));
        }
        std::string error;
        auto db = Database::OpenBytes(std::move(b), &error);
        if (db) {
            ++opened;
            for (const auto& name : db->TableNames()) {
                const Table* t = db->FindTable(name);
                ASSERT_TRUE(t);
                if (!t->columns.empty()) db->FindRowsEqual(*t, 0, Value::FromText(u"NAME_1"));
            }
        } else {
            ++refused;
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(opened, 0);
}
