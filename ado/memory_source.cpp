#include "ado/memory_source.h"

#include <algorithm>

#include "ado/jet_text.h"

namespace ado {

struct MemorySource::Entry {
    TableShape shape;
    jet::Table table;
    // Folded text -> row numbers, per column; built when the column is first looked up.
    std::unordered_map<std::size_t, std::unordered_multimap<std::u16string, std::size_t>> indexes;
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
    auto built = e.indexes.find(column);
    if (built == e.indexes.end()) {
        auto& index = e.indexes[column];
        for (std::size_t r = 0; r < e.table.rows.size(); ++r) {
            const jet::Value& v = e.table.rows[r].at(column);
            if (v.kind == jet::Value::Kind::Text) index.emplace(JetFold(v.text), r);
        }
        built = e.indexes.find(column);
    }
    std::vector<std::size_t> hits;
    auto range = built->second.equal_range(JetFold(text));
    for (auto it = range.first; it != range.second; ++it) hits.push_back(it->second);
    std::sort(hits.begin(), hits.end());  // stored order, as a scan would give
    std::vector<Row> rows;
    for (std::size_t r : hits) rows.push_back(e.table.rows[r]);
    return rows;
}

}  // namespace ado
