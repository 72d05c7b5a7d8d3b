#pragma once
// Why a record set (or a schema rowset) refused an operation: ADO's own
// faults, apart from the engine's refusals of a statement (jetsql::SqlFault).
// The COM layer raises each with one HRESULT (README.md, "How it fails").
#include <string>

#include "jetsql/sql.h"

namespace ado {

enum class RecordsetFault {
    BadArgument,      // a malformed Filter, Find or Sort text, a value it cannot compare,
                      // a bookmark, position or page out of range, a bad OpenSchema restriction
    UnknownField,     // Filter, Find or Sort names no field of the record set
    NoCurrentRecord,  // Find or GetString with no current row to start from
};

struct RecordsetError {
    RecordsetFault fault = RecordsetFault::BadArgument;
    std::string text;
};

// The engine's refusal of a Filter, Find or Sort text as ADO reports it: a
// name of no field is UnknownField, anything else (malformed, a value that
// cannot be compared with its field) BadArgument; the engine's text stays.
inline RecordsetError CriteriaError(jetsql::SqlError engine) {
    const RecordsetFault fault = engine.fault == jetsql::SqlFault::UnknownColumn ? RecordsetFault::UnknownField
                                                                                 : RecordsetFault::BadArgument;
    return {fault, std::move(engine.text)};
}

}  // namespace ado
