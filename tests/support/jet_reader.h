#pragma once
// Reads a Jet 4 (Access 2000-2003) database whole: the catalog, every table's
// definition and rows (text, memo, numeric, date, binary and OLE columns),
// decoded at open through DatabaseFile (jet/database_file.h), which reads on
// demand. Damaged files fail with a reason instead of crashing or reading past
// the end; a file that would decode into more than DecodeBudget allows fails too.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "jet/database_file.h"
#include "jet/table.h"
#include "jet/text_match.h"

namespace jet {

class Database {
public:
    // nullptr on failure, with the reason in *error when error is not null.
    static std::unique_ptr<Database> Open(const std::string& path, std::string* error);
    static std::unique_ptr<Database> OpenBytes(std::vector<std::uint8_t> bytes, std::string* error);

    // User tables (not the system ones), in catalog order.
    std::vector<std::u16string> TableNames() const;

    // Any table, system ones included; names compare as Jet compares them
    // (ASCII letters without regard to case). nullptr when there is none.
    const Table* FindTable(const std::u16string& name) const;

    // Position of a column of table by name (compared like table names), or npos.
    static std::size_t ColumnIndex(const Table& table, const std::u16string& name);
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Rows of table (which must come from this database) whose value in column
    // equals key, in row order. Texts compare according to match; numbers compare
    // by value whatever their kind (3 equals 3.0); Null never equals anything.
    // A one-column index of the file on that column answers the lookup when the
    // key has an index form (see jet/index_key.h) and the index, checked once
    // against the rows, holds exactly the keys this reader computes (it is then
    // descended per lookup); otherwise the first lookup on a column builds a
    // hash index of it in memory. Either way later lookups do not scan the
    // rows. Not safe to call from several threads at once.
    std::vector<std::size_t> FindRowsEqual(const Table& table, std::size_t column, const Value& key,
                                           TextMatch match = TextMatch::IgnoreAsciiCase) const;

    // Whether FindRowsEqual on column is served by an index of the file (checks it on first use).
    bool HasFileIndex(const Table& table, std::size_t column) const;

    ~Database();

private:
    Database();
    bool Load(std::vector<std::uint8_t> bytes, std::string* error);
    struct Entry;
    const Entry* EntryOf(const Table& table) const;
    bool FindWithFileIndex(const Entry& e, std::size_t column, const Value& key, TextMatch match,
                           std::vector<std::size_t>& rows) const;
    std::vector<std::size_t> FindWithHash(const Table& table, std::size_t column, const Value& key,
                                          TextMatch match) const;

    std::unique_ptr<DatabaseFile> file_;
    std::vector<std::unique_ptr<Entry>> tables_;
    using HashIndex = std::unordered_multimap<std::string, std::size_t>;
    mutable std::map<std::tuple<const Table*, std::size_t, TextMatch>, HashIndex> hashIndexes_;
};

}  // namespace jet
