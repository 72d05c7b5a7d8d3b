#pragma once
// The rows of one opening of a record set, shared with the Field objects handed
// out for it; closing the record set empties it, after which those objects
// refuse to read. The record set's Fields collection follows the record set
// from one opening to the next through a RowsSlot.
#include <memory>

#include "ado/cursor.h"

namespace ado_com {

struct OpenRows {
    std::unique_ptr<ado::Cursor> cursor;  // null once closed
};
using SharedRows = std::shared_ptr<OpenRows>;

struct RowsSlot {
    SharedRows current = std::make_shared<OpenRows>();
};
using SharedSlot = std::shared_ptr<RowsSlot>;

}  // namespace ado_com
