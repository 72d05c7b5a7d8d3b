#include "tools/source_merge.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string_view>

#include "tools/value_text.h"

namespace tools {
namespace {

// A 32-bit program cannot tell (DWORD)-1 from -1: equal when the 32 bits are.
bool SameNumber(const IntValue& a, const IntValue& b) {
    if (a.Raw() == b.Raw()) return true;
    return a.Type().bits == 32 && b.Type().bits == 32 && std::uint32_t(a.Raw()) == std::uint32_t(b.Raw());
}

// One value a source gives a name, with the text and note its row would have.
struct Value {
    IntValue value;
    std::string text;
    const std::string* note;
};

// A source's names in name order, each with its distinct values, first value first.
struct NameValues {
    std::string_view name;
    std::vector<Value> values;
};
using SourceNames = std::vector<NameValues>;

void AddDistinct(std::vector<Value>& values, Value v) {
    if (std::none_of(values.begin(), values.end(), [&](const Value& w) { return SameNumber(w.value, v.value); }))
        values.push_back(std::move(v));
}

// A header source's values of each name: best unit first (UnitRank), then in unit order.
// What only units that did not compile give counts only where nothing else gives the name.
SourceNames FromHeaders(const HeaderSource& s, const std::vector<std::string>& notes) {
    struct Entry {
        const HeaderConstant* c;
        int rank;
    };
    std::vector<Entry> entries;
    entries.reserve(s.constants.size());
    for (const HeaderConstant& c : s.constants) entries.push_back({&c, UnitRank(s.units[c.unit], c.unit, s.files[c.file])});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.c->name != b.c->name) return a.c->name < b.c->name;
        return a.rank != b.rank ? a.rank < b.rank : a.c->unit < b.c->unit;
    });
    SourceNames names;
    for (const Entry& e : entries) {
        if (names.empty() || names.back().name != e.c->name) names.push_back({e.c->name, {}});
        else if (e.rank == 3 && !names.back().values.empty()) continue;
        AddDistinct(names.back().values, {e.c->value, e.c->text, &notes[e.c->file]});
    }
    return names;
}

const NameValues* Find(const SourceNames& names, std::string_view name) {
    auto it = std::lower_bound(names.begin(), names.end(), name, [](const NameValues& n, std::string_view key) { return n.name < key; });
    return it != names.end() && it->name == name ? &*it : nullptr;
}

// The metadata's values of each name, each from its first namespace.
SourceNames FromSdk(const SdkConstants& sdk) {
    std::vector<const SdkConstant*> order;
    order.reserve(sdk.constants.size());
    for (const SdkConstant& c : sdk.constants) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const SdkConstant* a, const SdkConstant* b) { return a->name < b->name; });
    SourceNames names;
    for (const SdkConstant* c : order) {
        if (names.empty() || names.back().name != c->name) names.push_back({c->name, {}});
        AddDistinct(names.back().values, {c->value, SdkValueText(c->value, c->kind), &sdk.namespaces[c->space]});
    }
    return names;
}

// Where the metadata has NAME, NAMEA and NAMEW and NAME stands for NAMEW (the
// metadata is Unicode), a 32-bit ANSI program sees NAMEA's value.
std::size_t ResolveAnsiNames(SourceNames& names) {
    std::size_t resolved = 0;
    for (NameValues& n : names) {
        if (n.values.size() != 1) continue;
        const NameValues* a = Find(names, std::string(n.name) + "A");
        const NameValues* w = Find(names, std::string(n.name) + "W");
        if (!a || !w || a->values.size() != 1 || w->values.size() != 1) continue;
        if (!SameNumber(n.values[0].value, w->values[0].value) || SameNumber(n.values[0].value, a->values[0].value)) continue;
        n.values[0].value = a->values[0].value;
        n.values[0].text = a->values[0].text;
        ++resolved;
    }
    return resolved;
}

std::vector<std::string> HeaderNotes(const HeaderSource& s, bool primary) {
    std::vector<std::string> notes;
    notes.reserve(s.files.size());
    for (const std::string& f : s.files)
        notes.push_back(std::filesystem::path(f).filename().string() + (primary ? "" : " (" + s.name + ")"));
    return notes;
}

class Merger {
public:
    Merger(const HeaderConstants& headers, const SdkConstants* sdk, MergeReport& report) : report_(report) {
        report_ = MergeReport{};
        for (std::size_t i = 0; i < headers.sources.size(); ++i) {
            const HeaderSource& s = headers.sources[i];
            notes_.push_back(HeaderNotes(s, i == 0));
            sources_.push_back(FromHeaders(s, notes_.back()));
            report_.sources.push_back(s.name);
            report_.origins.push_back(s.package + "; " + s.compiler);
            std::vector<std::string> failed;
            for (const HeaderUnit& u : s.units)
                if (!u.error.empty()) failed.push_back(u.header + ": " + u.error);
            report_.notCompilable.push_back(std::move(failed));
        }
        headerSources_ = sources_.size();
        if (sdk) {
            sources_.push_back(FromSdk(*sdk));
            report_.awResolved = ResolveAnsiNames(sources_.back());
            report_.sources.push_back("metadata");
        }
        report_.sourceNames.assign(sources_.size(), 0);
        report_.onlyHere.assign(sources_.size(), 0);
        report_.firstAgrees.assign(sources_.size(), 0);
    }

    std::vector<Constant> Run() {
        std::vector<Constant> rows;
        std::vector<std::size_t> at(sources_.size(), 0);
        for (;;) {
            std::string_view name;
            bool any = false;
            for (std::size_t s = 0; s < sources_.size(); ++s)
                if (at[s] < sources_[s].size() && (!any || sources_[s][at[s]].name < name)) {
                    name = sources_[s][at[s]].name;
                    any = true;
                }
            if (!any) break;
            std::vector<const NameValues*> given(sources_.size(), nullptr);
            for (std::size_t s = 0; s < sources_.size(); ++s)
                if (at[s] < sources_[s].size() && sources_[s][at[s]].name == name) given[s] = &sources_[s][at[s]++];
            if (name.size() > kMaxTextLength) {
                ++report_.tooLong;
                continue;
            }
            AddName(name, given, rows);
        }
        report_.rows = rows.size();
        return rows;
    }

private:
    bool HasSdk() const { return sources_.size() > headerSources_; }

    // Who wins without a majority: the mingw-w64 header, then the other headers (a
    // compiler's view of a header), then the metadata.
    std::vector<std::size_t> TieOrder() const {
        std::vector<std::size_t> order;
        for (std::size_t s = 0; s < headerSources_; ++s) order.push_back(s);
        if (HasSdk()) order.push_back(headerSources_);
        return order;
    }

    void AddName(std::string_view name, const std::vector<const NameValues*>& given, std::vector<Constant>& rows) {
        std::size_t present = 0, last = 0;
        for (std::size_t s = 0; s < given.size(); ++s)
            if (given[s]) {
                ++present;
                last = s;
                ++report_.sourceNames[s];
            }
        if (present == 1) ++report_.onlyHere[last];
        ++report_.names;
        const std::size_t winner = Winner(given, present);
        const IntValue& first = given[winner]->values[0].value;
        // The row of the first value: a header's where one gives it first, for the header's own text.
        std::size_t shown = winner;
        for (std::size_t s = 0; s < given.size(); ++s)
            if (given[s] && SameNumber(given[s]->values[0].value, first)) {
                shown = s;
                break;
            }
        for (std::size_t s = 0; s < given.size(); ++s)
            if (given[s] && SameNumber(given[s]->values[0].value, first)) ++report_.firstAgrees[s];
        const std::size_t begin = rows.size();
        AddRow(name, given[shown]->values[0], begin, rows);
        for (const NameValues* g : given)
            if (g)
                for (const Value& v : g->values) AddRow(name, v, begin, rows);
    }

    // The source whose first value comes first; counts the decision.
    std::size_t Winner(const std::vector<const NameValues*>& given, std::size_t present) {
        std::size_t best = SIZE_MAX, votes = 0;
        for (std::size_t s = 0; s < given.size(); ++s) {
            if (!given[s]) continue;
            std::size_t n = 0;
            for (const NameValues* g : given) n += g && SameNumber(g->values[0].value, given[s]->values[0].value);
            if (n > votes) {
                votes = n;
                best = s;
            }
        }
        if (present == 1) return best;
        const bool mingw = headerSources_ > 0 && given[0];
        if (votes == present) {
            Count(Decision::Agreed, given, best);
            return best;
        }
        if (2 * votes > present) {
            Count(mingw && SameNumber(given[0]->values[0].value, given[best]->values[0].value) ? Decision::MajorityWithMingw
                                                                                                : Decision::MajorityOverMingw,
                  given, best);
            return best;
        }
        for (std::size_t s : TieOrder())
            if (given[s]) {
                Count(mingw ? Decision::NoMajorityMingw : s < headerSources_ ? Decision::NoMajorityWine : Decision::NoMajoritySdk,
                      given, s);
                return s;
            }
        return best;
    }

    void Count(Decision d, const std::vector<const NameValues*>& given, std::size_t winner) {
        ++report_.decisions[static_cast<std::size_t>(d)];
        if (d == Decision::Agreed) return;
        std::string line = std::string(given[winner]->name) + '\t' + DecisionText(d) + '\t' + given[winner]->values[0].text;
        for (std::size_t s = 0; s < given.size(); ++s) {
            line += '\t' + report_.sources[s] + ": ";
            line += given[s] ? given[s]->values[0].text + " (" + *given[s]->values[0].note + ")" : std::string("-");
        }
        report_.differences.push_back(std::move(line));
    }

    static void AddRow(std::string_view name, const Value& v, std::size_t begin, std::vector<Constant>& rows) {
        for (std::size_t i = begin; i < rows.size(); ++i)
            if (SameNumber(rows[i].value, v.value)) return;
        rows.push_back({std::string(name), v.text, *v.note, v.value});
    }

    MergeReport& report_;
    std::deque<std::vector<std::string>> notes_;  // per header source and file; values point into them
    std::vector<SourceNames> sources_;            // the header sources in order, then the metadata
    std::size_t headerSources_ = 0;
};

}  // namespace

const char* DecisionText(Decision d) {
    switch (d) {
    case Decision::Agreed: return "agreed";
    case Decision::MajorityWithMingw: return "majority with mingw-w64";
    case Decision::MajorityOverMingw: return "majority over mingw-w64";
    case Decision::NoMajorityMingw: return "no majority, mingw-w64 first";
    case Decision::NoMajoritySdk: return "no majority, metadata first";
    case Decision::NoMajorityWine: return "no majority, Wine first";
    case Decision::Count: break;
    }
    return "?";
}

std::vector<Constant> MergeSources(const HeaderConstants& headers, const SdkConstants* sdk, MergeReport& report) {
    return Merger(headers, sdk, report).Run();
}

}  // namespace tools
