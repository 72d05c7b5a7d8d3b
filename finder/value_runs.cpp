#include "finder/value_runs.h"

#include <algorithm>

namespace finder {
namespace {

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

// Every row of each name, a name's rows together in stored order.
bool FeedWholeNames(const ConstantsFile& file, std::vector<std::u16string> names, RunTracker& runs, std::string* error) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::u16string& name : names) {
        const auto feed = [&](const ScannedRow& row) {
            if (row.name == name) runs.Add(row);  // the name index gives longer names, and ignores letter case
            return true;
        };
        if (!file.Visit(name, true, feed, error)) return false;
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
    std::vector<std::u16string> shared;
    std::size_t at = 0;
    if (!file.VisitAt(
            pointers,
            [&](const ScannedRow& row) {
                if (found[at++].alone) runs.Add(row);
                else shared.emplace_back(row.name);
                return true;
            },
            error) ||
        !FeedWholeNames(file, std::move(shared), runs, error))
        return false;
    runs.Finish();
    answered = true;
    return true;
}

}  // namespace finder
