#include "ado/access_bytes.h"

#include <cstring>

namespace ado {

std::unique_ptr<DataSource> OpenAccessBytes(std::vector<std::uint8_t> bytes, std::string* error) {
    static const char kMagic[] = "Standard Jet DB";
    if (bytes.size() < 4 + sizeof kMagic - 1 || std::memcmp(bytes.data() + 4, kMagic, sizeof kMagic - 1) != 0) {
        *error = "Unrecognized database format: not an Access file.";
        return nullptr;
    }
    *error = "This Access file cannot be read yet.";
    return nullptr;
}

}  // namespace ado
