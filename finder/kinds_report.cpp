#include "finder/kinds_report.h"

#include <algorithm>

#include "finder/guid_text.h"
#include "jet/utf.h"

namespace finder {
namespace {

std::string Shown(const KindConstant& c) {
    std::string guid;
    std::uint32_t pid = 0;
    if (c.kind == "propkey" || c.kind == "devpropkey")
        return SplitPropertyKey(c.value, guid, pid) ? "{" + guid + "}, " + std::to_string(pid) : c.value;
    if (c.kind == "guid" || c.kind == "iid" || c.kind == "clsid") return "{" + c.value + "}";
    return "\"" + c.value + "\"";
}

std::string Rows(const std::vector<KindConstant>& rows, const std::string& indent) {
    std::size_t name = 0, value = 0, kind = 0;
    for (const KindConstant& c : rows) {
        name = std::max(name, c.name.size());
        value = std::max(value, Shown(c).size());
        kind = std::max(kind, c.kind.size());
    }
    std::string out;
    for (const KindConstant& c : rows) {
        const std::string v = Shown(c);
        out += indent + c.name + std::string(name - c.name.size() + 2, ' ') + v + std::string(value - v.size() + 2, ' ') + c.kind +
               std::string(kind - c.kind.size() + 2, ' ') + c.source + "\n";
    }
    return out;
}

void JsonRows(JsonWriter& json, const std::vector<KindConstant>& rows) {
    json.BeginArray();
    for (const KindConstant& c : rows) {
        json.BeginObject().Member("name", c.name).Member("kind", c.kind).Member("source", c.source);
        std::string guid;
        std::uint32_t pid = 0;
        if ((c.kind == "propkey" || c.kind == "devpropkey") && SplitPropertyKey(c.value, guid, pid))
            json.Member("value", guid).MemberNumber("pid", std::to_string(pid));
        else
            json.Member("value", c.value);
        json.EndObject();
    }
    json.EndArray();
}

bool AppendNamed(const KindsFile& file, const std::string& name, std::vector<KindConstant>& out, std::string* error) {
    std::vector<KindConstant> rows;
    if (!file.Named(jet::Utf8ToUtf16(name), rows, error)) return false;
    for (KindConstant& r : rows)
        if (std::none_of(out.begin(), out.end(), [&](const KindConstant& o) { return o.name == r.name && o.value == r.value; }))
            out.push_back(std::move(r));
    return true;
}

// C's escapes in the query ("a\tb") as the database keeps them; quotes taken off.
std::string StringValue(const std::string& quoted) { return quoted.substr(1, quoted.size() - 2); }

}  // namespace

bool ClassifyKindValue(const std::string& query, KindAnswer& a, std::string* error) {
    a.query = query;
    if (query.size() >= 2 && query.front() == '"' && query.back() == '"') {
        a.kind = KindAnswer::Kind::String;
        a.value = StringValue(query);
        return true;
    }
    if (!LooksLikeGuid(query)) return false;
    Guid g;
    if (!ParseGuid(query, g, error)) return false;
    a.kind = KindAnswer::Kind::Guid;
    a.value = g.Text();
    return true;
}

bool AskKinds(const KindsFile& file, bool ignoreCase, std::size_t limit, KindAnswer& a, std::string* error) {
    switch (a.kind) {
    case KindAnswer::Kind::Name: {
        if (!AppendNamed(file, a.query, a.rows, error)) return false;
        // NAME of a string pair: both, and which one UNICODE picks.
        const std::size_t before = a.rows.size();
        if (!AppendNamed(file, a.query + "A", a.rows, error) || !AppendNamed(file, a.query + "W", a.rows, error)) return false;
        const bool hasA = std::any_of(a.rows.begin() + static_cast<std::ptrdiff_t>(before), a.rows.end(),
                                      [&](const KindConstant& c) { return c.name.size() == a.query.size() + 1 && (c.name.back() == 'A' || c.name.back() == 'a'); });
        const bool hasW = std::any_of(a.rows.begin() + static_cast<std::ptrdiff_t>(before), a.rows.end(),
                                      [&](const KindConstant& c) { return c.name.size() == a.query.size() + 1 && (c.name.back() == 'W' || c.name.back() == 'w'); });
        if (hasA && hasW) {
            std::string base = a.rows[before].name;
            base.pop_back();
            a.unicode = base + " is " + base + "W where UNICODE is defined, " + base + "A where it is not";
        } else if (hasA != hasW) {
            // Only one of the pair: it is a name of its own (IID_IUnknownA is not a thing); drop it.
            a.rows.resize(before);
        }
        return true;
    }
    case KindAnswer::Kind::Pattern: {
        std::vector<KindConstant> rows;
        if (!file.Matching(jet::Utf8ToUtf16(a.query), rows, error)) return false;
        std::size_t names = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const bool first = i == 0 || rows[i].name != rows[i - 1].name;
            names += first;
            if (limit == 0 || names <= limit) a.rows.push_back(rows[i]);
        }
        a.total = names;
        return true;
    }
    case KindAnswer::Kind::Guid:
        if (!file.WithValue(a.value, false, true, a.rows, error)) return false;
        for (auto it = a.rows.begin(); it != a.rows.end();)
            if (it->value.size() > a.value.size()) {
                a.keys.push_back(*it);
                it = a.rows.erase(it);
            } else {
                ++it;
            }
        return true;
    case KindAnswer::Kind::String: return file.WithValue(a.value, ignoreCase, false, a.rows, error);
    }
    return true;
}

std::string KindTextReport(const KindAnswer& a) {
    std::string out;
    switch (a.kind) {
    case KindAnswer::Kind::Name:
        out = Rows(a.rows, "");
        if (!a.unicode.empty()) out += a.unicode + "\n";
        break;
    case KindAnswer::Kind::Pattern:
        out = Rows(a.rows, "");
        out += std::to_string(a.total) + (a.total == 1 ? " GUID, string or property key matches '" : " GUIDs, strings or property keys match '") +
               a.query + "'\n";
        break;
    case KindAnswer::Kind::Guid:
        out = "GUID {" + a.value + "}\n" + Rows(a.rows, "  ");
        if (a.rows.empty()) out += "  no names\n";
        if (!a.keys.empty()) out += "  property keys of this format id:\n" + Rows(a.keys, "  ");
        break;
    case KindAnswer::Kind::String:
        out = "string \"" + a.value + "\"\n" + Rows(a.rows, "  ");
        if (a.rows.empty()) out += "  no names\n";
        break;
    }
    return out;
}

void KindJsonReport(JsonWriter& json, const KindAnswer& a) {
    static const char* const kinds[] = {"name", "pattern", "guid", "string"};
    json.BeginObject().Member("query", a.query).Member("kind", kinds[static_cast<int>(a.kind)]).Member("found", a.Found());
    if (a.kind == KindAnswer::Kind::Guid || a.kind == KindAnswer::Kind::String) json.Member("value", a.value);
    json.Key("names");
    JsonRows(json, a.rows);
    if (a.kind == KindAnswer::Kind::Guid) {
        json.Key("property_keys");
        JsonRows(json, a.keys);
    }
    if (a.kind == KindAnswer::Kind::Pattern) json.MemberNumber("total", std::to_string(a.total));
    if (!a.unicode.empty()) json.Member("unicode", a.unicode);
    json.EndObject();
}

bool AddDatabaseTexts(const KindsFile& file, std::vector<ValueAnswer>& values, std::string* error) {
    for (ValueAnswer& v : values)
        for (CodeAnswer& c : v.codes) {
            if (!c.message.empty()) {
                if (c.messageSource.empty()) c.messageSource = "the system's FormatMessage";
                continue;
            }
            std::vector<std::pair<std::string, std::string>> texts;
            if (!file.Texts(c.reading.value, texts, error)) return false;
            const bool win32 = c.reading.kind == CodeReading::Kind::Hresult && c.reading.hresult.facility == kFacilityWin32;
            if (texts.empty() && win32 && !file.Texts(c.reading.hresult.code, texts, error)) return false;
            if (texts.empty()) continue;
            c.message = texts[0].first;
            for (char& ch : c.message)
                if (ch == '\n' || ch == '\r') ch = ' ';
            c.messageSource = "the database: " + texts[0].second;
        }
    return true;
}

}  // namespace finder
