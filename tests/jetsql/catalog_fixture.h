#pragma once
// The catalog tables written as an Access file and opened once; each test
// reaches them through a counting source of its own, and reads results as
// text: rows joined by ',', values by '|', Null as "Null".
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "jetsql/access_bytes.h"
#include "jetsql/query.h"
#include "jet/utf.h"
#include "counting_source.h"
#include "sample_tables.h"

namespace jetsql_test {

inline jetsql::DataSource& CatalogSource() {
    static std::unique_ptr<jetsql::DataSource> source = [] {
        std::string error;
        auto opened = jetsql::OpenAccessBytes(CatalogFile(), &error);
        EXPECT_TRUE(opened) << error;
        return opened;
    }();
    return *source;
}

inline std::string RowsText(const jetsql::ResultSet& rs) {
    std::string out;
    for (const jetsql::Row& row : rs.rows) {
        if (!out.empty()) out += ',';
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) out += '|';
            out += row[c].IsNull() ? "Null" : jet::Utf16ToUtf8(jetsql::TextOf(row[c], rs.columns[c].type));
        }
    }
    return out;
}

class CatalogTest : public ::testing::Test {
protected:
    CatalogTest() : source(CatalogSource()) {}

    // The rows a statement gives, as text; a refusal fails the test.
    std::string Rows(std::u16string_view sql, const jetsql::Parameters& parameters = {}) {
        jetsql::ResultSet rs;
        jetsql::SqlError error;
        EXPECT_TRUE(jetsql::RunSql(source, sql, parameters, &rs, &error)) << error.text;
        return RowsText(rs);
    }

    jetsql::ResultSet Result(std::u16string_view sql, const jetsql::Parameters& parameters = {}) {
        jetsql::ResultSet rs;
        jetsql::SqlError error;
        EXPECT_TRUE(jetsql::RunSql(source, sql, parameters, &rs, &error)) << error.text;
        return rs;
    }

    jetsql::SqlError Refusal(std::u16string_view sql, const jetsql::Parameters& parameters = {}) {
        jetsql::ResultSet rs;
        jetsql::SqlError error;
        EXPECT_FALSE(jetsql::RunSql(source, sql, parameters, &rs, &error)) << RowsText(rs);
        return error;
    }

    CountingSource source;
};

}  // namespace jetsql_test
