#include "tools/kind_constants.h"

#include <cctype>
#include <cstdint>

#include "jet/text_match.h"
#include "tools/gzip_text.h"
#include "tools/tsv_lines.h"

namespace tools {
namespace {

bool Fail(std::string* error, std::size_t line, const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
}

bool UpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool ParsePid(std::string_view text, std::uint32_t& pid) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (n > 0xFFFFFFFFu) return false;
    pid = static_cast<std::uint32_t>(n);
    return true;
}

bool ParseRecord(std::string_view line, std::size_t number, KindConstant& c, std::string* error) {
    const std::vector<std::string_view> f = SplitTabs(line);
    if (f.size() < 3 || f[1].empty()) return Fail(error, number, "expected KIND, NAME and VALUE");
    if (!IsKindName(f[0])) return Fail(error, number, "unknown kind '" + std::string(f[0]) + "'");
    c.kind.assign(f[0]);
    c.name.assign(f[1]);
    const bool key = IsPropertyKeyKind(f[0]);
    if (f.size() != (key ? 4u : 3u)) return Fail(error, number, key ? "a property key needs a GUID and a PID" : "too many fields");
    if (IsStringKind(f[0])) {
        if (!UnescapeString(f[2])) return Fail(error, number, "malformed escape in '" + std::string(f[2]) + "'");
        c.value.assign(f[2]);
        return true;
    }
    if (!IsGuidText(f[2])) return Fail(error, number, "'" + std::string(f[2]) + "' is not a GUID (8-4-4-4-12 upper-case hexadecimal digits)");
    std::uint32_t pid = 0;
    if (key && !ParsePid(f[3], pid)) return Fail(error, number, "'" + std::string(f[3]) + "' is not a property number");
    c.value = key ? PropertyKeyText(f[2], pid) : std::string(f[2]);
    return true;
}

}  // namespace

bool IsGuidKind(std::string_view k) { return k == "guid" || k == "iid" || k == "clsid"; }
bool IsStringKind(std::string_view k) { return k == "string" || k == "stringA" || k == "stringW"; }
bool IsPropertyKeyKind(std::string_view k) { return k == "propkey" || k == "devpropkey"; }
bool IsKindName(std::string_view k) { return IsGuidKind(k) || IsStringKind(k) || IsPropertyKeyKind(k); }

bool IsGuidText(std::string_view t) {
    if (t.size() != 36) return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? t[i] != '-' : !UpperHex(t[i])) return false;
    }
    return true;
}

std::string PropertyKeyText(std::string_view guid, std::uint32_t pid) { return std::string(guid) + "," + std::to_string(pid); }

std::string EscapeString(std::string_view raw) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : raw) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (ch == '\\') out += "\\\\";
        else if (ch == '\t') out += "\\t";
        else if (ch == '\n') out += "\\n";
        else if (ch == '\r') out += "\\r";
        else if (c == 0) out += "\\0";
        else if (c < 0x20 || c == 0x7F) out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        else out += ch;
    }
    return out;
}

std::optional<std::string> UnescapeString(std::string_view e) {
    std::string out;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i] != '\\') {
            out += e[i];
            continue;
        }
        if (++i == e.size()) return std::nullopt;
        switch (e[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case '0': out += '\0'; break;
        case 'x': {
            if (i + 2 >= e.size()) return std::nullopt;
            const int hi = jet::HexDigitValue(e[i + 1]), lo = jet::HexDigitValue(e[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

bool ParseKindSources(std::string_view text, std::vector<KindConstants>& out, std::string* error) {
    out.clear();
    return ForEachLine(text, [&](std::string_view line, std::size_t number) {
        if (line.empty() || line[0] == '#') return true;
        if (line.substr(0, 8) == "!source\t") {
            std::string words(line.substr(8));
            for (char& c : words)
                if (c == '\t') c = ' ';
            out.emplace_back().origin = words;
            return true;
        }
        if (line[0] == '@') {
            if (out.empty()) out.emplace_back();
            out.back().spaces.emplace_back(line.substr(1));
            return true;
        }
        if (out.empty() || out.back().spaces.empty()) return Fail(error, number, "a constant before the first namespace");
        KindConstant c;
        if (!ParseRecord(line, number, c, error)) return false;
        c.space = static_cast<std::uint32_t>(out.back().spaces.size() - 1);
        out.back().constants.push_back(std::move(c));
        return true;
    });
}

bool ParseSdkKinds(std::string_view text, KindConstants& out, std::string* error) {
    std::vector<KindConstants> sources;
    if (!ParseKindSources(text, sources, error)) return false;
    if (sources.size() > 1) {
        if (error) *error = "more than one !source";
        return false;
    }
    out = sources.empty() ? KindConstants{} : std::move(sources[0]);
    return true;
}

bool ReadSdkKinds(const std::string& path, KindConstants& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseSdkKinds(text, out, why); }, error);
}

bool ReadKindSources(const std::string& path, std::vector<KindConstants>& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseKindSources(text, out, why); }, error);
}

std::string FormatKindSources(const std::vector<KindConstants>& sources, const std::string& comment) {
    std::string out;
    ForEachLine(comment, [&](std::string_view line, std::size_t) {
        out.append("# ").append(line).append("\n");
        return true;
    });
    for (const KindConstants& s : sources) {
        out += "!source\t" + s.origin + '\n';
        std::size_t space = SIZE_MAX;
        for (const KindConstant& c : s.constants) {
            if (c.space != space) out += '@' + s.spaces[space = c.space] + '\n';
            out += c.kind + '\t' + c.name + '\t';
            if (!IsPropertyKeyKind(c.kind)) {
                out += c.value + '\n';
                continue;
            }
            std::string key = c.value;  // GUID,PID as the file's two fields
            key[key.find(',')] = '\t';
            out += key + '\n';
        }
    }
    return out;
}

bool WriteKindSources(const std::string& path, const std::vector<KindConstants>& sources, const std::string& comment,
                      std::string* error) {
    return WriteGzipText(path, FormatKindSources(sources, comment), error);
}

}  // namespace tools
