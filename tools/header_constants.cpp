#include "tools/header_constants.h"

#include <unordered_map>

#include "tools/gzip_text.h"
#include "tools/tsv_lines.h"
#include "tools/type_codes.h"

namespace tools {
namespace {

bool Fail(std::string* error, std::size_t line, const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
}

void AppendComment(std::string& out, const std::string& comment) {
    ForEachLine(comment, [&](std::string_view line, std::size_t) {
        out.append("# ").append(line).append("\n");
        return true;
    });
}

class Parser {
public:
    explicit Parser(HeaderConstants& out) : out_(out) {}

    bool Line(std::string_view line, std::size_t number, std::string* error) {
        if (line.empty() || line[0] == '#') return true;
        std::vector<std::string_view> f = SplitTabs(line);
        if (f[0] == "!source") return Source(f, number, error);
        if (out_.sources.empty()) return Fail(error, number, "a record before the first !source");
        HeaderSource& s = out_.sources.back();
        if (f[0] == "!define") {
            if (f.size() != 2 || f[1].empty()) return Fail(error, number, "expected !define and NAME=VALUE");
            s.defines.emplace_back(f[1]);
            return true;
        }
        if (f[0][0] == '@') {
            if (f.size() > 2 || f[0].size() == 1) return Fail(error, number, "expected @HEADER and an optional error");
            s.units.push_back({std::string(f[0].substr(1)), f.size() == 2 ? std::string(f[1]) : std::string()});
            return true;
        }
        if (s.units.empty()) return Fail(error, number, "a constant before the first @unit");
        return Constant(f, number, s, error);
    }

private:
    bool Source(const std::vector<std::string_view>& f, std::size_t number, std::string* error) {
        if (f.size() != 4 || f[1].empty()) return Fail(error, number, "expected !source, NAME, PACKAGE and COMPILER");
        out_.sources.push_back({});
        HeaderSource& s = out_.sources.back();
        s.name = f[1];
        s.package = f[2];
        s.compiler = f[3];
        files_.clear();
        return true;
    }

    bool Constant(const std::vector<std::string_view>& f, std::size_t number, HeaderSource& s, std::string* error) {
        if (f.size() != 5 || f[0].empty() || f[3].empty()) return Fail(error, number, "expected NAME, TYPE, VALUE, TEXT and FILE");
        const std::optional<IntType> type = TypeOfCode(f[1]);
        if (!type || f[1] == "ptr") return Fail(error, number, "unknown type '" + std::string(f[1]) + "'");
        const std::optional<IntValue> value = ParseTypedValue(f[2], *type);
        if (!value) return Fail(error, number, "value '" + std::string(f[2]) + "' is not a " + std::string(f[1]));
        const auto unit = static_cast<std::uint32_t>(s.units.size() - 1);
        const std::string file(f[4].empty() ? std::string_view(s.units.back().header) : f[4]);
        s.constants.push_back({std::string(f[0]), *value, std::string(f[3]), FileIndex(s, file), unit});
        return true;
    }

    std::uint32_t FileIndex(HeaderSource& s, const std::string& path) {
        auto [it, fresh] = files_.emplace(path, static_cast<std::uint32_t>(s.files.size()));
        if (fresh) s.files.push_back(path);
        return it->second;
    }

    HeaderConstants& out_;
    std::unordered_map<std::string, std::uint32_t> files_;  // of the current source
};

}  // namespace

int UnitRank(const HeaderUnit& unit, std::size_t unitIndex, const std::string& file) {
    if (unitIndex == 0) return 0;
    if (!unit.error.empty()) return 3;
    return unit.header == file ? 1 : 2;
}

std::string FormatHeaderConstants(const HeaderConstants& in, const std::string& comment) {
    std::string out;
    AppendComment(out, comment);
    for (const HeaderSource& s : in.sources) {
        out += "!source\t" + s.name + '\t' + s.package + '\t' + s.compiler + '\n';
        for (const std::string& d : s.defines) out += "!define\t" + d + '\n';
        std::size_t next = 0;
        for (std::size_t u = 0; u < s.units.size(); ++u) {
            out += '@' + s.units[u].header;
            if (!s.units[u].error.empty()) out += '\t' + s.units[u].error;
            out += '\n';
            for (; next < s.constants.size() && s.constants[next].unit == u; ++next) {
                const HeaderConstant& c = s.constants[next];
                const std::string& file = s.files[c.file];
                out += c.name + '\t' + CodeOfType(c.value.Type()) + '\t' + TypedValueText(c.value) + '\t' + c.text + '\t' +
                       (file == s.units[u].header ? std::string() : file) + '\n';
            }
        }
    }
    return out;
}

bool ParseHeaderConstants(std::string_view text, HeaderConstants& out, std::string* error) {
    out = HeaderConstants{};
    Parser parser(out);
    return ForEachLine(text, [&](std::string_view line, std::size_t number) { return parser.Line(line, number, error); });
}

bool WriteHeaderConstants(const std::string& path, const HeaderConstants& in, const std::string& comment, std::string* error) {
    return WriteGzipText(path, FormatHeaderConstants(in, comment), error);
}

bool ReadHeaderConstants(const std::string& path, HeaderConstants& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseHeaderConstants(text, out, why); }, error);
}

}  // namespace tools
