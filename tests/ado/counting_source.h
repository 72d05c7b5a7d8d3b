#pragma once
// A data source that counts how a query reached the rows of the one it wraps.
#include "ado/data_source.h"

namespace ado_test {

class CountingSource : public ado::DataSource {
public:
    explicit CountingSource(ado::DataSource& inner) : inner_(inner) {}

    const ado::TableShape* FindTable(std::u16string_view name) override { return inner_.FindTable(name); }
    std::vector<const ado::TableShape*> Tables() override { return inner_.Tables(); }
    std::vector<ado::Row> ReadAll(const ado::TableShape& t) override {
        ++scans;
        return inner_.ReadAll(t);
    }
    std::vector<ado::Row> Lookup(const ado::TableShape& t, std::size_t c, const jet::Value& key) override {
        ++lookups;
        return inner_.Lookup(t, c, key);
    }
    std::vector<ado::Row> LookupPrefix(const ado::TableShape& t, std::size_t c, std::u16string_view prefix) override {
        ++prefixLookups;
        lastPrefix = std::u16string(prefix);
        return inner_.LookupPrefix(t, c, prefix);
    }
    std::vector<ado::Row> LookupRange(const ado::TableShape& t, std::size_t c, const jet::Value* low,
                                      const jet::Value* high) override {
        ++rangeLookups;
        return inner_.LookupRange(t, c, low, high);
    }
    bool Indexed(const ado::TableShape& t, std::size_t c) override { return inner_.Indexed(t, c); }
    std::size_t CountRows(const ado::TableShape& t) override {
        ++counts;
        return inner_.CountRows(t);
    }
    bool TableDates(const ado::TableShape& t, double* created, double* modified) override {
        return inner_.TableDates(t, created, modified);
    }

    int scans = 0, lookups = 0, prefixLookups = 0, rangeLookups = 0, counts = 0;
    std::u16string lastPrefix;

private:
    ado::DataSource& inner_;
};

}  // namespace ado_test
