#include "tools/kind_tables.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "jet/index_key.h"
#include "jet/utf.h"

namespace tools {
namespace {

struct Given {
    std::vector<const KindConstant*> values;  // distinct values, first first
};

std::string Note(const KindSource& s, const KindConstant& c) {
    const std::string& space = s.constants->spaces[c.space];
    if (!s.header) return space;
    const std::string file = std::filesystem::path(space).filename().string();
    return s.name == "mingw-w64" ? file : file + " (" + s.name + ")";
}

std::size_t KindIndex(const std::string& kind) {
    static const char* const kinds[] = {"guid", "iid", "clsid", "string", "propkey", "devpropkey"};
    for (std::size_t i = 0; i < 6; ++i)
        if (kind == kinds[i]) return i;
    return 3;  // stringA, stringW
}

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

}  // namespace

std::vector<KindRow> MergeKindSources(const std::vector<KindSource>& sources, KindReport& report) {
    report = KindReport{};
    // Per source, its constants by name (stable: the file's order within a name).
    std::vector<std::vector<const KindConstant*>> sorted(sources.size());
    for (std::size_t s = 0; s < sources.size(); ++s) {
        report.sources.push_back(sources[s].name);
        for (const KindConstant& c : sources[s].constants->constants) sorted[s].push_back(&c);
        std::stable_sort(sorted[s].begin(), sorted[s].end(),
                         [](const KindConstant* a, const KindConstant* b) { return a->name < b->name; });
    }
    report.sourceNames.assign(sources.size(), 0);
    report.onlyHere.assign(sources.size(), 0);
    report.firstAgrees.assign(sources.size(), 0);
    std::vector<KindRow> rows;
    std::vector<std::size_t> at(sources.size(), 0);
    for (;;) {
        std::string_view name;
        bool any = false;
        for (std::size_t s = 0; s < sources.size(); ++s)
            if (at[s] < sorted[s].size() && (!any || sorted[s][at[s]]->name < name)) {
                name = sorted[s][at[s]]->name;
                any = true;
            }
        if (!any) break;
        std::vector<Given> given(sources.size());
        std::size_t present = 0, last = 0;
        for (std::size_t s = 0; s < sources.size(); ++s) {
            while (at[s] < sorted[s].size() && sorted[s][at[s]]->name == name) {
                const KindConstant* c = sorted[s][at[s]++];
                if (c->value.size() > kMaxTextLength) {
                    ++report.tooLong;
                    continue;
                }
                auto& v = given[s].values;
                if (std::none_of(v.begin(), v.end(), [&](const KindConstant* w) { return w->value == c->value; })) v.push_back(c);
            }
            if (!given[s].values.empty()) {
                ++present;
                last = s;
                ++report.sourceNames[s];
            }
        }
        if (present == 1) ++report.onlyHere[last];
        if (name.size() > kMaxTextLength) {
            ++report.tooLong;
            continue;
        }
        // The value most sources give first; a tie goes to the earliest source.
        std::size_t winner = SIZE_MAX, votes = 0;
        for (std::size_t s = 0; s < sources.size(); ++s) {
            if (given[s].values.empty()) continue;
            std::size_t n = 0;
            for (const Given& g : given) n += !g.values.empty() && g.values[0]->value == given[s].values[0]->value;
            if (n > votes) {
                votes = n;
                winner = s;
            }
        }
        if (present > 1) {
            const std::size_t d = votes == present ? 0 : 2 * votes > present ? 1 : 2;
            ++report.decisions[d];
            if (d) {
                static const char* const rules[] = {"agreed", "majority", "no majority"};
                std::string line = std::string(name) + '\t' + rules[d] + '\t' + given[winner].values[0]->value;
                for (std::size_t s = 0; s < sources.size(); ++s)
                    line += '\t' + sources[s].name + ": " +
                            (given[s].values.empty() ? std::string("-") : given[s].values[0]->value + " (" + Note(sources[s], *given[s].values[0]) + ")");
                report.differences.push_back(std::move(line));
            }
        }
        const std::size_t begin = rows.size();
        if (present == 0) continue;
        const auto add = [&](std::size_t s, const KindConstant* c) {
            for (std::size_t i = begin; i < rows.size(); ++i)
                if (rows[i].value == c->value) return;
            rows.push_back({std::string(name), c->value, c->kind, Note(sources[s], *c)});
        };
        add(winner, given[winner].values[0]);
        for (std::size_t s = 0; s < sources.size(); ++s)
            for (const KindConstant* c : given[s].values) add(s, c);
        if (rows.size() > begin) {
            for (std::size_t s = 0; s < sources.size(); ++s)
                report.firstAgrees[s] += !given[s].values.empty() && given[s].values[0]->value == rows[begin].value;
            ++report.names;
            ++report.perKind[KindIndex(rows[begin].kind)];
        }
    }
    report.rows = rows.size();
    return rows;
}

jet::Table MakeKindTable(std::vector<KindRow> rows) {
    jet::Table t;
    t.name = u"api_kind_const";
    t.columns = {
        {u"symbol", jet::ColumnType::Text, 0},
        {u"value", jet::ColumnType::Text, 0},
        {u"kind", jet::ColumnType::Text, 0},
        {u"source", jet::ColumnType::Text, 0},
        {u"value_key", jet::ColumnType::Text, 0},
    };
    t.indexes.push_back({u"symbol", {u"symbol"}, false, false});
    t.indexes.push_back({u"value_key", {u"value_key"}, false, false});
    t.rows.reserve(rows.size());
    for (KindRow& r : rows) {
        jet::Value value = jet::Value::FromText(jet::Utf8ToUtf16(r.value));
        jet::ByteVec key;
        jet::Value indexed = jet::AppendKeyValue(jet::ColumnType::Text, value, key) ? value : jet::Value::Null();
        t.rows.push_back({jet::Value::FromText(jet::Utf8ToUtf16(r.name)), std::move(value),
                          jet::Value::FromText(jet::Utf8ToUtf16(r.kind)), jet::Value::FromText(jet::Utf8ToUtf16(r.source)),
                          std::move(indexed)});
        r = KindRow{};
    }
    return t;
}

jet::Table MakeErrorTextTable(const ErrorTexts& texts) {
    jet::Table t;
    t.name = u"api_error_text";
    t.columns = {
        {u"code", jet::ColumnType::LongInteger, 0},
        {u"text", jet::ColumnType::Text, 0},
        {u"source", jet::ColumnType::Text, 0},
    };
    t.indexes.push_back({u"code", {u"code"}, false, false});
    const std::string wine = "Wine";
    for (const ErrorText& e : texts.texts) {
        if (e.text.size() > kMaxTextLength) continue;
        t.rows.push_back({jet::Value::FromInteger(static_cast<std::int32_t>(e.code)), jet::Value::FromText(jet::Utf8ToUtf16(e.text)),
                          jet::Value::FromText(jet::Utf8ToUtf16(e.dll + " (" + wine + ")"))});
    }
    return t;
}

ErrorTextCounts CountErrorTexts(const std::vector<Constant>& constants, const ErrorTexts& texts) {
    ErrorTextCounts n;
    for (std::size_t i = 0; i < constants.size(); ++i) {
        const Constant& c = constants[i];
        if (i > 0 && constants[i - 1].name == c.name) continue;  // a name's first row only
        const std::uint64_t raw = c.value.Raw();
        const std::uint32_t v = static_cast<std::uint32_t>(raw);
        const bool fits32 = raw <= 0xFFFFFFFFu || (raw >> 32) == 0xFFFFFFFFu;
        if (!fits32) continue;
        if (StartsWith(c.name, "ERROR_") && v < 0x10000) {
            ++n.win32Names;
            n.win32WithText += FindErrorText(texts, v) != nullptr;
        } else if (StartsWith(c.name, "STATUS_") && (v & 0xC0000000u)) {
            ++n.ntstatusNames;
            n.ntstatusWithText += FindErrorText(texts, v) != nullptr;
        } else if ((v & 0x80000000u) && !(v & 0x10000000u) && (StartsWith(c.name, "E_") || c.name.find("_E_") != std::string::npos)) {
            ++n.hresultNames;
            if (FindErrorText(texts, v)) {
                ++n.hresultWithText;
            } else if (((v >> 16) & 0x7FF) == 7 && FindErrorText(texts, v & 0xFFFF)) {
                ++n.hresultWithText;
                ++n.hresultThroughWin32;
            }
        }
    }
    return n;
}

}  // namespace tools
