#pragma once
// A data source over tables held in memory; text lookups go through a
// TextIndex built on first use, one per looked-up column; other lookups walk
// the rows. The tables' indexes are reported as declared.
#include <memory>
#include <unordered_map>

#include "jetsql/data_source.h"

namespace jetsql {

class MemorySource : public DataSource {
public:
    explicit MemorySource(std::vector<jet::Table> tables);
    ~MemorySource() override;

    const TableShape* FindTable(std::u16string_view name) override;
    std::vector<const TableShape*> Tables() override;
    std::vector<Row> ReadAll(const TableShape& table) override;
    std::vector<Row> Lookup(const TableShape& table, std::size_t column, const jet::Value& key) override;

private:
    struct Entry;
    Entry& EntryOf(const TableShape& table);
    std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace jetsql
