// Hosts other than Windows have no message tables for Windows codes.
#include "lookup/system_message.h"

namespace lookup {

std::string SystemMessage(const CodeReading&) { return std::string(); }

}  // namespace lookup
