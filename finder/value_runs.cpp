#include "finder/value_runs.h"

#include <algorithm>

#include "jet/utf.h"

namespace finder {
namespace {

struct HeldRow {
    std::u16string name, value, source;
    std::uint32_t pointer;
};

HeldRow Held(const ScannedRow& row) {
    return {std::u16string(row.name), std::u16string(row.value), std::u16string(row.source), row.pointer};
}

std::vector<ValueIndex::Row> RowsOfValues(const ValueIndex& index, const std::vector<ValueAsked>& values) {
    std::vector<ValueIndex::Row> rows;
    for (const ValueAsked& v : values) {
        const std::vector<ValueIndex::Row> more = index.RowsFor(v.value, v.win32Sources);
        const std::size_t before = rows.size();
        rows.insert(rows.end(), more.begin(), more.end());
        MergeRows(rows, before);
    }
    return rows;
}

// Every row of the names of shared rows, a name's rows together in stored order.
bool ReadWholeNames(const ConstantsFile& file, const std::vector<HeldRow>& shared, std::vector<HeldRow>& out,
                    std::string* error) {
    std::vector<std::u16string> names;
    for (const HeldRow& row : shared) names.push_back(row.name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<ConstantRow> rows;
    for (const std::u16string& name : names) {
        if (!file.RowsNamed(name, rows, error)) return false;
        const std::string utf8 = jet::Utf16ToUtf8(name);
        for (const ConstantRow& row : rows)
            if (row.name == utf8)  // the name index ignores letter case
                out.push_back({name, jet::Utf8ToUtf16(row.value), jet::Utf8ToUtf16(row.source), row.pointer});
    }
    return true;
}

}  // namespace

bool FeedValueRuns(const ConstantsFile& file, const ValueIndex& index, const std::vector<ValueAsked>& values,
                   RunTracker& runs, bool& answered, std::string* error) {
    answered = false;
    const std::vector<ValueIndex::Row> found = RowsOfValues(index, values);
    if (found.size() > kMostIndexedRows) return true;
    std::vector<std::uint32_t> pointers;
    pointers.reserve(found.size());
    for (const ValueIndex::Row& r : found) pointers.push_back(r.pointer);
    // Rows the index names but the file does not hold: the walk answers, and
    // nothing has been fed yet.
    if (!file.HoldsRows(pointers)) return true;
    // A name's only row is its whole run, fed as it is read; a shared row's name is read whole after.
    std::vector<HeldRow> shared;
    std::size_t at = 0;
    if (!file.VisitAt(
            pointers,
            [&](const ScannedRow& row) {
                if (found[at++].alone) runs.Add(row);
                else shared.push_back(Held(row));
                return true;
            },
            error))
        return false;
    std::vector<HeldRow> whole;
    if (!ReadWholeNames(file, shared, whole, error)) return false;
    for (const HeldRow& row : whole) runs.Add(ScannedRow{row.name, row.value, row.source, row.pointer});
    runs.Finish();
    answered = true;
    return true;
}

}  // namespace finder
