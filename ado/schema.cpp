#include "ado/schema.h"

namespace ado {

bool OpenSchema(DataSource&, Schema, const std::vector<jet::Value>&, ResultSet*, SqlError* error) {
    *error = {SqlFault::Unsupported, "Schema rowsets are not built yet."};
    return false;
}

}  // namespace ado
