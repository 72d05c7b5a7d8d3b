// Hosts other than Windows have no message tables for Windows codes.
#include "finder/system_message.h"

namespace finder {

std::string SystemMessage(const CodeReading&) { return std::string(); }

}  // namespace finder
