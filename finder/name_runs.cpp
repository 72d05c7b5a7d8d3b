#include "finder/name_runs.h"

#include <algorithm>

namespace finder {

std::size_t Run::First() const {
    for (std::size_t i = 0; i < empty.size(); ++i)
        if (!empty[i]) return i;
    return std::string::npos;
}

void RunTracker::Add(const ScannedRow& row) {
    if (row.name != run_.name || run_.pointers.empty()) {
        Finish();
        run_.name.assign(row.name);
    }
    run_.pointers.push_back(row.pointer);
    if (numbers_) run_.values.push_back(ReadStoredValue(row.value));
    run_.empty.push_back(row.value.empty());
    if (mark_) run_.marked.push_back(mark_(row.source));
}

void RunTracker::Finish() {
    if (!run_.pointers.empty()) onRun_(run_);
    run_.pointers.clear();
    run_.values.clear();
    run_.empty.clear();
    run_.marked.clear();
}

bool WalkRuns(const ConstantsFile& file, std::u16string_view prefix, bool withSource, RunTracker& runs,
              std::string* error) {
    const bool visited = file.Visit(
        prefix, withSource,
        [&](const ScannedRow& row) {
            runs.Add(row);
            return true;
        },
        error);
    if (visited) runs.Finish();
    return visited;
}

void Collector::Offer(const Run& run, const std::vector<bool>& selected) {
    if (std::none_of(selected.begin(), selected.end(), [](bool s) { return s; })) return;
    ++total_;
    if (limit_ != 0 && heap_.size() == limit_) {
        if (!(run.name < heap_.front().name)) return;
        std::pop_heap(heap_.begin(), heap_.end());
        heap_.pop_back();
    }
    heap_.push_back({run.name, run.pointers, selected});
    std::push_heap(heap_.begin(), heap_.end());
}

std::vector<Collector::Kept> Collector::TakeSorted() {
    std::sort_heap(heap_.begin(), heap_.end());
    return std::move(heap_);
}

std::vector<bool> SelectFirstOrAll(const std::vector<ConstantRow>& rows, bool all) {
    std::vector<bool> selected(rows.size(), false);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].value.empty()) continue;
        selected[i] = true;
        if (!all) break;
    }
    return selected;
}

std::vector<Constant> ConstantsOf(const std::vector<ConstantRow>& rows, const std::vector<bool>& selected) {
    std::vector<Constant> all;
    std::size_t first = rows.size();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Constant c;
        c.row = rows[i];
        c.number = ReadStoredNumber(rows[i].value);
        c.window = WhatTheWindowShows(rows[i].value);
        if (first == rows.size() && !rows[i].value.empty()) first = i;
        c.first = i == first;
        all.push_back(std::move(c));
    }
    std::vector<Constant> out;
    if (first == rows.size()) return out;
    const Constant& head = all[first];
    for (std::size_t i = first + 1; i < all.size(); ++i) {
        if (all[i].row.value.empty()) continue;
        const bool numbers = head.number && all[i].number;
        all[i].differs = numbers ? !SameValue(head.number->value, all[i].number->value)
                                 : head.row.value != all[i].row.value;
        all[first].othersDiffer = all[first].othersDiffer || all[i].differs;
    }
    for (std::size_t i = 0; i < all.size(); ++i)
        if (selected[i]) out.push_back(std::move(all[i]));
    return out;
}

bool Materialize(const ConstantsFile& file, const std::vector<Collector::Kept>& kept, std::vector<Constant>& out,
                 std::string* error) {
    std::vector<std::uint32_t> pointers;
    for (const auto& k : kept) pointers.insert(pointers.end(), k.pointers.begin(), k.pointers.end());
    std::vector<ConstantRow> rows;
    if (!file.ReadRows(pointers, rows, error)) return false;
    std::size_t at = 0;
    for (const auto& k : kept) {
        const std::vector<ConstantRow> own(rows.begin() + at, rows.begin() + at + k.pointers.size());
        at += k.pointers.size();
        for (Constant& c : ConstantsOf(own, k.selected)) out.push_back(std::move(c));
    }
    return true;
}

}  // namespace finder
