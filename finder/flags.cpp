#include "finder/flags.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace finder {
namespace {

struct Group {
    std::uint64_t pattern = 0;
    bool mask = false;
    std::vector<const FlagName*> names;  // preferred first
};

int Bits(std::uint64_t v) {
    int n = 0;
    for (; v; v &= v - 1) ++n;
    return n;
}

bool Within(std::uint64_t part, std::uint64_t whole) { return (part & ~whole) == 0; }

bool IsMaskName(const std::string& name) {
    std::string upper = name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper.find("MASK") != std::string::npos;
}

// Sources ranked by how many candidates come from each: the family's own header first.
std::map<std::string, int> SourceRanks(const std::vector<FlagName>& candidates) {
    std::map<std::string, int> count;
    for (const FlagName& c : candidates) ++count[c.source];
    return count;
}

std::vector<Group> GroupByValue(const std::vector<FlagName>& candidates) {
    const std::map<std::string, int> rank = SourceRanks(candidates);
    const auto preferred = [&](const FlagName* a, const FlagName* b) {
        const auto key = [&](const FlagName* n) {
            return std::make_tuple(-rank.at(n->source), std::count(n->name.begin(), n->name.end(), '_'),
                                   std::cref(n->name));
        };
        return key(a) < key(b);
    };
    std::map<std::pair<bool, std::uint64_t>, Group> groups;
    for (const FlagName& c : candidates) {
        if (c.pattern == 0) continue;
        Group& g = groups[{IsMaskName(c.name), c.pattern}];
        g.pattern = c.pattern;
        g.mask = IsMaskName(c.name);
        g.names.push_back(&c);
    }
    std::vector<Group> out;
    for (auto& entry : groups) {
        std::sort(entry.second.names.begin(), entry.second.names.end(), preferred);
        out.push_back(std::move(entry.second));
    }
    return out;
}

FlagPart PartOf(const Group& g) {
    FlagPart part;
    part.name = g.names[0]->name;
    for (std::size_t i = 1; i < g.names.size(); ++i) part.aliases.push_back(g.names[i]->name);
    part.pattern = g.pattern;
    return part;
}

// Masks that hold no other mask, narrowest first, each clear of those already taken.
std::vector<const Group*> Fields(const std::vector<Group>& groups) {
    std::vector<const Group*> masks;
    for (const Group& g : groups)
        if (g.mask) masks.push_back(&g);
    std::sort(masks.begin(), masks.end(), [](const Group* a, const Group* b) {
        return std::make_pair(Bits(a->pattern), a->pattern) < std::make_pair(Bits(b->pattern), b->pattern);
    });
    std::vector<const Group*> fields;
    std::uint64_t taken = 0;
    for (const Group* m : masks) {
        const bool holdsAnother = std::any_of(masks.begin(), masks.end(), [&](const Group* other) {
            return other != m && other->pattern != m->pattern && Within(other->pattern, m->pattern);
        });
        if (holdsAnother || (m->pattern & taken)) continue;
        fields.push_back(m);
        taken |= m->pattern;
    }
    return fields;
}

}  // namespace

FlagSplit SplitFlags(std::uint64_t value, const std::vector<FlagName>& candidates) {
    FlagSplit split;
    if (value == 0) {
        for (const FlagName& c : candidates)
            if (c.pattern == 0) split.zero.push_back(c.name);
        return split;
    }
    const std::vector<Group> groups = GroupByValue(candidates);
    std::uint64_t fieldBits = 0;
    for (const Group* field : Fields(groups)) {
        fieldBits |= field->pattern;
        const std::uint64_t inField = value & field->pattern;
        if (inField == 0) continue;  // the field's zero value goes without saying
        const auto exact = std::find_if(groups.begin(), groups.end(),
                                        [&](const Group& g) { return !g.mask && g.pattern == inField; });
        if (exact == groups.end()) {
            split.remainder |= inField;
            continue;
        }
        FlagPart part = PartOf(*exact);
        part.field = field->names[0]->name;
        part.fieldMask = field->pattern;
        split.parts.push_back(std::move(part));
    }
    std::vector<const Group*> flags;
    for (const Group& g : groups)
        if (!g.mask && !(g.pattern & fieldBits)) flags.push_back(&g);
    std::stable_sort(flags.begin(), flags.end(),
                     [](const Group* a, const Group* b) { return Bits(a->pattern) > Bits(b->pattern); });
    std::uint64_t rest = value & ~fieldBits;
    for (const Group* g : flags) {
        if (!Within(g->pattern, rest)) continue;
        split.parts.push_back(PartOf(*g));
        rest &= ~g->pattern;
    }
    split.remainder |= rest;
    std::sort(split.parts.begin(), split.parts.end(),
              [](const FlagPart& a, const FlagPart& b) { return a.pattern < b.pattern; });
    return split;
}

}  // namespace finder
