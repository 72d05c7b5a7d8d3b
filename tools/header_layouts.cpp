#include "tools/header_layouts.h"

#include <algorithm>
#include <charconv>

#include "tools/gzip_text.h"
#include "tools/tsv_lines.h"

namespace tools {
namespace {

bool Fail(std::string* error, std::size_t line, const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
}

// Decimal digits only: no sign, no space, no other base.
bool Number(std::string_view text, std::uint64_t& out) {
    if (text.empty() || (text.size() > 1 && text[0] == '0')) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(' ', at);
        if (end == std::string_view::npos) end = text.size();
        if (end > at) words.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

class Parser {
public:
    explicit Parser(HeaderLayouts& out) : out_(out) {}

    bool Line(std::string_view line, std::size_t number, std::string* error) {
        if (line.empty() || line[0] == '#') return true;
        const std::vector<std::string_view> f = SplitTabs(line);
        if (f[0] == "!source") {
            if (sourced_) return Fail(error, number, "a second !source");
            if (f.size() != 4 || f[1].empty()) return Fail(error, number, "expected !source, NAME, PACKAGE and COMPILER");
            out_.source = f[1];
            out_.package = f[2];
            out_.compiler = f[3];
            sourced_ = true;
            return true;
        }
        if (!sourced_) return Fail(error, number, "a record before !source");
        if (f[0] == "!define") {
            if (f.size() != 2 || f[1].find('=') == std::string_view::npos) return Fail(error, number, "expected !define and NAME=VALUE");
            if (!out_.targets.empty()) return Fail(error, number, "!define after the first !arch");
            out_.defines.emplace_back(f[1]);
            return true;
        }
        if (f[0] == "!arch") {
            if (f.size() != 3 || f[1].empty() || f[2].empty()) return Fail(error, number, "expected !arch, ARCH and TARGET");
            for (const LayoutTarget& t : out_.targets)
                if (t.arch == f[1]) return Fail(error, number, "a second !arch " + std::string(f[1]));
            out_.targets.push_back({std::string(f[1]), std::string(f[2]), 0, {}, {}});
            return true;
        }
        if (out_.targets.empty()) return Fail(error, number, "a record before the first !arch");
        LayoutTarget& t = out_.targets.back();
        if (f[0] == "!units") {
            std::uint64_t n = 0;
            if (f.size() != 2 || !Number(f[1], n)) return Fail(error, number, "expected !units and a count");
            t.units = n;
            return true;
        }
        if (f[0] == "!failed") {
            if (f.size() != 3 || f[1].empty()) return Fail(error, number, "expected !failed, HEADER and ERROR");
            t.failed.push_back({std::string(f[1]), std::string(f[2])});
            return true;
        }
        if (f[0] == "R") return Record(f, number, t, error);
        if (f[0] == "f") return Field(f, number, t, error);
        return Fail(error, number, "unknown record '" + std::string(f[0]) + "'");
    }

private:
    static bool Record(const std::vector<std::string_view>& f, std::size_t number, LayoutTarget& t, std::string* error) {
        if (f.size() != 8 || f[1].empty() || f[5].empty())
            return Fail(error, number, "expected R, NAME, KIND, SIZE, ALIGN, HEADER, TAG and ALIASES");
        LayoutRecord r;
        r.name = f[1];
        if (f[2] != "struct" && f[2] != "union") return Fail(error, number, "kind '" + std::string(f[2]) + "' is not struct or union");
        r.isUnion = f[2] == "union";
        if (!Number(f[3], r.size)) return Fail(error, number, "size '" + std::string(f[3]) + "' is not a number");
        if (!Number(f[4], r.align) || r.align == 0 || (r.align & (r.align - 1)) != 0)
            return Fail(error, number, "alignment '" + std::string(f[4]) + "' is not a power of two");
        if (r.size % r.align != 0) return Fail(error, number, "size " + std::string(f[3]) + " is not a multiple of the alignment");
        r.header = f[5];
        r.tag = f[6];
        r.aliases = Words(f[7]);
        t.records.push_back(std::move(r));
        return true;
    }

    static bool Field(const std::vector<std::string_view>& f, std::size_t number, LayoutTarget& t, std::string* error) {
        if (t.records.empty()) return Fail(error, number, "a field before the first record");
        if (f.size() != 6 || f[1].empty() || f[4].empty()) return Fail(error, number, "expected f, NAME, OFFSET, SIZE, TYPE and BITS");
        LayoutRecord& r = t.records.back();
        LayoutField field;
        field.name = f[1];
        if (!Number(f[2], field.offset)) return Fail(error, number, "offset '" + std::string(f[2]) + "' is not a number");
        if (!Number(f[3], field.size)) return Fail(error, number, "size '" + std::string(f[3]) + "' is not a number");
        field.type = f[4];
        if (!f[5].empty()) {
            const std::size_t colon = f[5].find(':');
            std::uint64_t bit = 0, width = 0;
            if (colon == std::string_view::npos || !Number(f[5].substr(0, colon), bit) || !Number(f[5].substr(colon + 1), width) ||
                bit > 7 || width == 0 || width > 8 * std::max<std::uint64_t>(field.size, 1))
                return Fail(error, number, "bits '" + std::string(f[5]) + "' are not BIT:WIDTH");
            field.bitField = true;
            field.bit = static_cast<unsigned>(bit);
            field.width = static_cast<unsigned>(width);
            if (field.offset * 8 + bit + width > r.size * 8) return Fail(error, number, "field " + field.name + " ends after its record");
        } else if (field.offset > r.size || field.size > r.size - field.offset) {
            return Fail(error, number, "field " + field.name + " ends after its record");
        }
        r.fields.push_back(std::move(field));
        return true;
    }

    HeaderLayouts& out_;
    bool sourced_ = false;
};

}  // namespace

const LayoutRecord* FindLayout(const LayoutTarget& target, std::string_view name) {
    auto it = std::lower_bound(target.records.begin(), target.records.end(), name,
                               [](const LayoutRecord& r, std::string_view n) { return r.name < n; });
    if (it != target.records.end() && it->name == name) return &*it;
    for (const LayoutRecord& r : target.records)  // a file whose records are not sorted
        if (r.name == name) return &r;
    return nullptr;
}

const LayoutTarget* FindTarget(const HeaderLayouts& layouts, std::string_view arch) {
    for (const LayoutTarget& t : layouts.targets)
        if (t.arch == arch) return &t;
    return nullptr;
}

std::string FormatHeaderLayouts(const HeaderLayouts& in, const std::string& comment) {
    std::string out;
    ForEachLine(comment, [&](std::string_view line, std::size_t) {
        out.append("# ").append(line).append("\n");
        return true;
    });
    out += "!source\t" + in.source + '\t' + in.package + '\t' + in.compiler + '\n';
    for (const std::string& d : in.defines) out += "!define\t" + d + '\n';
    for (const LayoutTarget& t : in.targets) {
        out += "!arch\t" + t.arch + '\t' + t.target + '\n';
        out += "!units\t" + std::to_string(t.units) + '\n';
        for (const LayoutFailure& f : t.failed) out += "!failed\t" + f.header + '\t' + f.error + '\n';
        for (const LayoutRecord& r : t.records) {
            std::string aliases;
            for (const std::string& a : r.aliases) aliases += (aliases.empty() ? "" : " ") + a;
            out += "R\t" + r.name + '\t' + (r.isUnion ? "union" : "struct") + '\t' + std::to_string(r.size) + '\t' +
                   std::to_string(r.align) + '\t' + r.header + '\t' + r.tag + '\t' + aliases + '\n';
            for (const LayoutField& f : r.fields) {
                out += "f\t" + f.name + '\t' + std::to_string(f.offset) + '\t' + std::to_string(f.size) + '\t' + f.type + '\t';
                if (f.bitField) out += std::to_string(f.bit) + ':' + std::to_string(f.width);
                out += '\n';
            }
        }
    }
    return out;
}

bool ParseHeaderLayouts(std::string_view text, HeaderLayouts& out, std::string* error) {
    out = HeaderLayouts{};
    Parser parser(out);
    return ForEachLine(text, [&](std::string_view line, std::size_t number) { return parser.Line(line, number, error); });
}

bool WriteHeaderLayouts(const std::string& path, const HeaderLayouts& in, const std::string& comment, std::string* error) {
    return WriteGzipText(path, FormatHeaderLayouts(in, comment), error);
}

bool ReadHeaderLayouts(const std::string& path, HeaderLayouts& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseHeaderLayouts(text, out, why); }, error);
}

}  // namespace tools
