#include "ado/access_bytes.h"

#include <stdexcept>
#include <unordered_map>

#include "ado/text_index.h"
#include "jet/database_file.h"

namespace ado {
namespace {

// Tables of an Access file, read when asked.
class JetSource : public DataSource {
public:
    JetSource(std::unique_ptr<jet::DatabaseFile> file, std::shared_ptr<void> keeper)
        : keeper_(std::move(keeper)), file_(std::move(file)) {}

    const TableShape* FindTable(std::u16string_view name) override {
        const jet::StoredTable* table = file_->Find(std::u16string(name));
        if (!table) return nullptr;
        for (const auto& known : shapes_)
            if (known->table == table) return &known->shape;
        auto entry = std::make_unique<Entry>();
        entry->table = table;
        entry->shape.name = table->name;
        entry->shape.columns = table->def.columns;
        shapes_.push_back(std::move(entry));
        return &shapes_.back()->shape;
    }

    std::vector<Row> ReadAll(const TableShape& shape) override {
        std::vector<Row> rows;
        std::string why;
        if (!file_->ReadAll(*EntryOf(shape).table, rows, &why)) throw std::runtime_error(why);
        return rows;
    }

    std::vector<Row> Lookup(const TableShape& shape, std::size_t column, std::u16string_view text) override {
        return Matching(shape, column, text, false);
    }

    std::vector<Row> LookupPrefix(const TableShape& shape, std::size_t column, std::u16string_view prefix) override {
        return Matching(shape, column, prefix, true);
    }

    std::size_t CountRows(const TableShape& shape) override {
        std::size_t count = 0;
        std::string why;
        if (!file_->CountRows(*EntryOf(shape).table, count, &why)) throw std::runtime_error(why);
        return count;
    }

private:
    struct Entry {
        TableShape shape;
        const jet::StoredTable* table = nullptr;
        // Columns whose index failed its checks, and the hash index built for them instead.
        std::unordered_map<std::size_t, std::unique_ptr<TextIndex>> hashed;
    };

    Entry& EntryOf(const TableShape& shape) {
        for (auto& known : shapes_)
            if (&known->shape == &shape) return *known;
        return *shapes_.front();  // shapes come only from FindTable
    }

    static bool Matches(const Row& row, std::size_t column, std::u16string_view text, bool prefix) {
        const jet::Value& v = row.at(column);
        if (v.kind != jet::Value::Kind::Text) return false;
        return prefix ? JetTextStartsWith(v.text, text) : JetTextEqual(v.text, text);
    }

    // The file's index narrows the rows to read. Without one, the rows are
    // walked one at a time and only the matching ones kept; an equality lookup
    // on a column whose index failed its checks builds a hash index of row
    // positions instead, so that later lookups stay cheap.
    std::vector<Row> Matching(const TableShape& shape, std::size_t column, std::u16string_view text, bool prefix) {
        Entry& e = EntryOf(shape);
        std::vector<std::uint32_t> pointers;
        const auto answer = e.hashed.count(column)
                                ? jet::DatabaseFile::IndexAnswer::Damaged
                                : file_->FindInIndex(*e.table, column, jet::Value::FromText(std::u16string(text)),
                                                     prefix, pointers);
        std::vector<Row> rows;
        std::string why;
        if (answer == jet::DatabaseFile::IndexAnswer::Answered ||
            (answer == jet::DatabaseFile::IndexAnswer::Damaged && !prefix)) {
            if (answer != jet::DatabaseFile::IndexAnswer::Answered) pointers = Hashed(e, column, text);
            if (!file_->ReadAt(*e.table, pointers, rows, &why)) throw std::runtime_error(why);
            std::vector<Row> kept;
            for (Row& row : rows)
                if (Matches(row, column, text, prefix)) kept.push_back(std::move(row));
            return kept;
        }
        const bool read = file_->Scan(*e.table,
                                      [&](std::uint32_t, Row& row) {
                                          if (Matches(row, column, text, prefix)) rows.push_back(std::move(row));
                                          return true;
                                      },
                                      &why);
        if (!read) throw std::runtime_error(why);
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
                throw std::runtime_error(why);
            }
            index = std::move(built);
        }
        std::vector<std::uint32_t> found;
        for (std::size_t id : index->Find(text)) found.push_back(std::uint32_t(id));
        return found;
    }

    std::shared_ptr<void> keeper_;  // declared first: the file's pages must outlive the reader
    std::unique_ptr<jet::DatabaseFile> file_;
    std::vector<std::unique_ptr<Entry>> shapes_;
};

std::unique_ptr<DataSource> Open(jet::PageSource pages, std::shared_ptr<void> keeper, std::string* error) {
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
    return std::make_unique<JetSource>(std::move(file), std::move(keeper));
}

}  // namespace

std::unique_ptr<DataSource> OpenAccessBytes(std::vector<std::uint8_t> bytes, std::string* error) {
    return Open(jet::PageSource(std::move(bytes)), nullptr, error);
}

std::unique_ptr<DataSource> OpenAccessView(const std::uint8_t* data, std::size_t size, std::shared_ptr<void> keeper,
                                           std::string* error) {
    return Open(jet::PageSource(data, size), std::move(keeper), error);
}

}  // namespace ado
