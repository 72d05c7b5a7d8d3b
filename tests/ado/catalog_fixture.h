#pragma once
// The catalog tables written as an Access file and opened once; each test
// reaches them through a counting source of its own, and reads results as
// text: rows joined by ',', values by '|', Null as "Null".
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ado/access_bytes.h"
#include "ado/query.h"
#include "jet/utf.h"
#include "counting_source.h"
#include "sample_tables.h"

namespace ado_test {

inline ado::DataSource& CatalogSource() {
    static std::unique_ptr<ado::DataSource> source = [] {
        std::string error;
        auto opened = ado::OpenAccessBytes(CatalogFile(), &error);
        EXPECT_TRUE(opened) << error;
        return opened;
    }();
    return *source;
}

inline std::string RowsText(const ado::ResultSet& rs) {
    std::string out;
    for (const ado::Row& row : rs.rows) {
        if (!out.empty()) out += ',';
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) out += '|';
            out += row[c].IsNull() ? "Null" : jet::Utf16ToUtf8(ado::TextOf(row[c], rs.columns[c].type));
        }
    }
    return out;
}

class CatalogTest : public ::testing::Test {
protected:
    CatalogTest() : source(CatalogSource()) {}

    // The rows a statement gives, as text; a refusal fails the test.
    std::string Rows(std::u16string_view sql, const ado::Parameters& parameters = {}) {
        ado::ResultSet rs;
        ado::SqlError error;
        EXPECT_TRUE(ado::RunSql(source, sql, parameters, &rs, &error)) << error.text;
        return RowsText(rs);
    }

    ado::ResultSet Result(std::u16string_view sql, const ado::Parameters& parameters = {}) {
        ado::ResultSet rs;
        ado::SqlError error;
        EXPECT_TRUE(ado::RunSql(source, sql, parameters, &rs, &error)) << error.text;
        return rs;
    }

    ado::SqlError Refusal(std::u16string_view sql, const ado::Parameters& parameters = {}) {
        ado::ResultSet rs;
        ado::SqlError error;
        EXPECT_FALSE(ado::RunSql(source, sql, parameters, &rs, &error)) << RowsText(rs);
        return error;
    }

    CountingSource source;
};

}  // namespace ado_test
