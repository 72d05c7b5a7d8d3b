#pragma once
// What the engine reads tables through: the Access file via the jet reader,
// or tables held in memory. Names are matched the way Jet matches them.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "jetsql/jet_text.h"
#include "jet/table.h"
#include "jet/utf.h"

namespace jetsql {

using Row = std::vector<jet::Value>;

// What a read of a DataSource throws when the file turns out damaged, and the
// only thing the engine throws on bad input: the file (its name as opened;
// empty for bytes given without one), the table being read, the page the
// reader found wrong (0 when none in particular) and the reader's reason.
// what() says what and where: "'C:\db\API常量.mdb': the file is damaged:
// usage map missing (table 'api_const', page 7)". Anything else that leaves
// the engine is a fault of the program, never reported as a damaged file.
class DamagedFile : public std::exception {
public:
    DamagedFile(std::u16string file, std::u16string table, std::uint32_t page, std::string reason)
        : file_(std::move(file)), table_(std::move(table)), page_(page), reason_(std::move(reason)) {
        static const std::string kDamaged = "the file is damaged: ";
        if (reason_.compare(0, kDamaged.size(), kDamaged) != 0) reason_ = kDamaged + reason_;
        text_ = file_.empty() ? reason_ : "'" + jet::Utf16ToUtf8(file_) + "': " + reason_;
    }
    const char* what() const noexcept override { return text_.c_str(); }
    const std::u16string& file() const { return file_; }
    const std::u16string& table() const { return table_; }
    std::uint32_t page() const { return page_; }

private:
    std::u16string file_, table_;
    std::uint32_t page_;
    std::string reason_;  // jet's text, which names the table and page
    std::string text_;
};

// The column types whose index keys sort as their values do: what
// LookupRange can answer from an index.
inline bool RangeLookupType(jet::ColumnType t) {
    return t == jet::ColumnType::Byte || t == jet::ColumnType::Integer || t == jet::ColumnType::LongInteger ||
           t == jet::ColumnType::Single || t == jet::ColumnType::Double || t == jet::ColumnType::DateTime;
}

struct IndexShape {
    std::u16string name;
    std::vector<std::size_t> columns;  // positions in the table, in key order
    std::vector<bool> ascending;       // per key column
    bool unique = false;
    bool primaryKey = false;
};

struct TableShape {
    std::u16string name;               // as stored
    std::vector<jet::Column> columns;  // in stored order
    bool system = false;               // one of the engine's own tables (MSys...)
    std::vector<IndexShape> indexes;
};

class DataSource {
public:
    virtual ~DataSource() = default;

    // The table of that name, or null. The shape lives as long as the source.
    virtual const TableShape* FindTable(std::u16string_view name) = 0;

    // Every table, system ones included, in catalog order.
    virtual std::vector<const TableShape*> Tables() = 0;

    // Every row of the table, in stored order.
    virtual std::vector<Row> ReadAll(const TableShape& table) = 0;

    // The rows whose value in `column` equals key, in stored order: text
    // compared as JetTextEqual compares, numbers and dates by value. key is
    // of the kind the column's type gives (TypedValue's rule) and not Null.
    virtual std::vector<Row> Lookup(const TableShape& table, std::size_t column, const jet::Value& key) = 0;

    // The rows whose text in `column` begins with `prefix` (compared as
    // JetTextEqual compares), in stored order. This answer walks every row;
    // a source with an index on the column answers from the index instead.
    virtual std::vector<Row> LookupPrefix(const TableShape& table, std::size_t column, std::u16string_view prefix) {
        std::vector<Row> found;
        for (Row& row : ReadAll(table)) {
            const jet::Value& v = row.at(column);
            if (v.kind == jet::Value::Kind::Text && JetTextStartsWith(v.text, prefix))
                found.push_back(std::move(row));
        }
        return found;
    }

    // At least the rows whose number or date in `column` lies between low and
    // high (inclusive; a null bound is open), in stored order; callers test
    // each row they get. This answer reads them all; a source with an index
    // on the column walks only that stretch of the index.
    virtual std::vector<Row> LookupRange(const TableShape& table, std::size_t column, const jet::Value* low,
                                         const jet::Value* high) {
        (void)column, (void)low, (void)high;
        return ReadAll(table);
    }

    // Whether Lookup on the column reads fewer rows than the table holds
    // (the column has an index to descend).
    virtual bool Indexed(const TableShape& table, std::size_t column) {
        (void)table, (void)column;
        return false;
    }

    // How many rows the table holds. This answer reads them all; a source
    // that knows the count answers without decoding rows.
    virtual std::size_t CountRows(const TableShape& table) { return ReadAll(table).size(); }

    // When the table was created and last changed (OLE Automation dates),
    // where the source keeps them; false when it does not.
    virtual bool TableDates(const TableShape& table, double* created, double* modified) {
        (void)table, (void)created, (void)modified;
        return false;
    }
};

}  // namespace jetsql
