#include "tools/error_texts.h"

#include <algorithm>

#include "tools/gzip_text.h"
#include "tools/tsv_lines.h"

namespace tools {
namespace {

bool Fail(std::string* error, std::size_t line, const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
}

bool ParseCode(std::string_view t, std::uint32_t& code) {
    if (t.size() != 8) return false;
    code = 0;
    for (char c : t) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return false;
        code = code * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

// \\, \n, \r, \t back to their characters; false for anything else after a backslash.
bool Unescape(std::string_view e, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i] != '\\') {
            out += e[i];
            continue;
        }
        if (++i == e.size()) return false;
        switch (e[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: return false;
        }
    }
    return true;
}

}  // namespace

bool ParseErrorTexts(std::string_view text, ErrorTexts& out, std::string* error) {
    out = ErrorTexts{};
    return ForEachLine(text, [&](std::string_view line, std::size_t number) {
        if (line.empty() || line[0] == '#') return true;
        const std::vector<std::string_view> f = SplitTabs(line);
        if (f[0] == "!source") {
            for (std::size_t i = 1; i < f.size(); ++i) out.origin += (i > 1 ? " " : "") + std::string(f[i]);
            return true;
        }
        ErrorText t;
        if (f.size() != 3 || f[1].empty()) return Fail(error, number, "expected CODE, DLL and TEXT");
        if (!ParseCode(f[0], t.code)) return Fail(error, number, "'" + std::string(f[0]) + "' is not 8 upper-case hexadecimal digits");
        if (!Unescape(f[2], t.text)) return Fail(error, number, "malformed escape in the text");
        t.dll.assign(f[1]);
        if (!out.texts.empty() && (out.texts.back().code > t.code || (out.texts.back().code == t.code && out.texts.back().dll >= t.dll)))
            return Fail(error, number, "out of order: codes ascend, a DLL once per code");
        out.texts.push_back(std::move(t));
        return true;
    });
}

bool ReadErrorTexts(const std::string& path, ErrorTexts& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseErrorTexts(text, out, why); }, error);
}

const ErrorText* FindErrorText(const ErrorTexts& texts, std::uint32_t code) {
    auto it = std::lower_bound(texts.texts.begin(), texts.texts.end(), code,
                               [](const ErrorText& t, std::uint32_t c) { return t.code < c; });
    return it != texts.texts.end() && it->code == code ? &*it : nullptr;
}

}  // namespace tools
