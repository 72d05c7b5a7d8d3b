#include "jetsql/access_bytes.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "jetsql/text_index.h"
#include "jetsql/values.h"
#include "jet/database_file.h"
#include "jet/index_key.h"

namespace jetsql {
namespace {

constexpr std::int64_t kObjectTable = 1;  // MSysObjects.Type of a table

IndexShape ShapeOf(const jet::IndexDef& def, const jet::TableDef& table) {
    IndexShape shape{def.index.name, {}, {}, def.index.unique, def.index.primaryKey};
    for (std::size_t k = 0; k < def.columnNumbers.size(); ++k) {
        for (std::size_t c = 0; c < table.layout.size(); ++c) {
            if (table.layout[c].number == def.columnNumbers[k]) {
                shape.columns.push_back(c);
                shape.ascending.push_back(def.ascending[k]);
            }
        }
    }
    return shape;
}

bool IsIntegerType(jet::ColumnType t) {
    return t == jet::ColumnType::Byte || t == jet::ColumnType::Integer || t == jet::ColumnType::LongInteger;
}

// A bound in the form the column's index key takes: integers rounded
// inward and held to the type's range. False when no row can lie past it.
bool KeyBound(jet::ColumnType type, const jet::Value& bound, bool low, jet::Value* out) {
    if (!IsIntegerType(type)) {
        *out = jet::Value::FromDouble(JetNumber(bound, type));
        return true;
    }
    const double least = type == jet::ColumnType::Byte ? 0 : type == jet::ColumnType::Integer ? INT16_MIN : INT32_MIN;
    const double most = type == jet::ColumnType::Byte ? 255 : type == jet::ColumnType::Integer ? INT16_MAX : INT32_MAX;
    const double d = low ? std::ceil(JetNumber(bound, type)) : std::floor(JetNumber(bound, type));
    if (std::isnan(d) || (low && d > most) || (!low && d < least)) return false;
    *out = jet::Value::FromInteger(std::int64_t(std::min(most, std::max(least, d))));
    return true;
}

int CompareKey(const jet::IndexEntryView& entry, const jet::ByteVec& key) {
    const std::size_t n = std::min(entry.size(), key.size());
    for (std::size_t i = 0; i < n; ++i)
        if (entry[i] != key[i]) return entry[i] < key[i] ? -1 : 1;
    return entry.size() == key.size() ? 0 : (entry.size() < key.size() ? -1 : 1);
}

// Tables of an Access file, read when asked.
class JetSource : public DataSource {
public:
    JetSource(std::u16string name, std::unique_ptr<jet::DatabaseFile> file, std::shared_ptr<void> keeper)
        : name_(std::move(name)), keeper_(std::move(keeper)), file_(std::move(file)) {
        for (const auto& table : file_->Tables()) {
            auto entry = std::make_unique<Entry>();
            entry->table = table.get();
            entry->shape.name = table->name;
            entry->shape.columns = table->def.columns;
            entry->shape.system = !table->user;
            for (const jet::IndexDef& index : table->def.indexes)
                entry->shape.indexes.push_back(ShapeOf(index, table->def));
            shapes_.push_back(std::move(entry));
        }
    }

    const TableShape* FindTable(std::u16string_view name) override {
        const jet::StoredTable* table = file_->Find(std::u16string(name));
        for (const auto& known : shapes_)
            if (known->table == table) return &known->shape;
        return nullptr;
    }

    std::vector<const TableShape*> Tables() override {
        std::vector<const TableShape*> all;
        for (const auto& known : shapes_) all.push_back(&known->shape);
        return all;
    }

    std::vector<Row> ReadAll(const TableShape& shape) override {
        std::vector<Row> rows;
        std::string why;
        if (!file_->ReadAll(*EntryOf(shape).table, rows, &why)) throw Damaged(*EntryOf(shape).table, why);
        return rows;
    }

    std::vector<Row> Lookup(const TableShape& shape, std::size_t column, const jet::Value& key) override {
        return Matching(shape, column, key, false);
    }

    std::vector<Row> LookupPrefix(const TableShape& shape, std::size_t column, std::u16string_view prefix) override {
        return Matching(shape, column, jet::Value::FromText(std::u16string(prefix)), true);
    }

    std::vector<Row> LookupRange(const TableShape& shape, std::size_t column, const jet::Value* low,
                                 const jet::Value* high) override {
        const Entry& e = EntryOf(shape);
        const jet::IndexDef* index = jet::IndexOn(e.table->def, column);
        const jet::ColumnType type = shape.columns.at(column).type;
        if (!index || !index->ascending[0] || !RangeLookupType(type)) return ReadAll(shape);
        jet::ByteVec lowKey, highKey;
        jet::Value bound;
        for (const bool isLow : {true, false}) {
            const jet::Value* given = isLow ? low : high;
            if (!given) continue;
            if (!KeyBound(type, *given, isLow, &bound)) return {};
            if (!jet::AppendKeyValue(type, bound, isLow ? lowKey : highKey)) return ReadAll(shape);
        }
        std::vector<std::uint32_t> pointers;
        bool past = false;
        const bool walked = jet::ForEachIndexEntry(
            file_->Pages(), index->firstPage, e.table->def.page,
            [&](const jet::IndexEntryView& key, std::uint32_t row) {
                if (low && CompareKey(key, lowKey) < 0) return true;
                if (high && CompareKey(key, highKey) > 0) return !(past = true);
                pointers.push_back(row);
                return true;
            });
        if (!walked && !past) return ReadAll(shape);  // a damaged index: the rows themselves answer
        std::sort(pointers.begin(), pointers.end());
        std::vector<Row> rows;
        std::string why;
        if (!file_->ReadAt(*e.table, pointers, rows, &why)) throw Damaged(*e.table, why);
        return rows;
    }

    bool Indexed(const TableShape& shape, std::size_t column) override {
        const jet::IndexDef* index = jet::IndexOn(EntryOf(shape).table->def, column);
        return index && index->ascending[0] && jet::IndexableType(shape.columns.at(column).type);
    }

    std::size_t CountRows(const TableShape& shape) override {
        std::size_t count = 0;
        std::string why;
        if (!file_->CountRows(*EntryOf(shape).table, count, &why)) throw Damaged(*EntryOf(shape).table, why);
        return count;
    }

    bool TableDates(const TableShape& shape, double* created, double* modified) override {
        if (!datesRead_) ReadDates();
        auto found = dates_.find(shape.name);
        if (found == dates_.end()) return false;
        *created = found->second.first;
        *modified = found->second.second;
        return true;
    }

private:
    struct Entry {
        TableShape shape;
        const jet::StoredTable* table = nullptr;
        // Columns whose index failed its checks, and the hash index built for them instead.
        std::unordered_map<std::size_t, std::unique_ptr<TextIndex>> hashed;
    };

    // What a failed read of table throws: the file, the table and the page
    // the reader found wrong.
    DamagedFile Damaged(const jet::StoredTable& table, std::string why) const {
        return DamagedFile(name_, table.name, file_->FailedAt(table).page, std::move(why));
    }

    Entry& EntryOf(const TableShape& shape) {
        for (auto& known : shapes_)
            if (&known->shape == &shape) return *known;
        return *shapes_.front();  // shapes come only from FindTable and Tables
    }

    static bool Matches(const Row& row, std::size_t column, jet::ColumnType type, const jet::Value& key, bool prefix) {
        const jet::Value& v = row.at(column);
        if (v.IsNull() || (v.kind == jet::Value::Kind::Text) != (key.kind == jet::Value::Kind::Text)) return false;
        if (prefix) return JetTextStartsWith(v.text, key.text);
        return JetOrder(v, key, type) == 0;
    }

    // The file's index narrows the rows to read. Without one, the rows are
    // walked one at a time and only the matching ones kept; an equality lookup
    // of text on a column whose index failed its checks builds a hash index
    // of row positions instead, so that later lookups stay cheap.
    std::vector<Row> Matching(const TableShape& shape, std::size_t column, const jet::Value& key, bool prefix) {
        Entry& e = EntryOf(shape);
        const jet::ColumnType type = shape.columns.at(column).type;
        const bool text = key.kind == jet::Value::Kind::Text;
        std::vector<std::uint32_t> pointers;
        const auto answer = e.hashed.count(column) ? jet::DatabaseFile::IndexAnswer::Damaged
                                                   : file_->FindInIndex(*e.table, column, key, prefix, pointers);
        std::vector<Row> rows;
        std::string why;
        if (answer == jet::DatabaseFile::IndexAnswer::Answered ||
            (answer == jet::DatabaseFile::IndexAnswer::Damaged && !prefix && text)) {
            if (answer != jet::DatabaseFile::IndexAnswer::Answered) pointers = Hashed(e, column, key.text);
            if (!file_->ReadAt(*e.table, pointers, rows, &why)) throw Damaged(*e.table, why);
            std::vector<Row> kept;
            for (Row& row : rows)
                if (Matches(row, column, type, key, prefix)) kept.push_back(std::move(row));
            return kept;
        }
        const bool read = file_->Scan(*e.table,
                                      [&](std::uint32_t, Row& row) {
                                          if (Matches(row, column, type, key, prefix)) rows.push_back(std::move(row));
                                          return true;
                                      },
                                      &why);
        if (!read) throw Damaged(*e.table, why);
        return rows;
    }

    std::vector<std::uint32_t> Hashed(Entry& e, std::size_t column, std::u16string_view text) {
        std::unique_ptr<TextIndex>& index = e.hashed[column];
        if (!index) {
            auto built = std::make_unique<TextIndex>();
            std::string why;
            const bool read = file_->Scan(*e.table,
                                          [&](std::uint32_t pointer, Row& row) {
                                              const jet::Value& v = row.at(column);
                                              if (v.kind == jet::Value::Kind::Text) built->Add(v.text, pointer);
                                              return true;
                                          },
                                          &why);
            if (!read) {
                e.hashed.erase(column);
                throw Damaged(*e.table, why);
            }
            index = std::move(built);
        }
        std::vector<std::uint32_t> found;
        for (std::size_t id : index->Find(text)) found.push_back(std::uint32_t(id));
        return found;
    }

    // The catalog's DateCreate and DateUpdate of every table, read once.
    void ReadDates() {
        datesRead_ = true;
        const TableShape* catalog = FindTable(u"MSysObjects");
        if (!catalog) return;
        auto at = [&](std::u16string_view name) {
            for (std::size_t i = 0; i < catalog->columns.size(); ++i)
                if (JetTextEqual(catalog->columns[i].name, name)) return i;
            return catalog->columns.size();
        };
        const std::size_t name = at(u"Name"), type = at(u"Type"), created = at(u"DateCreate"), updated = at(u"DateUpdate");
        if (std::max({name, type, created, updated}) == catalog->columns.size()) return;
        for (const Row& row : ReadAll(*catalog)) {
            if (row[type].kind != jet::Value::Kind::Integer || row[type].integer != kObjectTable ||
                row[name].kind != jet::Value::Kind::Text || row[created].kind != jet::Value::Kind::Double ||
                row[updated].kind != jet::Value::Kind::Double)
                continue;
            dates_.emplace(row[name].text, std::make_pair(row[created].real, row[updated].real));
        }
    }

    std::u16string name_;           // the file's name as opened, for failure texts; empty for bytes alone
    std::shared_ptr<void> keeper_;  // declared before the reader: the file's pages must outlive it
    std::unique_ptr<jet::DatabaseFile> file_;
    std::vector<std::unique_ptr<Entry>> shapes_;
    bool datesRead_ = false;
    std::unordered_map<std::u16string, std::pair<double, double>> dates_;
};

std::unique_ptr<DataSource> Open(std::u16string name, jet::PageSource pages, std::shared_ptr<void> keeper,
                                 std::string* error) {
    if (pages.FileSize() == 0) {
        *error = "The file is empty: not an Access database.";
        return nullptr;
    }
    std::string why;
    std::unique_ptr<jet::DatabaseFile> file = jet::DatabaseFile::Open(std::move(pages), &why);
    if (!file) {
        *error = "Not a readable Access database: " + why;
        return nullptr;
    }
    return std::make_unique<JetSource>(std::move(name), std::move(file), std::move(keeper));
}

}  // namespace

std::unique_ptr<DataSource> OpenAccessBytes(std::vector<std::uint8_t> bytes, std::string* error) {
    return Open({}, jet::PageSource(std::move(bytes)), nullptr, error);
}

std::unique_ptr<DataSource> OpenAccessView(std::u16string name, const std::uint8_t* data, std::size_t size,
                                           std::shared_ptr<void> keeper, std::string* error) {
    return Open(std::move(name), jet::PageSource(data, size), std::move(keeper), error);
}

}  // namespace jetsql
