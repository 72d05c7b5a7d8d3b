#include "ado/cursor.h"

#include <algorithm>
#include <numeric>

#include "ado/utf8.h"
#include "ado/values.h"

namespace ado {
namespace {

bool Refuse(SqlError* error, SqlFault fault, std::string text) {
    *error = {fault, std::move(text)};
    return false;
}

std::vector<std::size_t> AllRows(std::size_t n) {
    std::vector<std::size_t> all(n);
    std::iota(all.begin(), all.end(), std::size_t(0));
    return all;
}

}  // namespace

Cursor::Cursor(ResultSet rows)
    : rows_(std::make_shared<const ResultSet>(std::move(rows))), order_(AllRows(rows_->rows.size())), view_(order_) {}

Cursor::Cursor(std::shared_ptr<const ResultSet> rows, std::vector<std::size_t> order, std::u16string sort)
    : rows_(std::move(rows)), order_(std::move(order)), view_(order_), sort_(std::move(sort)) {}

Cursor Cursor::Clone() const { return Cursor(rows_, order_, sort_); }

bool Cursor::Requery(ResultSet rows, SqlError* error) {
    Cursor fresh(std::move(rows));
    if (!fresh.SetSort(sort_, error) || !fresh.SetFilter(filter_, error)) return false;
    fresh.pageSize_ = pageSize_;
    *this = std::move(fresh);
    return true;
}

const jet::Value* Cursor::Value(std::size_t column) const {
    if (!HasCurrent() || column >= rows_->columns.size()) return nullptr;
    const Row& row = rows_->rows[view_[std::size_t(position_)]];
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
    if (view_.empty()) return false;
    position_ = 0;
    return true;
}

bool Cursor::MoveLast() {
    if (view_.empty()) return false;
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
    while (!Eof() && (maxRows == -1 || long(taken->size()) < maxRows))
        taken->push_back(&rows_->rows[view_[std::size_t(position_++)]]);
    return true;
}

// ---- bookmarks and positions ----

Bookmark Cursor::CurrentBookmark() const { return HasCurrent() ? view_[std::size_t(position_)] + 1 : 0; }

long Cursor::PlaceOf(Bookmark mark) const {
    if (mark == 0 || mark > rows_->rows.size()) return -1;
    auto at = std::find(view_.begin(), view_.end(), mark - 1);
    return at == view_.end() ? -1 : long(at - view_.begin());
}

bool Cursor::MoveToBookmark(Bookmark mark) {
    const long place = PlaceOf(mark);
    if (place < 0) return false;
    position_ = place;
    return true;
}

bool Cursor::CompareBookmarks(Bookmark a, Bookmark b, int* order) const {
    const long x = PlaceOf(a), y = PlaceOf(b);
    if (x < 0 || y < 0) return false;
    *order = x < y ? -1 : (x > y ? 1 : 0);
    return true;
}

long Cursor::AbsolutePosition() const {
    if (view_.empty()) return kPositionUnknown;
    if (Bof()) return kPositionBof;
    if (Eof()) return kPositionEof;
    return position_ + 1;
}

bool Cursor::SetAbsolutePosition(long position) {
    if (position < 1 || position > Count()) return false;
    position_ = position - 1;
    return true;
}

// ---- pages ----

bool Cursor::SetPageSize(long size) {
    if (size < 1) return false;
    pageSize_ = size;
    return true;
}

long Cursor::PageCount() const { return (Count() + pageSize_ - 1) / pageSize_; }

long Cursor::AbsolutePage() const {
    const long position = AbsolutePosition();
    return position > 0 ? (position - 1) / pageSize_ + 1 : position;
}

bool Cursor::SetAbsolutePage(long page) {
    if (page < 1 || page > PageCount()) return false;
    position_ = (page - 1) * pageSize_;
    return true;
}

// ---- filter, sort, find ----

void Cursor::Show(std::vector<std::size_t> view) {
    view_ = std::move(view);
    position_ = 0;
}

bool Cursor::SetFilter(std::u16string_view criteria, SqlError* error) {
    if (criteria.empty()) {
        ClearFilter();
        return true;
    }
    return Refuse(error, SqlFault::Unsupported, "Filter criteria are not answered yet.");
}

bool Cursor::FilterBookmarks(const std::vector<Bookmark>& marks, SqlError* error) {
    std::vector<bool> kept(rows_->rows.size());
    for (Bookmark mark : marks) {
        if (mark == 0 || mark > kept.size()) return Refuse(error, SqlFault::BadArgument, "A bookmark names no row.");
        kept[mark - 1] = true;
    }
    std::vector<std::size_t> view;
    for (std::size_t row : order_)
        if (kept[row]) view.push_back(row);
    Show(std::move(view));
    filter_.clear();
    return true;
}

void Cursor::ClearFilter() {
    filter_.clear();
    Show(order_);
}

bool Cursor::SetSort(std::u16string_view keys, SqlError* error) {
    if (keys.empty()) {
        order_ = AllRows(rows_->rows.size());
        sort_.clear();
    } else {
        return Refuse(error, SqlFault::Unsupported, "Sort is not answered yet.");
    }
    std::vector<std::size_t> view;
    std::vector<bool> shown(rows_->rows.size());
    for (std::size_t row : view_) shown[row] = true;
    for (std::size_t row : order_)
        if (shown[row]) view.push_back(row);
    Show(std::move(view));
    return true;
}

bool Cursor::Find(std::u16string_view, long, bool, FindStart, SqlError* error) {
    return Refuse(error, SqlFault::Unsupported, "Find is not answered yet.");
}

bool Cursor::Find(std::u16string_view, long, bool, Bookmark, SqlError* error) {
    return Refuse(error, SqlFault::Unsupported, "Find is not answered yet.");
}

bool Cursor::Search(std::u16string_view, long, bool, long, SqlError* error) {
    return Refuse(error, SqlFault::Unsupported, "Find is not answered yet.");
}

// ---- text ----

bool Cursor::GetString(long maxRows, const TextLayout& layout, std::u16string* out, SqlError* error,
                       const ValueText& text) {
    if (!HasCurrent()) return Refuse(error, SqlFault::NoCurrentRecord, "Either BOF or EOF is True.");
    if (maxRows < -1) return Refuse(error, SqlFault::BadArgument, "The row count must be -1 or more.");
    std::vector<const Row*> taken;
    TakeRows(maxRows, &taken);
    std::u16string result;
    for (const Row* row : taken) {
        for (std::size_t c = 0; c < rows_->columns.size(); ++c) {
            const jet::Value& v = (*row)[c];
            if (v.IsNull()) result += layout.nullExpression;
            else result += text ? text(v, rows_->columns[c]) : TextOf(v, rows_->columns[c].type);
            result += c + 1 < rows_->columns.size() ? layout.columnDelimiter : layout.rowDelimiter;
        }
    }
    *out = std::move(result);
    return true;
}

}  // namespace ado
