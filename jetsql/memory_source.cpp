#include "jetsql/memory_source.h"

#include "jetsql/jet_text.h"
#include "jetsql/text_index.h"
#include "jetsql/values.h"

namespace jetsql {

struct MemorySource::Entry {
    TableShape shape;
    jet::Table table;
    // Built when a column is first looked up.
    std::unordered_map<std::size_t, std::unique_ptr<TextIndex>> indexes;
};

namespace {

IndexShape ShapeOf(const jet::Index& index, const std::vector<jet::Column>& columns) {
    IndexShape shape{index.name, {}, {}, index.unique, index.primaryKey};
    for (const std::u16string& name : index.columns) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (JetTextEqual(columns[i].name, name)) {
                shape.columns.push_back(i);
                shape.ascending.push_back(true);
            }
        }
    }
    return shape;
}

}  // namespace

MemorySource::MemorySource(std::vector<jet::Table> tables) {
    for (jet::Table& t : tables) {
        auto e = std::make_unique<Entry>();
        e->shape.name = t.name;
        e->shape.columns = t.columns;
        e->shape.system = JetTextStartsWith(t.name, u"MSys");
        for (const jet::Index& index : t.indexes) e->shape.indexes.push_back(ShapeOf(index, t.columns));
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

std::vector<const TableShape*> MemorySource::Tables() {
    std::vector<const TableShape*> all;
    for (auto& e : entries_) all.push_back(&e->shape);
    return all;
}

MemorySource::Entry& MemorySource::EntryOf(const TableShape& table) {
    for (auto& e : entries_)
        if (&e->shape == &table) return *e;
    return *entries_.front();  // shapes come only from FindTable
}

std::vector<Row> MemorySource::ReadAll(const TableShape& table) { return EntryOf(table).table.rows; }

std::vector<Row> MemorySource::Lookup(const TableShape& table, std::size_t column, const jet::Value& key) {
    Entry& e = EntryOf(table);
    std::vector<Row> rows;
    if (key.kind != jet::Value::Kind::Text) {
        const jet::ColumnType type = table.columns.at(column).type;
        for (const Row& row : e.table.rows)
            if (!row.at(column).IsNull() && JetOrder(row[column], key, type) == 0) rows.push_back(row);
        return rows;
    }
    std::unique_ptr<TextIndex>& index = e.indexes[column];
    if (!index) index = std::make_unique<TextIndex>(e.table.rows, column);
    for (std::size_t r : index->Find(key.text)) rows.push_back(e.table.rows[r]);
    return rows;
}

}  // namespace jetsql
