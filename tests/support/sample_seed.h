#pragma once
// The seed of a test's random sample: fixed unless asked (QALOMIR_SEED=N, or
// QALOMIR_SEED=random for a new one), so that every run answers alike, and
// printed so that a failing sample can be drawn again.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace testsupport {

inline unsigned SampleSeed() {
    const char* given = std::getenv("QALOMIR_SEED");
    const std::string word = given ? given : "303";
    const unsigned seed = word == "random" ? std::random_device{}() : static_cast<unsigned>(std::strtoul(word.c_str(), nullptr, 10));
    std::printf("seed %u (QALOMIR_SEED=%u repeats this sample)\n", seed, seed);
    return seed;
}

}  // namespace testsupport
