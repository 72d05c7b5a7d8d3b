#include "tools/sdk_merge.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <string_view>

#include "tools/value_text.h"

namespace constdb {
namespace {

// A 32-bit program cannot tell (DWORD)-1 from -1: equal when the 32 bits are.
bool SameNumber(const IntValue& a, const IntValue& b) {
    if (a.Raw() == b.Raw()) return true;
    return a.Type().bits == 32 && b.Type().bits == 32 && std::uint32_t(a.Raw()) == std::uint32_t(b.Raw());
}

// One name's distinct metadata values, each from its first appearance.
struct SdkName {
    std::string_view name;
    std::vector<const SdkConstant*> values;
};

std::vector<SdkName> GroupByName(const SdkConstants& sdk) {
    std::vector<const SdkConstant*> order;
    order.reserve(sdk.constants.size());
    for (const SdkConstant& c : sdk.constants) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const SdkConstant* a, const SdkConstant* b) { return a->name < b->name; });
    std::vector<SdkName> names;
    for (const SdkConstant* c : order) {
        if (names.empty() || names.back().name != c->name) names.push_back({c->name, {}});
        auto& values = names.back().values;
        if (std::none_of(values.begin(), values.end(), [&](const SdkConstant* v) { return SameNumber(v->value, c->value); }))
            values.push_back(c);
    }
    return names;
}

const SdkName* Find(const std::vector<SdkName>& names, const std::string& name) {
    auto it = std::lower_bound(names.begin(), names.end(), name, [](const SdkName& n, const std::string& key) { return n.name < key; });
    return it != names.end() && it->name == name ? &*it : nullptr;
}

class Merger {
public:
    Merger(const SdkConstants& sdk, MergeReport& report) : sdk_(sdk), report_(report), names_(GroupByName(sdk)) {}

    std::vector<Constant> Run(std::vector<Constant>& headerRows) {
        report_ = MergeReport{};
        report_.sdkNames = names_.size();
        ResolveAnsiNames();
        std::vector<Constant> out;
        out.reserve(headerRows.size() + sdk_.constants.size());
        auto header = headerRows.begin();
        auto sdk = names_.begin();
        while (header != headerRows.end() || sdk != names_.end()) {
            const bool takeHeader = sdk == names_.end() || (header != headerRows.end() && header->name <= sdk->name);
            if (!takeHeader) {
                AddSdkOnly(*sdk++, out);
                continue;
            }
            auto end = std::find_if(header, headerRows.end(), [&](const Constant& c) { return c.name != header->name; });
            const bool both = sdk != names_.end() && sdk->name == header->name;
            const std::size_t first = out.size();
            std::move(header, end, std::back_inserter(out));
            ++report_.headerNames;
            if (both) AddDiffering(*sdk++, first, out);
            header = end;
        }
        return out;
    }

private:
    // Where the metadata has NAME, NAMEA and NAMEW, NAME stands for NAMEW (the
    // metadata is Unicode); a 32-bit ANSI program sees NAMEA's value.
    void ResolveAnsiNames() {
        for (SdkName& n : names_) {
            if (n.values.size() != 1) continue;
            const SdkName* a = Find(names_, std::string(n.name) + "A");
            const SdkName* w = Find(names_, std::string(n.name) + "W");
            if (!a || !w || a->values.size() != 1 || w->values.size() != 1) continue;
            if (!SameNumber(n.values[0]->value, w->values[0]->value) || SameNumber(n.values[0]->value, a->values[0]->value)) continue;
            ansi_.push_back(*n.values[0]);
            ansi_.back().value = a->values[0]->value;
            ansi_.back().kind = a->values[0]->kind;
            n.values[0] = &ansi_.back();
            ++report_.awResolved;
        }
    }

    Constant Row(const SdkConstant& c) const {
        return {c.name, SdkValueText(c.value, c.kind), sdk_.namespaces[c.space], c.value, false};
    }

    void AddSdkOnly(const SdkName& n, std::vector<Constant>& out) {
        if (n.name.size() > kMaxTextLength) {
            ++report_.tooLong;
            return;
        }
        ++report_.sdkOnlyNames;
        for (const SdkConstant* c : n.values) out.push_back(Row(*c));
        report_.sdkOnlyRows += n.values.size();
    }

    // The header's rows are out[first..]; a metadata value none of them has follows them.
    void AddDiffering(const SdkName& n, std::size_t first, std::vector<Constant>& out) {
        const std::size_t end = out.size();
        for (const SdkConstant* c : n.values) {
            if (SameNumber(out[first].value, c->value)) continue;
            ++report_.differing;
            const bool known = std::any_of(out.begin() + first, out.begin() + end, [&](const Constant& r) { return SameNumber(r.value, c->value); });
            report_.differences.push_back(out[first].name + '\t' + out[first].valueText + '\t' + SdkValueText(c->value, c->kind) + '\t' +
                                          sdk_.namespaces[c->space] + '\t' + out[first].file + (known ? "\t(a later header row agrees)" : ""));
            if (known) continue;
            out.push_back(Row(*c));
            ++report_.differingRows;
        }
    }

    const SdkConstants& sdk_;
    MergeReport& report_;
    std::vector<SdkName> names_;
    std::deque<SdkConstant> ansi_;  // NAME with NAMEA's value; deque: pointers into it stay valid
};

}  // namespace

std::vector<Constant> MergeSdkConstants(std::vector<Constant> headerRows, const SdkConstants& sdk, MergeReport& report) {
    return Merger(sdk, report).Run(headerRows);
}

}  // namespace constdb
