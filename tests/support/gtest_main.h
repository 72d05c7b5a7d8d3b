#pragma once
// The exit status of a GoogleTest program of which nothing failed and
// something was skipped; cmake/QalomirTesting.cmake gives it to CTest as
// SKIP_RETURN_CODE (77, as Automake's tests use it).
namespace qalomir_test {

constexpr int kSkipped = 77;

}  // namespace qalomir_test
