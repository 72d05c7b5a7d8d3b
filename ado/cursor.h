#pragma once
// The rows of one open record set and the current position, moved the way
// ADO moves it: BOF is the place before the first row, EOF the place after the
// last; moving further past either is refused, as is any move on an empty set
// except to BOF/EOF themselves.
//
// Over the rows sits a view: Filter keeps the rows that meet a criteria
// string (or a list of bookmarks), Sort orders them; Count, positions,
// pages, Find and GetString see the view. Bookmarks name rows of the result
// and stay valid through Filter, Sort and in clones.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ado/recordset_error.h"
#include "jetsql/query.h"

namespace jetsql {
struct BoundCondition;
}

namespace ado {

// A row of a result: its 1-based place in the result as run. 0 names no row.
using Bookmark = std::size_t;

// ADO's PositionEnum, for AbsolutePosition and AbsolutePage.
enum : long { kPositionUnknown = -1, kPositionBof = -2, kPositionEof = -3 };

// Where Find starts when no bookmark is given (ADO's adBookmarkCurrent, First, Last).
enum class FindStart { Current, First, Last };

// GetString's delimiters; ADO's defaults.
struct TextLayout {
    std::u16string columnDelimiter = u"\t";
    std::u16string rowDelimiter = u"\r";
    std::u16string nullExpression;
};

// A value's text for GetString; TextOf unless the caller has its own (a locale's).
using ValueText = std::function<std::u16string(const jet::Value&, const jetsql::ResultColumn&)>;

class Cursor {
public:
    explicit Cursor(jetsql::ResultSet rows);

    // A second cursor over the same rows (shared, not copied): the same Sort,
    // no Filter (as ADO's Clone), on the first row.
    Cursor Clone() const;

    // The rows run again (Requery): the Filter and Sort texts are applied to
    // them anew and the position is the first row. Fails, leaving the cursor
    // as it was, when they no longer apply.
    bool Requery(jetsql::ResultSet rows, RecordsetError* error);

    long Count() const { return long(view_.size()); }  // rows in the view
    bool Bof() const { return view_.empty() || position_ < 0; }
    bool Eof() const { return view_.empty() || position_ >= Count(); }
    bool HasCurrent() const { return !Bof() && !Eof(); }
    const std::vector<jetsql::ResultColumn>& Columns() const { return rows_->columns; }

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
    bool TakeRows(long maxRows, std::vector<const jetsql::Row*>* taken);

    // ---- bookmarks and positions ----
    Bookmark CurrentBookmark() const;  // 0 without a current row
    // False for 0, a bookmark of no row, or one of a row the filter hides.
    bool MoveToBookmark(Bookmark mark);
    // -1, 0, 1 as a comes before, is, or comes after b in the view; false
    // when either names no row of the view.
    bool CompareBookmarks(Bookmark a, Bookmark b, int* order) const;
    // 1-based place of the current row, or kPositionBof / kPositionEof
    // (kPositionUnknown on an empty view).
    long AbsolutePosition() const;
    bool SetAbsolutePosition(long position);  // 1..Count()

    // ---- pages ----
    long PageSize() const { return pageSize_; }
    bool SetPageSize(long size);  // at least 1; 10 to begin with
    long PageCount() const;       // pages the view fills (0 when empty)
    long AbsolutePage() const;    // page of the current row, or kPositionBof / kPositionEof / kPositionUnknown
    bool SetAbsolutePage(long page);  // to the first row of page 1..PageCount()

    // ---- filter, sort, find ----
    // Keeps the rows that meet criteria (ParseCriteria's form; empty: all
    // rows) and moves to the first. Faults: BadArgument (including values
    // that cannot be compared with the field), UnknownField; the view is
    // left as it was.
    bool SetFilter(std::u16string_view criteria, RecordsetError* error);
    // Keeps the rows the bookmarks name, in view order; BadArgument for a bookmark of no row.
    bool FilterBookmarks(const std::vector<Bookmark>& marks, RecordsetError* error);
    void ClearFilter();  // adFilterNone
    const std::u16string& FilterText() const { return filter_; }

    // "field [ASC|DESC], ..." (empty: the order the rows came in); the first
    // row after. Faults: BadArgument, UnknownField.
    bool SetSort(std::u16string_view keys, RecordsetError* error);
    const std::u16string& SortText() const { return sort_; }

    // One clause `field op value` searched from the start row (skip rows
    // past it first), forward or backward; a match becomes current, else the
    // cursor rests on EOF (forward) or BOF (backward). Faults: BadArgument
    // (criterion, start), UnknownField, NoCurrentRecord (from Current without
    // a current row).
    bool Find(std::u16string_view criterion, long skip, bool backward, FindStart start, RecordsetError* error);
    bool Find(std::u16string_view criterion, long skip, bool backward, Bookmark start, RecordsetError* error);

    // ---- text ----
    // Rows from the current one on (at most maxRows; -1: all) as text, each
    // value followed by the column delimiter but the last of a row, which is
    // followed by the row delimiter; the position after the last row taken.
    // NoCurrentRecord without a current row.
    bool GetString(long maxRows, const TextLayout& layout, std::u16string* out, RecordsetError* error,
                   const ValueText& text = {}) ;

private:
    Cursor(std::shared_ptr<const jetsql::ResultSet> rows, std::vector<std::size_t> order, std::u16string sort);
    bool BindCriteria(std::u16string_view criteria, bool single, jetsql::BoundCondition* out, RecordsetError* error) const;
    bool Search(std::u16string_view criterion, long skip, bool backward, long from, RecordsetError* error);
    void Show(std::vector<std::size_t> view);
    long PlaceOf(Bookmark mark) const;  // in the view; -1 when hidden or no row

    std::shared_ptr<const jetsql::ResultSet> rows_;
    std::vector<std::size_t> order_;  // every row, in Sort's order
    std::vector<std::size_t> view_;   // the rows Filter keeps, in that order
    std::u16string filter_, sort_;
    long position_ = 0;
    long pageSize_ = 10;
};

}  // namespace ado
