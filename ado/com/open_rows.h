#pragma once
// The rows of one opening of a record set, shared with the Fields and Field
// objects handed out for it; closing the record set empties it, after which
// those objects refuse to read.
#include <memory>

#include "ado/cursor.h"

namespace ado_com {

struct OpenRows {
    std::unique_ptr<ado::Cursor> cursor;  // null once closed
};
using SharedRows = std::shared_ptr<OpenRows>;

}  // namespace ado_com
