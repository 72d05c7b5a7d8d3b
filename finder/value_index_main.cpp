// qalomir-value-index DATABASE [INDEX]: writes the value index of a database's
// api_const (beside it, as API常量.idx, unless INDEX names another file). The
// build runs it each time it writes the database.
#include <cstdio>
#include <string>

#include "finder/constants_file.h"
#include "finder/value_index.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: qalomir-value-index DATABASE [INDEX]\n");
        return 2;
    }
    std::string error;
    const std::unique_ptr<finder::ConstantsFile> file = finder::ConstantsFile::Open(argv[1], &error);
    const std::string path = argc == 3 ? argv[2] : finder::ValueIndexPath(argv[1]);
    if (!file || !finder::WriteValueIndex(*file, path, &error)) {
        std::fprintf(stderr, "qalomir-value-index: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
