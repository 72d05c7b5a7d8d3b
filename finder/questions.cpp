#include "finder/questions.h"

#include <algorithm>

#include "jet/utf.h"
#include "finder/pattern.h"
#include "finder/row_sources.h"
#include "finder/system_message.h"

namespace finder {
namespace {

std::vector<bool> Selected(const Run& run, bool all, const std::function<bool(std::size_t)>& wanted) {
    std::vector<bool> selected(run.pointers.size(), false);
    const std::size_t first = run.First();
    for (std::size_t i = 0; i < selected.size(); ++i)
        selected[i] = !run.empty[i] && (all || i == first) && wanted(i);
    return selected;
}

bool NameMatches(std::u16string_view filter, std::u16string_view name) {
    return IsPattern(filter) ? MatchesPattern(filter, name) : StartsWithIgnoringCase(name, filter);
}

// One list a value question fills: the names of one value.
struct Target {
    Integer value;
    bool all = false;
    bool narrowed = false;
    bool win32Errors = false;  // only Win32 error names: marked sources, no FACILITY_ or SEVERITY_
    Collector names;
    bool statusNamed = false;  // a STATUS_ name has the value: it is also an NTSTATUS

    Target(const Integer& v, bool a, bool n, std::size_t limit) : value(v), all(a), narrowed(n), names(limit) {}
};

bool Win32ErrorName(const Run& run, std::size_t row) {
    return run.marked[row] && !StartsWithIgnoringCase(run.name, u"FACILITY_") &&
           !StartsWithIgnoringCase(run.name, u"SEVERITY_");
}

struct CodeTargets {
    std::size_t reading = 0;
    CodeReading code;
    std::size_t win32 = std::string::npos, nt = std::string::npos;  // target indexes
};

void Offer(Target& target, const Run& run, std::u16string_view narrow) {
    const auto matches = [&](std::size_t i) {
        return run.values[i] && SameValue(*run.values[i], target.value) &&
               (!target.win32Errors || Win32ErrorName(run, i));
    };
    // Most names have one row and most rows miss: decide that before making anything.
    const std::size_t first = run.First();
    if (!target.all && (first == std::string::npos || !matches(first))) return;
    const std::vector<bool> selected = Selected(run, target.all, matches);
    if (std::none_of(selected.begin(), selected.end(), [](bool s) { return s; })) return;
    if (StartsWithIgnoringCase(run.name, u"STATUS_")) target.statusNamed = true;
    if (target.narrowed && !narrow.empty() && !NameMatches(narrow, run.name)) return;
    target.names.Offer(run, selected);
}

bool ListOf(const ConstantsFile& file, Collector& names, ListAnswer& out, std::string* error) {
    out.total = names.Total();
    return Materialize(file, names.TakeSorted(), out.constants, error);
}

std::vector<std::string> FacilityNames(const std::vector<ConstantRow>& rows, std::uint16_t facility, bool nt) {
    std::vector<std::string> preferred, others;
    for (const ConstantRow& row : rows) {
        const std::optional<StoredNumber> n = ReadStoredNumber(row.value);
        if (!n || n->value.bits != facility) continue;
        const std::string_view source = row.source;
        const bool own = nt ? FromAny(source, kNtSources) : FromAny(source, kHresultSources);
        if (own) preferred.push_back(row.name);
        else if (!nt && !FromAny(source, kNtSources)) others.push_back(row.name);
    }
    std::vector<std::string>& names = preferred.empty() ? others : preferred;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace

bool Questions::Name(const std::u16string& name, std::vector<Constant>& out, std::string* error) const {
    std::vector<ConstantRow> rows;
    if (!file_.RowsNamed(name, rows, error)) return false;
    std::vector<std::vector<ConstantRow>> byName;
    for (ConstantRow& row : rows) {
        auto same = std::find_if(byName.begin(), byName.end(), [&](const auto& g) { return g[0].name == row.name; });
        if (same == byName.end()) byName.push_back({std::move(row)});
        else same->push_back(std::move(row));
    }
    const std::string exact = jet::Utf16ToUtf8(name);
    std::stable_partition(byName.begin(), byName.end(), [&](const auto& g) { return g[0].name == exact; });
    for (const auto& group : byName)
        for (Constant& c : ConstantsOf(group, SelectFirstOrAll(group, settings_.all))) out.push_back(std::move(c));
    return true;
}

bool Questions::Pattern(const std::u16string& pattern, ListAnswer& out, std::string* error) const {
    Collector names(settings_.limit);
    RunTracker runs(false, nullptr, [&](const Run& run) {
        if (MatchesPattern(pattern, run.name))
            names.Offer(run, Selected(run, settings_.all, [](std::size_t) { return true; }));
    });
    if (!WalkRuns(file_, FixedPrefix(pattern), false, runs, error)) return false;
    return ListOf(file_, names, out, error);
}

bool Questions::Value(const std::vector<Reading>& readings, std::vector<ValueAnswer>& out,
                      std::string* error) const {
    std::vector<Target> targets;
    std::vector<CodeTargets> codes;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        targets.emplace_back(readings[i].value, settings_.all, true, settings_.limit);
        if (!readings[i].value.Is32()) continue;
        for (const CodeReading& code : ReadErrorCode(readings[i].value.Low32())) {
            CodeTargets c{i, code};
            const bool hresult = code.kind == CodeReading::Kind::Hresult;
            if ((hresult ? code.hresult.facility : code.status.facility) == kFacilityWin32) {
                c.win32 = targets.size();
                targets.emplace_back(*FromDecimal(false, hresult ? code.hresult.code : code.status.code), false,
                                     false, 0);
                targets.back().win32Errors = true;
            }
            if (code.kind == CodeReading::Kind::HresultFromNt) {
                c.nt = targets.size();
                targets.emplace_back(FromHexPattern(code.ntStatus), settings_.all, false, settings_.limit);
            }
            codes.push_back(c);
        }
    }
    // Names of codes and whether a STATUS_ name has the value need the whole table.
    const bool whole = !codes.empty() || settings_.narrow.empty();
    const bool win32 = std::any_of(codes.begin(), codes.end(), [](const CodeTargets& c) { return c.win32 != std::string::npos; });
    RunTracker runs(true, win32 ? std::function<bool(std::u16string_view)>(FromWin32ErrorSource) : nullptr,
                    [&](const Run& run) {
                        for (Target& t : targets) Offer(t, run, settings_.narrow);
                    });
    const std::u16string_view prefix = whole ? std::u16string_view() : FixedPrefix(settings_.narrow);
    std::vector<ValueAsked> values;
    for (const Target& t : targets) values.push_back({t.value, t.win32Errors});
    if (!FeedValues(values, prefix, win32, runs, error)) return false;

    out.clear();
    for (std::size_t i = 0; i < readings.size(); ++i) {
        out.push_back({readings[i], {}, {}});
        if (!ListOf(file_, targets[i].names, out.back().names, error)) return false;
    }
    for (const CodeTargets& c : codes) {
        CodeAnswer answer;
        answer.reading = c.code;
        if (c.win32 != std::string::npos &&
            !Materialize(file_, targets[c.win32].names.TakeSorted(), answer.win32, error))
            return false;
        if (c.nt != std::string::npos && !ListOf(file_, targets[c.nt].names, answer.ntNames, error)) return false;
        answer.message = SystemMessage(answer.reading);
        out[c.reading].codes.push_back(std::move(answer));
        if (c.code.kind == CodeReading::Kind::Hresult && targets[c.reading].statusNamed) {
            CodeAnswer warning;
            warning.reading = NtStatusWarning(c.code.value);
            warning.message = SystemMessage(warning.reading);
            out[c.reading].codes.push_back(std::move(warning));
        }
    }
    return Facilities(out, error);
}

// Through the value index when there is one and it answers, else by a walk.
bool Questions::FeedValues(const std::vector<ValueAsked>& values, std::u16string_view prefix, bool withSource,
                           RunTracker& runs, std::string* error) const {
    bool answered = false;
    if (values_ && !FeedValueRuns(file_, *values_, values, runs, answered, error)) return false;
    return answered || WalkRuns(file_, prefix, withSource, runs, error);
}

bool Questions::Facilities(std::vector<ValueAnswer>& answers, std::string* error) const {
    const bool any = std::any_of(answers.begin(), answers.end(), [](const ValueAnswer& a) { return !a.codes.empty(); });
    if (!any) return true;
    std::vector<ConstantRow> rows;
    if (!file_.RowsBeginningWith(u"FACILITY_", rows, error)) return false;
    for (ValueAnswer& a : answers)
        for (CodeAnswer& code : a.codes) {
            if (code.reading.kind != CodeReading::Kind::NtStatus)
                code.facility = FacilityNames(rows, code.reading.hresult.facility, false);
            if (code.reading.kind != CodeReading::Kind::Hresult)
                code.ntFacility = FacilityNames(rows, code.reading.status.facility, true);
        }
    return true;
}

bool Questions::Flags(const std::u16string& prefix, const Integer& value, FlagsAnswer& out,
                      std::string* error) const {
    std::vector<std::uint32_t> firsts;
    std::vector<Integer> values;
    RunTracker runs(true, nullptr, [&](const Run& run) {
        const std::size_t first = run.First();
        if (first == std::string::npos || !run.values[first] || !NameMatches(prefix, run.name)) return;
        // A 32-bit word is made of 32-bit values only.
        if (value.Is32() && !run.values[first]->Is32()) return;
        firsts.push_back(run.pointers[first]);
        values.push_back(*run.values[first]);
    });
    if (!WalkRuns(file_, FixedPrefix(prefix), false, runs, error)) return false;
    std::vector<ConstantRow> rows;
    if (!file_.ReadRows(firsts, rows, error)) return false;
    std::vector<FlagName> candidates;
    for (std::size_t i = 0; i < rows.size(); ++i) candidates.push_back({rows[i].name, values[i].Pattern(), rows[i].source});
    out.value = value;
    out.candidates = candidates.size();
    out.split = SplitFlags(value.Pattern(), candidates);
    for (const FlagPart& part : out.split.parts) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const ConstantRow& r) { return r.name == part.name; });
        for (Constant& c : ConstantsOf({*row}, {true})) out.parts.push_back(std::move(c));
    }
    return true;
}

}  // namespace finder
