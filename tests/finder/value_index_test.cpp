// The value index beside a database: its rows for a value at the edges of
// SameValue, the same answers as a walk of the table, and a walk whenever the
// file beside the database is not this database's index.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "finder/command.h"
#include "finder/value_index.h"
#include "jet/writer.h"
#include "tests/finder/sample_db.h"

using namespace finder;

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWhole(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class ValueIndexTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        indexed_ = ::testing::TempDir() + "finder_indexed.mdb";
        walked_ = ::testing::TempDir() + "finder_walked.mdb";  // no index beside it
        std::string error;
        ASSERT_TRUE(finder_test::WriteSampleDatabase(indexed_, &error)) << error;
        ASSERT_TRUE(finder_test::WriteSampleDatabase(walked_, &error)) << error;
        std::remove(ValueIndexPath(walked_).c_str());
        const auto file = ConstantsFile::Open(indexed_, &error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(WriteValueIndex(*file, ValueIndexPath(indexed_), &error)) << error;
        written_ = ReadWhole(ValueIndexPath(indexed_));
    }
    static void TearDownTestSuite() {
        for (const std::string& p : {indexed_, walked_, ValueIndexPath(indexed_)}) std::remove(p.c_str());
    }
    void TearDown() override { WriteWhole(ValueIndexPath(indexed_), written_); }

    static std::string Answer(const std::string& db, std::vector<std::string> args) {
        StringOutput out, err;
        const int status = RunFind(args, db, out, err);
        std::string text = std::to_string(status) + "\n" + out.text + err.text;
        std::string json;  // the path as JSON writes it
        for (char c : db) json += c == '\\' ? std::string("\\\\") : std::string(1, c);
        for (const std::string& path : {json, db})
            for (std::size_t at; (at = text.find(path)) != std::string::npos;) text.replace(at, path.size(), "DB");
        return text;
    }
    // The index's answer, beside the walk's.
    static void ExpectAsWalked(const std::vector<std::string>& args) {
        EXPECT_EQ(Answer(walked_, args), Answer(indexed_, args)) << args.back();
    }
    static std::unique_ptr<ValueIndex> OpenIndex(std::string* why) {
        std::string error;
        file_ = ConstantsFile::Open(indexed_, &error);
        return file_ ? ValueIndex::Open(ValueIndexPath(indexed_), *file_, why) : nullptr;
    }

    static std::string indexed_, walked_, written_;
    static std::unique_ptr<ConstantsFile> file_;
};
std::string ValueIndexTest::indexed_, ValueIndexTest::walked_, ValueIndexTest::written_;
std::unique_ptr<ConstantsFile> ValueIndexTest::file_;

TEST(ValueIndexPath, IsTheDatabasesNameWithIdx) {
    EXPECT_EQ("dist/API常量.idx", ValueIndexPath("dist/API常量.mdb"));
    EXPECT_EQ("C:\\x\\OLD.idx", ValueIndexPath("C:\\x\\OLD.MDB"));
    EXPECT_EQ("constants.accdb.idx", ValueIndexPath("constants.accdb"));
    EXPECT_EQ("mdb.idx", ValueIndexPath("mdb"));
}

TEST_F(ValueIndexTest, KeepsEachValueUnderItsBitsAndA32BitValueUnderItsLow32Too) {
    std::string why;
    const auto index = OpenIndex(&why);
    ASSERT_TRUE(index) << why;
    const auto rows = [&](std::uint64_t bits, Width width, bool win32 = false) {
        return index->RowsFor(Integer{bits, width}, win32).size();
    };
    EXPECT_EQ(1u, rows(0xFFFFFFFF80070005ull, Width::Int32));  // E_ACCESSDENIED, written 0x80070005
    EXPECT_EQ(1u, rows(0x80070005ull, Width::UInt32));         // the same 32 bits
    // A 64-bit value meets the 32-bit rows kept under the same bits; SameValue then tells them apart.
    EXPECT_EQ(1u, rows(0x80070005ull, Width::Int64));
    EXPECT_EQ(3u, rows(0xFFFFFFFFC0000005ull, Width::Int32));  // EXCEPTION_ and STATUS_ACCESS_VIOLATION (twice)
    EXPECT_EQ(1u, rows(0x0000000100000000ull, Width::Int64));  // ASC_REQ_MESSAGES
    // The 64 set bits of DB_INVALIDCOLUMN are also a 32-bit -1's.
    EXPECT_GE(rows(0xFFFFFFFFFFFFFFFFull, Width::Int32), 1u);
    EXPECT_EQ(1u, rows(0x80070005ull, Width::UInt32, true));  // winerror.h
    EXPECT_EQ(0u, rows(0xC0000005ull, Width::UInt32, true));  // ntstatus.h, winnt.h, minwinbase.h
    const auto violation = index->RowsFor(Integer{0xC0000005ull, Width::UInt32});
    ASSERT_EQ(3u, violation.size());
    EXPECT_EQ(1, std::count_if(violation.begin(), violation.end(), [](const ValueIndex::Row& r) { return r.alone; }));
}

TEST_F(ValueIndexTest, AnswersAsTheWalkDoes) {
    for (const char* value : {"0", "1", "-1", "4", "5", "0x40", "0xFFFFFFFF", "0xffffffffffffffff", "0x0000000100000000",
                              "4294967296", "0x80000000", "-2147483648", "0x7FFFFFFF", "0x80070005", "0x80004005",
                              "0xC0000005", "0x80000005", "0xD0000022", "0x1007", "0x104D", "0xCF0000", "123456789",
                              "0x8000000000000000", "18446744073709551615"})
        ExpectAsWalked({value});
    ExpectAsWalked({"--all", "0xC0000005"});
    ExpectAsWalked({"--prefix", "WS_", "0x02000000"});
    ExpectAsWalked({"--prefix", "WS_*X*", "0x02000000"});
    ExpectAsWalked({"--limit", "1", "0x40"});
    ExpectAsWalked({"--json", "0x80070005", "0x1007"});
    ExpectAsWalked({"0x10", "0x1007", "WM_CREATE"});
    ExpectAsWalked({"0x80070005LL"});  // 64 bits: E_ACCESSDENIED's 32 are another value
}

// An index without E_ACCESSDENIED's entries (its fingerprint kept) answers without it:
// the index, not a walk, answered.
TEST_F(ValueIndexTest, TheIndexIsWhatAnswers) {
    std::string error;
    ASSERT_TRUE(finder_test::WriteIndexWithout(indexed_, ValueIndexPath(indexed_), {0x80070005ull, 0xFFFFFFFF80070005ull},
                                               &error))
        << error;
    EXPECT_NE(std::string::npos, Answer(walked_, {"0x80070005"}).find("E_ACCESSDENIED"));
    EXPECT_EQ(std::string::npos, Answer(indexed_, {"0x80070005"}).find("E_ACCESSDENIED"));
}

TEST_F(ValueIndexTest, AnotherDatabasesIndexIsNotUsed) {
    const std::string other = ::testing::TempDir() + "finder_other.mdb";
    jet::Table fewer = finder_test::SampleConstants();
    fewer.rows.pop_back();
    std::string error, why;
    ASSERT_TRUE(jet::WriteDatabase(other, {fewer}, &error)) << error;
    const auto otherFile = ConstantsFile::Open(other, &error);
    ASSERT_TRUE(otherFile) << error;
    ASSERT_TRUE(WriteValueIndex(*otherFile, ValueIndexPath(indexed_), &error)) << error;
    EXPECT_FALSE(OpenIndex(&why));
    EXPECT_EQ("'" + ValueIndexPath(indexed_) + "' was made from another database", why);
    ExpectAsWalked({"0x80070005"});
    std::remove(other.c_str());
}

TEST_F(ValueIndexTest, ADamagedIndexIsNotUsed) {
    const std::string path = ValueIndexPath(indexed_);
    const struct {
        std::string bytes, why;
    } damaged[] = {
        {written_.substr(0, written_.size() - 1), "' is cut short or too long"},
        {written_ + "x", "' is cut short or too long"},
        {written_.substr(0, 31), "' is no value index"},
        {"qalomir-values0" + written_.substr(15), "' is no value index"},
        {std::string(), "' is no value index"},
    };
    for (const auto& d : damaged) {
        WriteWhole(path, d.bytes);
        std::string why;
        EXPECT_FALSE(OpenIndex(&why));
        EXPECT_EQ("'" + path + d.why, why) << d.bytes.size();
        ExpectAsWalked({"0xC0000005"});
    }
    // A count that would reach past the file's end.
    std::string huge = written_;
    huge[31] = '\x7F';
    WriteWhole(path, huge);
    std::string why;
    EXPECT_FALSE(OpenIndex(&why));
    EXPECT_EQ("'" + path + "' is cut short or too long", why);
}

TEST_F(ValueIndexTest, RowsTheFileDoesNotHoldLeaveTheAnswerToTheWalk) {
    // Every entry's pointer names page 0, the file's header: the right fingerprint, the wrong rows.
    std::string bytes = written_;
    for (std::size_t at = 32 + 8; at + 4 <= bytes.size(); at += 12) bytes.replace(at, 3, std::string(3, '\0'));
    WriteWhole(ValueIndexPath(indexed_), bytes);
    std::string why;
    ASSERT_TRUE(OpenIndex(&why)) << why;
    ExpectAsWalked({"0x80070005"});
    ExpectAsWalked({"0"});
}

TEST_F(ValueIndexTest, AnIndexThatCannotBeWrittenSaysWhere) {
    std::string error;
    const auto file = ConstantsFile::Open(indexed_, &error);
    ASSERT_TRUE(file) << error;
    const std::string nowhere = ::testing::TempDir() + "no-such-folder/x.idx";
    EXPECT_FALSE(WriteValueIndex(*file, nowhere, &error));
    EXPECT_EQ("cannot write '" + nowhere + "'", error);
}

}  // namespace
