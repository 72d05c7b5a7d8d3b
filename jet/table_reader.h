#pragma once
// The rows of one table: where they are (the data pages its usage map names,
// checked against the row count its definition stores) and their values,
// decoded only when asked.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jet/failure.h"
#include "jet/page_source.h"
#include "jet/tdef_reader.h"

namespace jet {

class TableRows {
public:
    // source and def must outlive this; name is used in failure texts.
    TableRows(const PageSource& source, const TableDef& def, const std::string& name);

    // Finds the table's data pages and counts their rows without decoding
    // them. Fails when the count differs from the stored one: a page lost to
    // damage must not make a shorter table.
    bool Locate(std::string* error);

    std::size_t Count() const { return def_.rowCount; }

    // Calls visit with where each row is stored (page << 8 | row) and its
    // values, in stored order (Locate first), until it returns false. With no
    // budget, each row is charged to one of its own: for visits that keep little.
    bool ForEach(DecodeBudget* budget, const std::function<bool(std::uint32_t, std::vector<Value>&)>& visit,
                 std::string* error) const;

    // Every row in stored order (Locate first); pointers, when given, receive
    // where each is stored.
    bool ReadAll(std::vector<std::vector<Value>>& rows, DecodeBudget& budget, std::string* error,
                 std::vector<std::uint32_t>* pointers = nullptr) const;

    // The row stored at pointer, which must be a live row of this table.
    bool ReadAt(std::uint32_t pointer, std::vector<Value>& values, DecodeBudget& budget, std::string* error) const;

    // Where the last read that failed was: the table, and the page its text
    // names (0 when none in particular). For callers that report it apart.
    const Where& FailedAt() const { return failedAt_; }

private:
    bool OwnedDataPage(std::uint32_t p, ByteView& page) const;
    bool Failed(std::string* error, const Where& where, const std::string& why) const;

    const PageSource& source_;
    const TableDef& def_;
    Where where_;
    mutable Where failedAt_;
    std::vector<std::uint32_t> pages_;  // the table's data pages, ascending
};

}  // namespace jet
