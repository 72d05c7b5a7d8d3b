#pragma once
// The system's own text for an error code: FormatMessage on Windows (and under
// Wine), nothing on other hosts.
#include <string>

#include "finder/error_code.h"

namespace finder {

// UTF-8, on one line; empty when the system has no text for it.
std::string SystemMessage(const CodeReading& reading);

}  // namespace finder
