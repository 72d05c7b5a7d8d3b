#include "finder/report.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace finder {
namespace {

// How a row's value is shown: as the window shows it, except that a 64-bit
// value, which the window cuts to 32 bits in one of its boxes, is shown whole.
struct Shown {
    std::string decimal, hex, note;
};

Shown ShownOf(const Constant& c) {
    Shown s{c.window.decimal, "0x" + c.window.hex, ""};
    if (c.number && !c.number->value.Is32()) {
        s.decimal = c.number->value.Decimal();
        s.hex = c.number->hex ? "0x" + c.number->digits : c.number->value.Hex();
        if (s.decimal != c.window.decimal || s.hex != "0x" + c.window.hex)
            s.note = "64-bit; the window shows " + c.window.decimal + " and " + c.window.hex;
    }
    return s;
}

// next: the row shown after c, if any; the rows of one name are shown together.
std::string RowNote(const Constant& c, const Constant* next) {
    if (c.differs) return "differs from the first row";
    const bool othersShown = next && next->row.name == c.row.name;
    if (c.first && c.othersDiffer && !othersShown) return "other sources give other values: --all shows them";
    return "";
}

std::size_t Width(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width > Width(text) ? width - Width(text) : 0, ' ');
}

std::string Table(const std::vector<Constant>& constants, const std::string& indent) {
    std::vector<Shown> shown;
    std::size_t nameWidth = 0, decimalWidth = 0, hexWidth = 0;
    for (const Constant& c : constants) {
        shown.push_back(ShownOf(c));
        nameWidth = std::max(nameWidth, Width(c.row.name));
        decimalWidth = std::max(decimalWidth, Width(shown.back().decimal));
        hexWidth = std::max(hexWidth, Width(shown.back().hex));
    }
    std::string out;
    for (std::size_t i = 0; i < constants.size(); ++i) {
        std::string line = indent + Padded(constants[i].row.name, nameWidth) + "  " +
                           Padded(shown[i].decimal, decimalWidth) + "  " + Padded(shown[i].hex, hexWidth) + "  " +
                           constants[i].row.source;
        const Constant* next = i + 1 < constants.size() ? &constants[i + 1] : nullptr;
        for (const std::string& note : {shown[i].note, RowNote(constants[i], next)})
            if (!note.empty()) line += "  (" + note + ")";
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\n";
    }
    return out;
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::size_t NamesIn(const std::vector<Constant>& constants) {
    return static_cast<std::size_t>(std::count_if(constants.begin(), constants.end(), [&](const Constant& c) {
        return &c == &constants.front() || c.row.name != (&c - 1)->row.name;
    }));
}

bool Cut(const ListAnswer& list) { return NamesIn(list.constants) < list.total; }

std::string PatternSummary(const std::string& pattern, const ListAnswer& list) {
    if (list.total == 0) return "no names match '" + pattern + "'\n";
    std::string out = Count(list.total, "name matches", "names match") + " '" + pattern + "'";
    if (Cut(list)) out += "; the first " + std::to_string(NamesIn(list.constants)) + " shown (--limit 0 shows all)";
    return out + "\n";
}

std::string ValueSummary(const ListAnswer& list) {
    if (list.total == 0) return "no names";
    std::string out = Count(list.total, "name", "names");
    if (Cut(list))
        out += "; the first " + std::to_string(NamesIn(list.constants)) +
               " shown (--prefix P narrows them, --limit 0 shows all)";
    return out;
}

std::string ReadingHeader(const std::string& query, const Reading& r) {
    const Integer& v = r.value;
    std::string out = "'" + query + "' as " + (r.hex ? "hexadecimal" : "decimal") + ": " + v.Decimal() + " = " + v.Hex();
    if (v.width == Width::Int32 && v.Negative())
        out += " = " + Integer{v.Low32(), Width::UInt32}.Decimal() + " unsigned";
    else if (v.width == Width::UInt32 && (v.Low32() >> 31))
        out += " = " + FromHexPattern(v.Low32()).Decimal() + " as int32";
    else if (!v.Is32())
        out += " (64-bit)";
    return out + "\n";
}

std::string Hex4(std::uint32_t code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04X", code);
    return buffer;
}

std::string Hex8(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", value);
    return buffer;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
    return out;
}

std::string FacilityText(std::uint16_t facility, const std::vector<std::string>& names) {
    return "facility " + std::to_string(facility) + " (" + (names.empty() ? "no FACILITY_ name" : Joined(names)) + ")";
}

std::string Fields(const HresultFields& h, const std::vector<std::string>& facility) {
    std::string out = std::string(h.failure ? "failure" : "success") + ", " + FacilityText(h.facility, facility) +
                      ", code " + std::to_string(h.code) + " (" + Hex4(h.code) + ")";
    if (h.customer) out += ", customer bit set";
    return out;
}

std::string Fields(const NtStatusFields& s, const std::vector<std::string>& facility) {
    std::string out = std::string(SeverityName(s.severity)) + " (severity " + std::to_string(s.severity) + "), " +
                      FacilityText(s.facility, facility) + ", code " + std::to_string(s.code) + " (" +
                      Hex4(s.code) + ")";
    if (s.customer) out += ", customer bit set";
    return out;
}

std::vector<std::string> NamesOf(const std::vector<Constant>& constants) {
    std::vector<std::string> names;
    for (const Constant& c : constants)
        if (names.empty() || names.back() != c.row.name) names.push_back(c.row.name);
    return names;
}

std::string CodeText(const CodeAnswer& code) {
    const CodeReading& r = code.reading;
    std::string out;
    switch (r.kind) {
    case CodeReading::Kind::Hresult: out = "  HRESULT: " + Fields(r.hresult, code.facility) + "\n"; break;
    case CodeReading::Kind::NtStatus: out = "  NTSTATUS: " + Fields(r.status, code.ntFacility) + "\n"; break;
    case CodeReading::Kind::HresultFromNt:
        out = "  HRESULT from NTSTATUS " + Hex8(r.ntStatus) + " (FACILITY_NT_BIT): " + Fields(r.hresult, code.facility) +
              "\n    NTSTATUS " + Hex8(r.ntStatus) + ": " + Fields(r.status, code.ntFacility) + "\n";
        if (!code.ntNames.constants.empty() || code.ntNames.total > 0)
            out += "    its names: " + Joined(NamesOf(code.ntNames.constants)) + " (" + ValueSummary(code.ntNames) + ")\n";
        break;
    }
    const bool win32 = (r.kind == CodeReading::Kind::Hresult ? r.hresult.facility : r.status.facility) == kFacilityWin32;
    if (win32) {
        const std::uint16_t n = r.kind == CodeReading::Kind::Hresult ? r.hresult.code : r.status.code;
        out += "    Win32 error " + std::to_string(n) + ": " +
               (code.win32.empty() ? std::string("no name") : Joined(NamesOf(code.win32))) + "\n";
    }
    if (!code.message.empty())
        out += "    message: " + code.message + (code.messageSource.empty() ? "" : " (" + code.messageSource + ")") + "\n";
    return out;
}

std::string FlagsText(const Answer& a) {
    const FlagsAnswer& f = a.flags;
    std::string formula;
    for (const FlagPart& p : f.split.parts) formula += (formula.empty() ? "" : " | ") + p.name;
    if (f.split.remainder) {
        char rest[32];
        std::snprintf(rest, sizeof rest, "0x%llX", static_cast<unsigned long long>(f.split.remainder));
        formula += (formula.empty() ? "" : " | ") + std::string(rest);
    }
    if (f.value.Pattern() == 0) formula = f.split.zero.empty() ? "0" : Joined(f.split.zero);
    std::string out = f.value.Hex() + " = " + formula + "\n";
    out += Table(f.parts, "  ");
    // Fields and aliases under the table, one line per part that has either.
    for (const FlagPart& p : f.split.parts) {
        std::string more;
        if (!p.field.empty()) more += "in the field " + p.field + " (" + Integer{p.fieldMask, f.value.width}.Hex() + ")";
        if (!p.aliases.empty()) more += (more.empty() ? "" : "; ") + std::string("also ") + Joined(p.aliases);
        if (!more.empty()) out += "  " + p.name + ": " + more + "\n";
    }
    if (f.candidates == 0) out += "no names begin with '" + a.flagsPrefix + "'\n";
    return out;
}

void JsonConstant(JsonWriter& json, const Constant& c) {
    json.BeginObject().Member("name", c.row.name).Member("text", c.row.value).Member("source", c.row.source);
    if (c.number) {
        json.MemberNumber("value", c.number->value.Decimal())
            .Member("hex", c.number->hex ? "0x" + c.number->digits : c.number->value.Hex())
            .Member("type", WidthName(c.number->value.width));
    } else {
        json.Key("value").Null();
    }
    json.Key("window").BeginObject().Member("decimal", c.window.decimal).Member("hex", c.window.hex).EndObject();
    json.Member("first", c.first).Member("differs", c.first ? c.othersDiffer : c.differs).EndObject();
}

void JsonConstants(JsonWriter& json, const std::vector<Constant>& constants) {
    json.BeginArray();
    for (const Constant& c : constants) JsonConstant(json, c);
    json.EndArray();
}

void JsonList(JsonWriter& json, const ListAnswer& list) {
    json.MemberNumber("total", std::to_string(list.total)).Key("names");
    JsonConstants(json, list.constants);
}

void JsonNames(JsonWriter& json, const std::vector<std::string>& names) {
    json.BeginArray();
    for (const std::string& n : names) json.String(n);
    json.EndArray();
}

void JsonHresult(JsonWriter& json, const HresultFields& h, const std::vector<std::string>& facility) {
    json.BeginObject()
        .Member("failure", h.failure)
        .Member("customer", h.customer)
        .Member("nt", h.fromNt)
        .MemberNumber("facility", std::to_string(h.facility))
        .Key("facility_names");
    JsonNames(json, facility);
    json.MemberNumber("code", std::to_string(h.code)).EndObject();
}

void JsonNtStatus(JsonWriter& json, const NtStatusFields& s, const std::vector<std::string>& facility) {
    json.BeginObject()
        .MemberNumber("severity", std::to_string(s.severity))
        .Member("severity_name", SeverityName(s.severity))
        .Member("customer", s.customer)
        .MemberNumber("facility", std::to_string(s.facility))
        .Key("facility_names");
    JsonNames(json, facility);
    json.MemberNumber("code", std::to_string(s.code)).EndObject();
}

void JsonCode(JsonWriter& json, const CodeAnswer& code) {
    const CodeReading& r = code.reading;
    static const char* const kinds[] = {"HRESULT", "NTSTATUS", "HRESULT_FROM_NT"};
    json.BeginObject().Member("kind", kinds[static_cast<int>(r.kind)]).Member("value", Hex8(r.value));
    if (r.kind != CodeReading::Kind::NtStatus) {
        json.Key("hresult");
        JsonHresult(json, r.hresult, code.facility);
    }
    if (r.kind != CodeReading::Kind::Hresult) {
        json.Member("ntstatus_value", Hex8(r.ntStatus)).Key("ntstatus");
        JsonNtStatus(json, r.status, code.ntFacility);
    }
    if (r.kind == CodeReading::Kind::HresultFromNt) {
        json.Key("ntstatus_names").BeginObject();
        JsonList(json, code.ntNames);
        json.EndObject();
    }
    json.Key("win32_names");
    JsonConstants(json, code.win32);
    json.Member("message", code.message).Member("message_source", code.messageSource).EndObject();
}

void JsonValue(JsonWriter& json, const ValueAnswer& v) {
    json.BeginObject()
        .Member("base", v.reading.hex ? "hexadecimal" : "decimal")
        .MemberNumber("value", v.reading.value.Decimal())
        .Member("hex", v.reading.value.Hex())
        .Member("type", WidthName(v.reading.value.width));
    JsonList(json, v.names);
    json.Key("error_codes").BeginArray();
    for (const CodeAnswer& c : v.codes) JsonCode(json, c);
    json.EndArray().EndObject();
}

void JsonFlags(JsonWriter& json, const Answer& a) {
    const FlagsAnswer& f = a.flags;
    json.Member("prefix", a.flagsPrefix).MemberNumber("value", f.value.Decimal()).Member("hex", f.value.Hex());
    json.Key("parts").BeginArray();
    for (std::size_t i = 0; i < f.split.parts.size(); ++i) {
        const FlagPart& p = f.split.parts[i];
        json.BeginObject().Member("name", p.name).Member("hex", Integer{p.pattern, f.value.width}.Hex());
        json.Key("aliases");
        JsonNames(json, p.aliases);
        if (!p.field.empty()) json.Member("field", p.field).Member("field_mask", Integer{p.fieldMask, f.value.width}.Hex());
        json.Key("row");
        JsonConstant(json, f.parts[i]);
        json.EndObject();
    }
    char rest[32];
    std::snprintf(rest, sizeof rest, "0x%llX", static_cast<unsigned long long>(f.split.remainder));
    json.EndArray().Member("remainder", rest).Key("zero_names");
    JsonNames(json, f.split.zero);
}

}  // namespace

bool Answer::Found() const {
    switch (kind) {
    case Kind::Name: return !names.empty() || api.Found();
    case Kind::Pattern: return list.total > 0;
    case Kind::Value:
        return std::any_of(values.begin(), values.end(), [](const ValueAnswer& v) {
            return v.names.total > 0 || std::any_of(v.codes.begin(), v.codes.end(), [](const CodeAnswer& c) {
                       return !c.win32.empty() || c.ntNames.total > 0;
                   });
        });
    case Kind::Flags: return !flags.split.parts.empty() || !flags.split.zero.empty();
    }
    return false;
}

std::string TextReport(const Answer& a) {
    switch (a.kind) {
    case Answer::Kind::Name:
        if (!a.Found()) return "no constant, function or type named '" + a.query + "'\n";
        return (a.names.empty() ? std::string() : Table(a.names, "")) + ApiText(a.api);
    case Answer::Kind::Pattern: return Table(a.list.constants, "") + PatternSummary(a.query, a.list);
    case Answer::Kind::Value: {
        std::string out;
        for (const ValueAnswer& v : a.values) {
            out += ReadingHeader(a.query, v.reading) + Table(v.names.constants, "  ") + "  " +
                   ValueSummary(v.names) + "\n";
            for (const CodeAnswer& c : v.codes) out += CodeText(c);
        }
        return out;
    }
    case Answer::Kind::Flags: return FlagsText(a);
    }
    return "";
}

void JsonReport(JsonWriter& json, const Answer& a) {
    static const char* const kinds[] = {"name", "pattern", "value", "flags"};
    json.BeginObject().Member("query", a.query).Member("kind", kinds[static_cast<int>(a.kind)]);
    json.Member("found", a.Found());
    switch (a.kind) {
    case Answer::Kind::Name:
        json.Key("names");
        JsonConstants(json, a.names);
        if (a.api.Found()) ApiJson(json, a.api);
        break;
    case Answer::Kind::Pattern: JsonList(json, a.list); break;
    case Answer::Kind::Value:
        json.Key("readings").BeginArray();
        for (const ValueAnswer& v : a.values) JsonValue(json, v);
        json.EndArray();
        break;
    case Answer::Kind::Flags: JsonFlags(json, a); break;
    }
    json.EndObject();
}

void AddDeclared(const Answer& a, std::vector<Declared>& declared, std::set<std::string>& names) {
    const auto add = [&](const std::vector<Constant>& constants) {
        for (const Constant& c : constants)
            if (c.first && names.insert(c.row.name).second) declared.push_back({c.row.name, c.row.value});
    };
    add(a.names);
    add(a.list.constants);
    for (const ValueAnswer& v : a.values) add(v.names.constants);
    add(a.flags.parts);
}

std::string CutNotes(const Answer& a) {
    std::string out;
    if (a.kind == Answer::Kind::Pattern && Cut(a.list)) out += PatternSummary(a.query, a.list);
    for (const ValueAnswer& v : a.values)
        if (Cut(v.names)) out += "'" + a.query + "' as " + (v.reading.hex ? "hexadecimal: " : "decimal: ") + ValueSummary(v.names) + "\n";
    return out;
}

}  // namespace finder
