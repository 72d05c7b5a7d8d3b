#pragma once
// Index entry keys as Jet 4 writes them: per column a flag byte (0x7F for an
// ascending value, 0x00 for null) and the value's sortable form; a descending
// column stores the same bytes inverted. Texts use the General sort order of
// Access 2000-2003; only characters below U+0080 are supported (letters,
// digits and punctuation inline, the few "unprintable" ones such as '-' and
// '\'' in the trailer Jet gives them).
#include <vector>

#include "jet/bytes.h"
#include "jet/table.h"

namespace jet {

// False when a value (or a character of a text) has no supported key form.
bool AppendKeyValue(ColumnType type, const Value& value, ByteVec& key, bool ascending = true);

bool IndexableType(ColumnType type);

// The start that the key of every text beginning with prefix shares (the
// flag and the prefix's inline codes; characters that go to the trailer add
// nothing). False when prefix has no key form. Ascending text columns only.
bool AppendTextKeyPrefix(const std::u16string& prefix, ByteVec& key);

}  // namespace jet
