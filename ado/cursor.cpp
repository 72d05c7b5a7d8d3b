#include "ado/cursor.h"

namespace ado {

Cursor::Cursor(ResultSet rows) : rows_(std::move(rows)) {}

const jet::Value* Cursor::Value(std::size_t column) const {
    if (!HasCurrent() || column >= rows_.columns.size()) return nullptr;
    const Row& row = rows_.rows[std::size_t(position_)];
    return column < row.size() ? &row[column] : nullptr;
}

bool Cursor::MoveNext() {
    if (Eof()) return false;
    ++position_;
    return true;
}

bool Cursor::MovePrevious() {
    if (Bof()) return false;
    --position_;
    return true;
}

bool Cursor::MoveFirst() {
    if (rows_.rows.empty()) return false;
    position_ = 0;
    return true;
}

bool Cursor::MoveLast() {
    if (rows_.rows.empty()) return false;
    position_ = Count() - 1;
    return true;
}

bool Cursor::Move(long offset) {
    if (offset == 0) return HasCurrent();
    if ((offset > 0 && Eof()) || (offset < 0 && Bof())) return false;
    long long target = (long long)position_ + offset;
    if (target < 0) target = -1;
    if (target > Count()) target = Count();
    position_ = long(target);
    return true;
}

bool Cursor::TakeRows(long maxRows, std::vector<const Row*>* taken) {
    if (!HasCurrent() || maxRows < -1) return false;
    while (!Eof() && (maxRows == -1 || long(taken->size()) < maxRows)) taken->push_back(&rows_.rows[std::size_t(position_++)]);
    return true;
}

}  // namespace ado
