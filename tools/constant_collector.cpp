#include "tools/constant_collector.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "tools/expression.h"
#include "tools/header_walker.h"
#include "tools/release_memory.h"
#include "tools/value_text.h"

namespace constdb {
namespace {

struct Outcome {
    bool ok = false;
    IntValue value;
    std::string text;
    std::string error;
};

struct Candidate {
    std::string_view name;  // views the header set's own copy
    IntValue value;
    std::string text;
    const std::string* file;
    int rank;               // 0 for what <windows.h> shows, then by Reach
    bool skippedEnum;       // an enum member met only in a skipped branch
    std::size_t order;
};

// One flat list sorted by name rather than a map of lists: no node or list per name.
using Candidates = std::deque<Candidate>;

class Collector {
public:
    explicit Collector(const HeaderSet& h) : h_(h), memberDone_(h.enumMembers.size(), State::Pending), members_(h.enumMembers.size()) {
        ChooseMembers();
        ChooseMacros();
    }

    std::vector<Constant> Run(CollectReport& report) {
        // In order, so that implicit values follow already known predecessors.
        for (std::size_t i = 0; i < h_.enumMembers.size(); ++i) Member(i);
        Candidates candidates;
        AddDefinitions(candidates, report);
        AddMembers(candidates, report);
        ForgetEvaluation();
        return Rows(candidates, report);
    }

private:
    void AddDefinitions(Candidates& candidates, CollectReport& report) {
        for (std::size_t i = 0; i < h_.definitions.size(); ++i) {
            const Definition& d = h_.definitions[i];
            if (d.reach == Reach::Predefined) continue;
            ++report.definitions;
            if (d.macro.functionLike) { ++report.skipped["function-like macro"]; continue; }
            Outcome o = EvaluateMacro(d.macro);
            if (!o.ok) { ++report.skipped[o.error]; continue; }
            bool shown = ShownByWindowsH(d.macro.name) == &d.macro;
            candidates.push_back({d.macro.name, o.value, std::move(o.text), d.file, shown ? 0 : 1 + int(d.reach), false, i});
        }
    }

    // Enums are also read through skipped branches; their values can be off where a branch
    // split the enum, so those serve only names nothing else defines (see Rows).
    void AddMembers(Candidates& candidates, CollectReport& report) {
        for (std::size_t i = 0; i < h_.enumMembers.size(); ++i) {
            const EnumMember& m = h_.enumMembers[i];
            const bool skipped = m.reach == Reach::Inactive;
            if (!skipped) ++report.enumMembers;
            const Outcome& o = Member(i);
            if (!o.ok) {
                if (!skipped) ++report.skipped[o.error];
                continue;
            }
            bool shown = m.reach == Reach::WindowsH && !ShownByWindowsH(m.source.name) && preferredMember_.at(m.source.name) == i;
            candidates.push_back({m.source.name, o.value, o.text, m.file, shown ? 0 : 1 + int(m.reach), skipped,
                                  h_.definitions.size() + i});
        }
    }

    // Everything evaluated: only the candidates remain to be sorted into rows.
    void ForgetEvaluation() {
        macros_ = {};
        preferredMember_ = {};
        memberDone_ = {};
        members_ = {};
        ReleaseFreedMemory();
    }

    enum class State { Pending, Busy, Done };

    // What a name expands to: the macro in force after <windows.h>, else at the end, else
    // the first met in force. A definition from a skipped branch serves only names that
    // the build knows as nothing else (winsock.h's 64-bit `#define u_long` must not hide
    // the typedef).
    void ChooseMacros() {
        for (const auto* table : {&h_.afterWindowsH, &h_.atEnd})
            for (const auto& [name, index] : *table) macros_.emplace(name, &h_.definitions[index].macro);
        for (const Definition& d : h_.definitions)
            if (d.reach != Reach::Inactive) macros_.emplace(d.macro.name, &d.macro);
        for (const Definition& d : h_.definitions) {
            const std::string& name = d.macro.name;
            if (d.reach != Reach::Inactive || h_.types.Find(name)) continue;
            auto member = preferredMember_.find(name);
            if (member != preferredMember_.end() && h_.enumMembers[member->second].reach != Reach::Inactive) continue;
            macros_.emplace(name, &d.macro);
        }
    }

    void ChooseMembers() {
        for (std::size_t i = 0; i < h_.enumMembers.size(); ++i) {
            const EnumMember& m = h_.enumMembers[i];
            auto [it, fresh] = preferredMember_.emplace(m.source.name, i);
            if (!fresh && m.reach < h_.enumMembers[it->second].reach) it->second = i;
        }
    }

    // The macro in force after #include <windows.h>, if any.
    const Macro* ShownByWindowsH(const std::string& name) const {
        auto it = h_.afterWindowsH.find(name);
        return it == h_.afterWindowsH.end() ? nullptr : &h_.definitions[it->second].macro;
    }

    const Macro* FindMacro(const std::string& name) const {
        auto it = macros_.find(name);
        return it == macros_.end() ? nullptr : it->second;
    }

    Outcome EvaluateTokens(const Tokens& body) {
        Outcome o;
        Tokens expanded;
        MacroExpander expander([this](const std::string& n) { return FindMacro(n); });
        if (!expander.Expand(body, expanded, &o.error)) return o;
        EvalEnv env;
        env.types = &h_.types;
        env.identifier = [this](const std::string& n) { return MemberValue(n); };
        EvalResult r = Evaluate(expanded, env);
        if (!r.ok) {
            o.error = r.error;
            const Macro* left = r.error == "undefined identifier" ? FindMacro(r.subject) : nullptr;
            if (left && !left->functionLike) o.error = "self-referential macro";
            return o;
        }
        o.ok = true;
        o.value = r.value;
        std::optional<std::string> literal = SingleHexLiteralText(expanded);
        o.text = literal ? *literal : FormatValueText(r.value, r.anyHex);
        return o;
    }

    Outcome EvaluateMacro(const Macro& m) {
        if (m.body.empty()) return {false, {}, {}, "empty definition"};
        return EvaluateTokens(m.body.Unpack());
    }

    std::optional<IntValue> MemberValue(const std::string& name) {
        auto it = preferredMember_.find(name);
        if (it == preferredMember_.end()) return std::nullopt;
        const Outcome& o = Member(it->second);
        return o.ok ? std::optional<IntValue>(o.value) : std::nullopt;
    }

    const Outcome& Member(std::size_t i) {
        if (memberDone_[i] == State::Done) return members_[i];
        if (memberDone_[i] == State::Busy || depth_ > 64) {
            static const Outcome cycle{false, {}, {}, "circular enum reference"};
            return cycle;
        }
        memberDone_[i] = State::Busy;
        ++depth_;
        members_[i] = ComputeMember(i);
        --depth_;
        memberDone_[i] = State::Done;
        return members_[i];
    }

    Outcome ComputeMember(std::size_t i) {
        const EnumMemberSource& s = h_.enumMembers[i].source;
        if (s.broken) return {false, {}, {}, "unreadable enum member"};
        if (!s.initializer.empty()) return EvaluateTokens(s.initializer);
        if (!s.follows) return {true, IntValue::FromInt(0), "0", {}};
        const Outcome& prev = Member(i - 1);
        if (!prev.ok) return {false, {}, {}, "follows an unknown enum member"};
        IntValue v = IntValue::Of(prev.value.Raw() + 1, prev.value.Type());
        return {true, v, FormatValueText(v, false), {}};
    }

    static bool SameValue(const IntValue& a, const IntValue& b) {
        return a.Raw() == b.Raw() && a.IsNegative() == b.IsNegative();
    }

    // Candidates (sorted) that repeat a value their name already has: an upper bound
    // of the rows is then the rest, and the rows need no growing.
    static std::size_t DuplicateValues(const Candidates& cs) {
        std::size_t n = 0;
        for (std::size_t i = 1, first = 0; i < cs.size(); ++i) {
            if (cs[i].name != cs[first].name) {
                first = i;
                continue;
            }
            for (std::size_t j = first; j < i; ++j)
                if (SameValue(cs[j].value, cs[i].value)) { ++n; break; }
        }
        return n;
    }

    std::vector<Constant> Rows(Candidates& cs, CollectReport& report) {
        std::sort(cs.begin(), cs.end(), [](const Candidate& a, const Candidate& b) {
            if (a.name != b.name) return a.name < b.name;
            return a.rank != b.rank ? a.rank < b.rank : a.order < b.order;
        });
        std::vector<Constant> rows;
        rows.reserve(cs.size() - DuplicateValues(cs));
        for (auto group = cs.begin(); group != cs.end();) {
            auto end = std::find_if(group, cs.end(), [&](const Candidate& c) { return c.name != group->name; });
            const bool definedElsewhere = std::any_of(group, end, [](const Candidate& c) { return !c.skippedEnum; });
            const auto used = [&](const Candidate& c) { return !c.skippedEnum || !definedElsewhere; };
            if (group->name.size() > kMaxTextLength) {  // would not fit the name column
                report.skipped["name too long"] += static_cast<std::size_t>(std::count_if(group, end, used));
                group = end;
                continue;
            }
            std::size_t first = rows.size();
            for (; group != end; ++group) {
                if (!used(*group)) continue;
                bool seen = std::any_of(rows.begin() + first, rows.end(), [&](const Constant& r) { return SameValue(r.value, group->value); });
                if (!seen) rows.push_back({std::string(group->name), std::move(group->text), *group->file, group->value, group->rank == 0});
            }
        }
        cs.clear();
        report.names = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) report.names += i == 0 || rows[i].name != rows[i - 1].name;
        report.rows = rows.size();
        return rows;
    }

    const HeaderSet& h_;
    std::unordered_map<std::string_view, const Macro*> macros_;
    std::unordered_map<std::string_view, std::size_t> preferredMember_;
    std::vector<State> memberDone_;
    std::vector<Outcome> members_;
    int depth_ = 0;
};

}  // namespace

std::vector<Constant> CollectConstants(const HeaderSet& headers, CollectReport* report) {
    CollectReport local;
    CollectReport& r = report ? *report : local;
    r.headersRead = headers.headersRead;
    r.conditionsUnevaluated = headers.conditionsUnevaluated;
    return Collector(headers).Run(r);
}

std::vector<Constant> CollectConstantsFromFolders(const std::vector<std::string>& folders, CollectReport* report) {
    HeaderSet headers = HeaderWalker(folders).Walk();
    return CollectConstants(headers, report);
}

}  // namespace constdb
