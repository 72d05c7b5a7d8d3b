#include "tools/header_functions.h"

#include <algorithm>

#include "tools/gzip_text.h"
#include "tools/tsv_lines.h"

namespace tools {
namespace {

bool Fail(std::string* error, std::size_t line, const std::string& why) {
    if (error) *error = line ? "line " + std::to_string(line) + ": " + why : why;
    return false;
}

const char* const kCalls[] = {"stdcall", "cdecl", "fastcall", "vectorcall", "thiscall", "other"};

bool KnownCall(std::string_view call) {
    return std::find(std::begin(kCalls), std::end(kCalls), call) != std::end(kCalls);
}

bool ParseFlags(std::string_view flags, HeaderFunction& f) {
    for (std::size_t at = 0; at < flags.size();) {
        std::size_t end = flags.find(',', at);
        if (end == std::string_view::npos) end = flags.size();
        const std::string_view w = flags.substr(at, end - at);
        if (w == "variadic") f.variadic = true;
        else if (w == "noproto") f.noPrototype = true;
        else if (w == "inline") f.isInline = true;
        else return false;
        at = end + 1;
    }
    return true;
}

std::string FlagsText(const HeaderFunction& f) {
    std::string out;
    const auto add = [&](bool on, const char* word) {
        if (on) out += (out.empty() ? "" : ",") + std::string(word);
    };
    add(f.variadic, "variadic");
    add(f.noPrototype, "noproto");
    add(f.isInline, "inline");
    return out;
}

template <typename T>
bool SortedUnique(std::vector<T>& items, std::string* duplicate) {
    std::stable_sort(items.begin(), items.end(), [](const T& a, const T& b) { return a.name < b.name; });
    const auto twice = std::adjacent_find(items.begin(), items.end(), [](const T& a, const T& b) { return a.name == b.name; });
    if (twice == items.end()) return true;
    *duplicate = twice->name;
    return false;
}

bool Line(std::string_view line, std::size_t number, HeaderFunctions& out, bool& sourced, std::string* error) {
    if (line.empty() || line[0] == '#') return true;
    const std::vector<std::string_view> f = SplitTabs(line);
    if (f[0] == "!source") {
        if (sourced) return Fail(error, number, "a second !source");
        if (f.size() != 4 || f[1].empty()) return Fail(error, number, "expected !source, NAME, PACKAGE and COMPILER");
        out.source = f[1];
        out.package = f[2];
        out.compiler = f[3];
        sourced = true;
        return true;
    }
    if (!sourced) return Fail(error, number, "a record before !source");
    if (f[0] == "!error") {
        if (f.size() != 3 || f[1].empty()) return Fail(error, number, "expected !error, HEADER and ERROR");
        out.errors.push_back({std::string(f[1]), std::string(f[2])});
        return true;
    }
    if (f[0] == "F") {
        if (f.size() != 6 || f[1].empty() || f[2].empty())
            return Fail(error, number, "expected F, NAME, RETURNS, CALL, FLAGS and HEADER");
        HeaderFunction fn;
        fn.name = f[1];
        fn.returns = f[2];
        if (!KnownCall(f[3])) return Fail(error, number, "unknown calling convention '" + std::string(f[3]) + "'");
        fn.call = f[3];
        if (!ParseFlags(f[4], fn)) return Fail(error, number, "unknown flag in '" + std::string(f[4]) + "'");
        fn.header = f[5];
        out.functions.push_back(std::move(fn));
        return true;
    }
    if (f[0] == "P") {
        if (out.functions.empty()) return Fail(error, number, "a parameter before the first F");
        if (f.size() != 2 || f[1].empty()) return Fail(error, number, "expected P and TYPE");
        out.functions.back().params.emplace_back(f[1]);
        return true;
    }
    if (f[0] == "T") {
        if (f.size() != 3 || f[1].empty()) return Fail(error, number, "expected T, NAME and HEADER");
        out.typedefs.push_back({std::string(f[1]), std::string(f[2])});
        return true;
    }
    return Fail(error, number, "unknown record '" + std::string(f[0]) + "'");
}

}  // namespace

bool WritableHeaderType(const std::string& type) {
    return !type.empty() && type.find("(unnamed") == std::string::npos && type.find("(anonymous") == std::string::npos;
}

std::string CallingConventionMacro(const std::string& call) {
    if (call == "stdcall") return "WINAPI";
    if (call == "cdecl") return "WINAPIV";
    if (call == "fastcall" || call == "vectorcall" || call == "thiscall") return "__" + call;
    return {};
}

std::string FormatHeaderFunctions(const HeaderFunctions& in, const std::string& comment) {
    std::string out;
    ForEachLine(comment, [&](std::string_view line, std::size_t) {
        out.append("# ").append(line).append("\n");
        return true;
    });
    out += "!source\t" + in.source + '\t' + in.package + '\t' + in.compiler + '\n';
    for (const HeaderUnitError& e : in.errors) out += "!error\t" + e.header + '\t' + e.error + '\n';
    for (const HeaderFunction& f : in.functions) {
        out += "F\t" + f.name + '\t' + f.returns + '\t' + f.call + '\t' + FlagsText(f) + '\t' + f.header + '\n';
        for (const std::string& p : f.params) out += "P\t" + p + '\n';
    }
    for (const HeaderTypedef& t : in.typedefs) out += "T\t" + t.name + '\t' + t.header + '\n';
    return out;
}

bool ParseHeaderFunctions(std::string_view text, HeaderFunctions& out, std::string* error) {
    out = HeaderFunctions{};
    bool sourced = false;
    if (!ForEachLine(text, [&](std::string_view line, std::size_t number) { return Line(line, number, out, sourced, error); }))
        return false;
    if (!sourced) return Fail(error, 0, "no !source");
    std::string twice;
    if (!SortedUnique(out.functions, &twice)) return Fail(error, 0, "function " + twice + " declared twice");
    if (!SortedUnique(out.typedefs, &twice)) return Fail(error, 0, "typedef " + twice + " listed twice");
    return true;
}

bool WriteHeaderFunctions(const std::string& path, const HeaderFunctions& in, const std::string& comment,
                          std::string* error) {
    return WriteGzipText(path, FormatHeaderFunctions(in, comment), error);
}

bool ReadHeaderFunctions(const std::string& path, HeaderFunctions& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseHeaderFunctions(text, out, why); },
                         error);
}

const HeaderFunction* FindHeaderFunction(const HeaderFunctions& in, std::string_view name) {
    const auto at = std::lower_bound(in.functions.begin(), in.functions.end(), name,
                                     [](const HeaderFunction& f, std::string_view n) { return f.name < n; });
    return at != in.functions.end() && at->name == name ? &*at : nullptr;
}

}  // namespace tools
