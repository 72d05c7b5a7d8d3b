#pragma once
// A data source that counts how a query reached the rows of the one it wraps.
#include "jetsql/data_source.h"

namespace jetsql_test {

class CountingSource : public jetsql::DataSource {
public:
    explicit CountingSource(jetsql::DataSource& inner) : inner_(inner) {}

    const jetsql::TableShape* FindTable(std::u16string_view name) override { return inner_.FindTable(name); }
    std::vector<const jetsql::TableShape*> Tables() override { return inner_.Tables(); }
    std::vector<jetsql::Row> ReadAll(const jetsql::TableShape& t) override {
        ++scans;
        return inner_.ReadAll(t);
    }
    std::vector<jetsql::Row> Lookup(const jetsql::TableShape& t, std::size_t c, const jet::Value& key) override {
        ++lookups;
        return inner_.Lookup(t, c, key);
    }
    std::vector<jetsql::Row> LookupPrefix(const jetsql::TableShape& t, std::size_t c, std::u16string_view prefix) override {
        ++prefixLookups;
        lastPrefix = std::u16string(prefix);
        return inner_.LookupPrefix(t, c, prefix);
    }
    std::vector<jetsql::Row> LookupRange(const jetsql::TableShape& t, std::size_t c, const jet::Value* low,
                                      const jet::Value* high) override {
        ++rangeLookups;
        return inner_.LookupRange(t, c, low, high);
    }
    bool Indexed(const jetsql::TableShape& t, std::size_t c) override { return inner_.Indexed(t, c); }
    std::size_t CountRows(const jetsql::TableShape& t) override {
        ++counts;
        return inner_.CountRows(t);
    }
    bool TableDates(const jetsql::TableShape& t, double* created, double* modified) override {
        return inner_.TableDates(t, created, modified);
    }

    int scans = 0, lookups = 0, prefixLookups = 0, rangeLookups = 0, counts = 0;
    std::u16string lastPrefix;

private:
    jetsql::DataSource& inner_;
};

}  // namespace jetsql_test
