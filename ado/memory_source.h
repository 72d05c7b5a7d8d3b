#pragma once
// A data source over tables held in memory; text lookups go through a
// TextIndex built on first use, one per looked-up column.
#include <memory>
#include <unordered_map>

#include "ado/data_source.h"

namespace ado {

class MemorySource : public DataSource {
public:
    explicit MemorySource(std::vector<jet::Table> tables);
    ~MemorySource() override;

    const TableShape* FindTable(std::u16string_view name) override;
    std::vector<Row> ReadAll(const TableShape& table) override;
    std::vector<Row> Lookup(const TableShape& table, std::size_t column, std::u16string_view text) override;

private:
    struct Entry;
    Entry& EntryOf(const TableShape& table);
    std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace ado
