// Writes the catalog tables (header, constant, kind: every column type the
// engine compares, with indexes) as an Access file, for the script tests to
// read. Usage: ado_write_catalog PATH
#include <cstdio>
#include <string>

#include "tests/jetsql/sample_tables.h"
#include "tests/support/win_driver.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ado_write_catalog PATH\n");
        return 2;
    }
    const std::vector<std::uint8_t> bytes = jetsql_test::CatalogFile();
    if (bytes.empty() || !testsupport::WriteFileBytes(argv[1], std::string(bytes.begin(), bytes.end()))) {
        std::fprintf(stderr, "ado_write_catalog: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
