#include "ado/memory_source.h"

#include "ado/jet_text.h"
#include "ado/text_index.h"

namespace ado {

struct MemorySource::Entry {
    TableShape shape;
    jet::Table table;
    // Built when a column is first looked up.
    std::unordered_map<std::size_t, std::unique_ptr<TextIndex>> indexes;
};

MemorySource::MemorySource(std::vector<jet::Table> tables) {
    for (jet::Table& t : tables) {
        auto e = std::make_unique<Entry>();
        e->shape.name = t.name;
        e->shape.columns = t.columns;
        e->table = std::move(t);
        entries_.push_back(std::move(e));
    }
}

MemorySource::~MemorySource() = default;

const TableShape* MemorySource::FindTable(std::u16string_view name) {
    for (auto& e : entries_)
        if (JetTextEqual(e->shape.name, name)) return &e->shape;
    return nullptr;
}

MemorySource::Entry& MemorySource::EntryOf(const TableShape& table) {
    for (auto& e : entries_)
        if (&e->shape == &table) return *e;
    return *entries_.front();  // shapes come only from FindTable
}

std::vector<Row> MemorySource::ReadAll(const TableShape& table) { return EntryOf(table).table.rows; }

std::vector<Row> MemorySource::Lookup(const TableShape& table, std::size_t column, std::u16string_view text) {
    Entry& e = EntryOf(table);
    std::unique_ptr<TextIndex>& index = e.indexes[column];
    if (!index) index = std::make_unique<TextIndex>(e.table.rows, column);
    std::vector<Row> rows;
    for (std::size_t r : index->Find(text)) rows.push_back(e.table.rows[r]);
    return rows;
}

}  // namespace ado
