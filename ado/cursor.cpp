#include "ado/cursor.h"

#include <algorithm>
#include <numeric>

#include "jetsql/expression.h"
#include "jetsql/values.h"
#include "jet/utf.h"

namespace ado {
namespace {

bool Refuse(RecordsetError* error, RecordsetError why) {
    *error = std::move(why);
    return false;
}

bool Refuse(RecordsetError* error, RecordsetFault fault, std::string text) { return Refuse(error, {fault, std::move(text)}); }

std::vector<std::size_t> AllRows(std::size_t n) {
    std::vector<std::size_t> all(n);
    std::iota(all.begin(), all.end(), std::size_t(0));
    return all;
}

}  // namespace

Cursor::Cursor(jetsql::ResultSet rows)
    : rows_(std::make_shared<const jetsql::ResultSet>(std::move(rows))), order_(AllRows(rows_->rows.size())), view_(order_) {}

Cursor::Cursor(std::shared_ptr<const jetsql::ResultSet> rows, std::vector<std::size_t> order, std::u16string sort)
    : rows_(std::move(rows)), order_(std::move(order)), view_(order_), sort_(std::move(sort)) {}

Cursor Cursor::Clone() const { return Cursor(rows_, order_, sort_); }

bool Cursor::Requery(jetsql::ResultSet rows, RecordsetError* error) {
    Cursor fresh(std::move(rows));
    if (!fresh.SetSort(sort_, error) || !fresh.SetFilter(filter_, error)) return false;
    fresh.pageSize_ = pageSize_;
    *this = std::move(fresh);
    return true;
}

const jet::Value* Cursor::Value(std::size_t column) const {
    if (!HasCurrent() || column >= rows_->columns.size()) return nullptr;
    const jetsql::Row& row = rows_->rows[view_[std::size_t(position_)]];
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

bool Cursor::TakeRows(long maxRows, std::vector<const jetsql::Row*>* taken) {
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

// The criteria of Filter and Find bound to the record set's fields. ADO
// answers what the engine refuses in them as its own faults (CriteriaError).
bool Cursor::BindCriteria(std::u16string_view criteria, bool single, jetsql::BoundCondition* out,
                          RecordsetError* error) const {
    jetsql::Condition condition;
    jetsql::SqlError refused;
    if (!jetsql::ParseCriteria(criteria, &condition, &refused)) return Refuse(error, CriteriaError(std::move(refused)));
    if (single && (condition.kind == jetsql::Condition::Kind::And || condition.kind == jetsql::Condition::Kind::Or))
        return Refuse(error, RecordsetFault::BadArgument, "Find takes one criterion: no AND or OR.");
    jetsql::Scope scope;
    scope.fields = true;
    for (std::size_t i = 0; i < rows_->columns.size(); ++i) scope.columns.push_back({{}, rows_->columns[i], i, 0, i});
    if (jetsql::Bind({&scope, nullptr, nullptr, true}, condition, out, &refused)) return true;
    return Refuse(error, CriteriaError(std::move(refused)));
}

bool Cursor::SetFilter(std::u16string_view criteria, RecordsetError* error) {
    if (criteria.empty()) {
        ClearFilter();
        return true;
    }
    jetsql::BoundCondition condition;
    if (!BindCriteria(criteria, false, &condition, error)) return false;
    std::vector<std::size_t> view;
    for (std::size_t row : order_)
        if (jetsql::Evaluate(condition, rows_->rows[row]) == jetsql::Truth::True) view.push_back(row);
    Show(std::move(view));
    filter_ = std::u16string(criteria);
    return true;
}

bool Cursor::FilterBookmarks(const std::vector<Bookmark>& marks, RecordsetError* error) {
    std::vector<bool> kept(rows_->rows.size());
    for (Bookmark mark : marks) {
        if (mark == 0 || mark > kept.size()) return Refuse(error, RecordsetFault::BadArgument, "A bookmark names no row.");
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

namespace {

std::u16string_view Trimmed(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

// "field [ASC|DESC]" with the field bare or in brackets.
bool SortKeyOf(std::u16string_view text, std::u16string* field, bool* descending) {
    text = Trimmed(text);
    *descending = false;
    for (const std::u16string_view word : {std::u16string_view(u"DESC"), std::u16string_view(u"ASC")}) {
        const std::size_t n = word.size();
        if (text.size() > n && jetsql::JetTextEqual(text.substr(text.size() - n), word) &&
            (text[text.size() - n - 1] == u' ' || text[text.size() - n - 1] == u']')) {
            *descending = word.size() == 4;
            text = Trimmed(text.substr(0, text.size() - n));
            break;
        }
    }
    if (text.size() >= 2 && text.front() == u'[' && text.back() == u']') text = text.substr(1, text.size() - 2);
    *field = std::u16string(text);
    return !text.empty() && text.find_first_of(u"[]") == std::u16string_view::npos;
}

}  // namespace

bool Cursor::SetSort(std::u16string_view keys, RecordsetError* error) {
    std::vector<std::pair<std::size_t, bool>> bound;
    for (std::size_t start = 0; !Trimmed(keys).empty() && start <= keys.size();) {
        std::size_t comma = keys.find(u',', start);
        if (comma == std::u16string_view::npos) comma = keys.size();
        std::u16string field;
        bool descending = false;
        if (!SortKeyOf(keys.substr(start, comma - start), &field, &descending))
            return Refuse(error, RecordsetFault::BadArgument, "Malformed sort: \"" + jet::Utf16ToUtf8(keys) + "\" is not \"field [ASC|DESC], ...\".");
        std::size_t column = 0;
        while (column < rows_->columns.size() && !jetsql::JetTextEqual(rows_->columns[column].name, field)) ++column;
        if (column == rows_->columns.size())
            return Refuse(error, RecordsetFault::UnknownField, "The record set has no field '" + jet::Utf16ToUtf8(field) + "'.");
        bound.emplace_back(column, descending);
        start = comma + 1;
    }
    std::vector<std::size_t> order = AllRows(rows_->rows.size());
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        for (const auto& [column, descending] : bound) {
            const int c = jetsql::JetOrder(rows_->rows[a][column], rows_->rows[b][column], rows_->columns[column].type);
            if (c != 0) return descending ? c > 0 : c < 0;
        }
        return false;
    });
    std::vector<bool> shown(rows_->rows.size());
    for (std::size_t row : view_) shown[row] = true;
    std::vector<std::size_t> view;
    for (std::size_t row : order)
        if (shown[row]) view.push_back(row);
    order_ = std::move(order);
    sort_ = std::u16string(Trimmed(keys));
    Show(std::move(view));
    return true;
}

bool Cursor::Find(std::u16string_view criterion, long skip, bool backward, FindStart start, RecordsetError* error) {
    if (start == FindStart::Current && !HasCurrent())
        return Refuse(error, RecordsetFault::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted.");
    const long from = start == FindStart::Current ? position_ : (start == FindStart::First ? 0 : Count() - 1);
    return Search(criterion, skip, backward, from, error);
}

bool Cursor::Find(std::u16string_view criterion, long skip, bool backward, Bookmark start, RecordsetError* error) {
    const long from = PlaceOf(start);
    if (from < 0) return Refuse(error, RecordsetFault::BadArgument, "The start bookmark names no row of the record set.");
    return Search(criterion, skip, backward, from, error);
}

bool Cursor::Search(std::u16string_view criterion, long skip, bool backward, long from, RecordsetError* error) {
    jetsql::BoundCondition condition;
    if (!BindCriteria(criterion, true, &condition, error)) return false;
    long long at = (long long)from + (backward ? -(long long)skip : (long long)skip);
    if (backward) {
        for (at = std::min<long long>(at, Count() - 1); at >= 0; --at)
            if (jetsql::Evaluate(condition, rows_->rows[view_[std::size_t(at)]]) == jetsql::Truth::True) break;
        position_ = long(std::max<long long>(at, -1));
    } else {
        for (at = std::max<long long>(at, 0); at < Count(); ++at)
            if (jetsql::Evaluate(condition, rows_->rows[view_[std::size_t(at)]]) == jetsql::Truth::True) break;
        position_ = long(std::min<long long>(at, Count()));
    }
    return true;
}

// ---- text ----

bool Cursor::GetString(long maxRows, const TextLayout& layout, std::u16string* out, RecordsetError* error,
                       const ValueText& text) {
    if (!HasCurrent()) return Refuse(error, RecordsetFault::NoCurrentRecord, "Either BOF or EOF is True.");
    if (maxRows < -1) return Refuse(error, RecordsetFault::BadArgument, "The row count must be -1 or more.");
    std::vector<const jetsql::Row*> taken;
    TakeRows(maxRows, &taken);
    std::u16string result;
    for (const jetsql::Row* row : taken) {
        for (std::size_t c = 0; c < rows_->columns.size(); ++c) {
            const jet::Value& v = (*row)[c];
            if (v.IsNull()) result += layout.nullExpression;
            else result += text ? text(v, rows_->columns[c]) : jetsql::TextOf(v, rows_->columns[c].type);
            result += c + 1 < rows_->columns.size() ? layout.columnDelimiter : layout.rowDelimiter;
        }
    }
    *out = std::move(result);
    return true;
}

}  // namespace ado
