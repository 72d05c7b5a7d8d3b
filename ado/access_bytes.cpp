#include "ado/access_bytes.h"

#include <unordered_map>

#include "ado/text_index.h"
#include "jet/reader.h"

namespace ado {
namespace {

// Tables of a database read whole by the jet reader.
class JetSource : public DataSource {
public:
    explicit JetSource(std::unique_ptr<jet::Database> db) : db_(std::move(db)) {}

    const TableShape* FindTable(std::u16string_view name) override {
        const jet::Table* table = db_->FindTable(std::u16string(name));
        if (!table) return nullptr;
        for (const auto& known : shapes_)
            if (known->table == table) return &known->shape;
        auto entry = std::make_unique<Entry>();
        entry->table = table;
        entry->shape.name = table->name;
        entry->shape.columns = table->columns;
        shapes_.push_back(std::move(entry));
        return &shapes_.back()->shape;
    }

    std::vector<Row> ReadAll(const TableShape& shape) override { return EntryOf(shape).table->rows; }

    // The reader's own lookup may walk the file's index pages on every call;
    // a hash index over the rows it already holds costs one probe.
    std::vector<Row> Lookup(const TableShape& shape, std::size_t column, std::u16string_view text) override {
        Entry& e = EntryOf(shape);
        std::unique_ptr<TextIndex>& index = e.indexes[column];
        if (!index) index = std::make_unique<TextIndex>(e.table->rows, column);
        std::vector<Row> rows;
        for (std::size_t r : index->Find(text)) rows.push_back(e.table->rows[r]);
        return rows;
    }

private:
    struct Entry {
        TableShape shape;
        const jet::Table* table = nullptr;
        std::unordered_map<std::size_t, std::unique_ptr<TextIndex>> indexes;  // per looked-up column
    };

    Entry& EntryOf(const TableShape& shape) {
        for (auto& known : shapes_)
            if (&known->shape == &shape) return *known;
        return *shapes_.front();  // shapes come only from FindTable
    }

    std::unique_ptr<jet::Database> db_;
    std::vector<std::unique_ptr<Entry>> shapes_;
};

}  // namespace

std::unique_ptr<DataSource> OpenAccessBytes(std::vector<std::uint8_t> bytes, std::string* error) {
    if (bytes.empty()) {
        *error = "The file is empty: not an Access database.";
        return nullptr;
    }
    std::string why;
    std::unique_ptr<jet::Database> db = jet::Database::OpenBytes(std::move(bytes), &why);
    if (!db) {
        *error = "Not a readable Access database: " + why;
        return nullptr;
    }
    return std::make_unique<JetSource>(std::move(db));
}

}  // namespace ado
