#include "ado/access_bytes.h"

#include <gtest/gtest.h>

#include "ado/query.h"
#include "jet/writer.h"
#include "sample_tables.h"

namespace {

std::vector<std::uint8_t> SampleFile() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(jet::WriteDatabase({ado_test::ApiConstTable()}, bytes, &error)) << error;
    return bytes;
}

}  // namespace

TEST(OpenAccessBytes, AnswersTheProgramsQueryFromAWrittenFile) {
    std::string error;
    auto source = ado::OpenAccessBytes(SampleFile(), &error);
    ASSERT_TRUE(source) << error;
    ado::ResultSet rs;
    ASSERT_TRUE(ado::RunSql(*source, u"select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'", &rs, &error))
        << error;
    ASSERT_EQ(rs.rows.size(), 2u);
    EXPECT_EQ(rs.rows[0][0].text, u"0001");
    EXPECT_EQ(rs.rows[0][1].text, u"窗口创建");
    EXPECT_EQ(rs.rows[1][1].text, u"lower-case twin");
    ASSERT_TRUE(ado::RunSql(*source, u"select * from API_CONST where [宏或常量名]='WS_OVERLAPPEDWINDOW'", &rs, &error));
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(rs.rows[0][1].text, u"13565952");
    EXPECT_TRUE(rs.rows[0][2].IsNull());
    EXPECT_EQ(rs.rows[0][3].integer, 2);
    ASSERT_TRUE(ado::RunSql(*source, u"select 宏或常量名 from api_const", &rs, &error));
    EXPECT_EQ(rs.rows.size(), 5u);
    EXPECT_FALSE(ado::RunSql(*source, u"select * from MSysNothing", &rs, &error));
}

TEST(OpenAccessBytes, RefusesWhatIsNotADatabase) {
    std::vector<std::uint8_t> file = SampleFile();
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"text", std::vector<std::uint8_t>(4096, 'x')},
        {"one page", std::vector<std::uint8_t>(file.begin(), file.begin() + 4096)},
        {"half a page", std::vector<std::uint8_t>(file.begin(), file.begin() + 2048)},
    };
    for (auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ado::OpenAccessBytes(c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}
