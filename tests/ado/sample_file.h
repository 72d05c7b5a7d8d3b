#pragma once
// The sample table written as an Access file at path (an ANSI path).
#include <string>

#include "jet/writer.h"
#include "tests/jetsql/sample_tables.h"
#include "tests/support/win_driver.h"

namespace ado_test {

inline bool WriteSampleDatabase(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!jet::WriteDatabase({jetsql_test::ApiConstTable()}, bytes, &error)) return false;
    return testsupport::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace ado_test
