// Writes the sample database for the tests that run qalomir-find as a program.
#include <cstdio>

#include "tests/finder/sample_db.h"

int main(int argc, char** argv) {
    std::string error;
    if (argc != 2 || !finder_test::WriteSampleDatabase(argv[1], &error)) {
        std::fprintf(stderr, "write_finder_sample: %s\n", argc != 2 ? "usage: write_finder_sample FILE" : error.c_str());
        return 2;
    }
    return 0;
}
