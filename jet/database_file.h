#pragma once
// An open Jet 4 (Access 2000-2003) file, read on demand: opening reads the
// header, the catalog and the table definitions; rows are decoded only when a
// read asks for them, and an equality lookup on a column with an index of its
// own descends the file's index to the matching rows. Damaged files fail with
// a reason that names the table and page, never crash or read past the end.
// Not safe to use from several threads at once.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/index_pages.h"
#include "jet/page_source.h"
#include "jet/table_reader.h"
#include "jet/tdef_reader.h"
#include "jet/text_match.h"

namespace jet {

struct StoredTable {
    std::u16string name;
    bool user = false;  // not a system table
    TableDef def;
    std::unique_ptr<TableRows> rows;
    mutable bool located = false;  // rows counted against the stored count
    mutable IndexNodeCache indexNodes;
};

class DatabaseFile {
public:
    // nullptr on failure, with the reason in *error when error is not null.
    static std::unique_ptr<DatabaseFile> Open(PageSource source, std::string* error);

    // Every table read, system ones included, in catalog order.
    const std::vector<std::unique_ptr<StoredTable>>& Tables() const { return tables_; }

    // By name, compared as Jet compares names; nullptr when there is none.
    const StoredTable* Find(const std::u16string& name) const;

    // How many rows the table holds: its stored count, once checked against its pages.
    bool CountRows(const StoredTable& table, std::size_t& count, std::string* error) const;

    // Every row of table in stored order; pointers, when given, receive where
    // each is stored. The rows are charged to budget, or to one of their own.
    bool ReadAll(const StoredTable& table, std::vector<std::vector<Value>>& rows, std::string* error,
                 std::vector<std::uint32_t>* pointers = nullptr, DecodeBudget* budget = nullptr) const;

    // Calls visit with where each row is stored and its values, in stored
    // order, until it returns false; each row is decoded in turn and not kept.
    bool Scan(const StoredTable& table, const std::function<bool(std::uint32_t, std::vector<Value>&)>& visit,
              std::string* error) const;

    // The rows stored at pointers (as an index gives them), in that order.
    bool ReadAt(const StoredTable& table, const std::vector<std::uint32_t>& pointers,
                std::vector<std::vector<Value>>& rows, std::string* error) const;

    enum class IndexAnswer {
        Answered,  // pointers hold every row the index gives, in stored order
        NoIndex,   // no one-column ascending index on column, or key has no index form
        Damaged,   // the index tree is out of shape: look elsewhere
    };
    // Where the rows are whose value in column has key's index key (or, with
    // prefix, a text key that begins with key's). The index folds more than
    // the caller may (letter case, for one): callers compare the rows they read.
    IndexAnswer FindInIndex(const StoredTable& table, std::size_t column, const Value& key, bool prefix,
                            std::vector<std::uint32_t>& pointers) const;

    // Calls visit with each row that may have key in column (or, with prefix, a
    // text key that begins with it), in stored order: those the index gives when
    // it answers, else every row of the table; visit tests the rows itself.
    bool VisitByKey(const StoredTable& table, std::size_t column, const Value& key, bool prefix,
                    const std::function<void(std::vector<Value>&)>& visit, std::string* error) const;

    // Where the last failed read of table was (CountRows, ReadAll, Scan,
    // ReadAt): its name and the page the failure's text names, 0 for none.
    const Where& FailedAt(const StoredTable& table) const { return table.rows->FailedAt(); }

    const PageSource& Pages() const { return source_; }

private:
    explicit DatabaseFile(PageSource source) : source_(std::move(source)) {}
    bool Load(std::string* error);
    bool Locate(const StoredTable& table, std::string* error) const;

    PageSource source_;
    std::vector<std::unique_ptr<StoredTable>> tables_;
};

// The one-column index on column of def, if it has one.
const IndexDef* IndexOn(const TableDef& def, std::size_t column);

}  // namespace jet
