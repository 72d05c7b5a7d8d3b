#pragma once
// The rows of one open record set and the current position, moved the way
// ADO moves it: BOF is the place before the first row, EOF the place after the
// last; moving further past either is refused, as is any move on an empty set
// except to BOF/EOF themselves.
#include <cstddef>
#include <vector>

#include "ado/query.h"

namespace ado {

class Cursor {
public:
    explicit Cursor(ResultSet rows);

    long Count() const { return long(rows_.rows.size()); }
    bool Bof() const { return rows_.rows.empty() || position_ < 0; }
    bool Eof() const { return rows_.rows.empty() || position_ >= Count(); }
    bool HasCurrent() const { return !Bof() && !Eof(); }
    const std::vector<jet::Column>& Columns() const { return rows_.columns; }

    // The current row's value in that column, or null without a current row
    // or for a column out of range.
    const jet::Value* Value(std::size_t column) const;

    // Each returns false, leaving the position as it was, when the move is refused.
    bool MoveNext();
    bool MovePrevious();
    bool MoveFirst();
    bool MoveLast();
    bool Move(long offset);

    // Rows from the current one on, at most maxRows of them (-1: all), leaving
    // the position after the last one taken. Refused without a current row.
    bool TakeRows(long maxRows, std::vector<const Row*>* taken);

private:
    ResultSet rows_;
    long position_ = 0;
};

}  // namespace ado
