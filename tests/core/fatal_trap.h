#pragma once
// Turns FatalError into an exception for the duration of a test.
#include <stdexcept>

#include "core/fatal_error.h"

using namespace core;

struct FatalRaised {
    int number;
    Text message;
};

class FatalTrap {
public:
    FatalTrap() : previous_(SetFatalHandler(&Throw)) {}
    ~FatalTrap() { SetFatalHandler(previous_); }
    FatalTrap(const FatalTrap&) = delete;
    FatalTrap& operator=(const FatalTrap&) = delete;

private:
    static void Throw(int number, const Text& message) { throw FatalRaised{number, message}; }
    FatalHandler previous_;
};
