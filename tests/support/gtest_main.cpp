// The main of every GoogleTest program: as gtest_main, but a run in which
// nothing failed and something was skipped (GTEST_SKIP) ends with kSkipped,
// which CTest reports as skipped (SKIP_RETURN_CODE) rather than passed.
#include <gtest/gtest.h>

#include "tests/support/gtest_main.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    if (failed != 0) return failed;
    return testing::UnitTest::GetInstance()->skipped_test_count() > 0 ? qalomir_test::kSkipped : 0;
}
