#include "finder/command.h"

#include <memory>

#include "jet/utf.h"
#include "finder/api_declarations.h"
#include "finder/api_file.h"
#include "finder/constants_file.h"
#include "finder/declarations.h"
#include "finder/kind_declarations.h"
#include "finder/kinds_report.h"
#include "finder/pattern.h"
#include "finder/questions.h"
#include "finder/report.h"

namespace finder {

const char kUsage[] =
    u8"Usage: qalomir-find [OPTIONS] QUERY...\n"
    u8"       qalomir-find [OPTIONS] --flags PREFIX VALUE\n"
    u8"Looks Windows API constants, functions and types up in API常量.mdb. A QUERY is a\n"
    u8"name (WM_CREATE, MessageBox, RECT, IUnknown), a pattern with * and ? (DWMWA_*), or\n"
    u8"a number (5, 0x80070005, 80070005, -2147024891); GUIDs, strings and property keys\n"
    u8"by name (IID_IUnknown), a GUID by value in any form\n"
    u8"({00000000-0000-0000-C000-000000000046}, C's initializer, 16 bytes in memory\n"
    u8"order), a string by value in double quotes (\"SysListView32\").\n"
    u8"  --db FILE       the database (default: API常量.mdb beside the program)\n"
    u8"  --lang LANG     declarations in e, c, cs, vb, vb6, delphi, rust or python\n"
    u8"  --arch ARCH     the layouts declarations follow: i686 or x86_64 (default: i686\n"
    u8"                  for e and vb6, x86_64 for the others)\n"
    u8"  --json          one JSON document with every answer\n"
    u8"  --all           every row of a name, not only the one the window shows\n"
    u8"  --limit N       names shown per list (default 50; 0: all)\n"
    u8"  --prefix P      only the names of a value that begin with P or match it\n"
    u8"  --flags PREFIX  the names beginning with PREFIX that make up VALUE\n"
    u8"  -i, --ignore-case  a string value without regard to case (window classes)\n"
    u8"Exit status: 0 found, 1 nothing found, 2 bad usage or an unreadable database.\n";

namespace {

struct Query {
    std::string text;
    std::u16string wide;
    std::size_t argument = 0;  // 1-based position among the arguments
    Answer::Kind kind = Answer::Kind::Name;
    std::vector<Reading> readings;
    bool kindValue = false;  // a GUID or a quoted string: api_kind_const alone answers
    KindAnswer kinds;
};

struct Options {
    std::string database;
    bool json = false, lang = false;
    Language language = Language::C;
    bool archGiven = false;
    Arch arch = Arch::X86_64;
    Settings settings;
    bool limitGiven = false, flags = false, help = false, ignoreCase = false;
    std::string flagsPrefix;
    std::vector<Query> queries;
};

bool Usage(std::string* error, const std::string& what) {
    *error = what;
    return false;
}

std::string Where(std::size_t argument) { return " (argument " + std::to_string(argument) + ")"; }

std::string Trimmed(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// A name, a pattern or a number: checked before the database is opened.
bool Classify(const std::string& raw, std::size_t argument, const char* what, Query& q, std::string* error) {
    // Malformed UTF-8 becomes U+FFFD here, so every text printed is UTF-8.
    q.wide = jet::Utf8ToUtf16(Trimmed(raw));
    q.text = jet::Utf16ToUtf8(q.wide);
    q.argument = argument;
    if (q.wide.empty()) return Usage(error, std::string("empty ") + what + Where(argument));
    if (q.wide.size() > kLongestQuery)
        return Usage(error, std::string(what) + " too long" + Where(argument) + ": " + std::to_string(q.wide.size()) +
                                " characters, at most " + std::to_string(kLongestQuery));
    std::string guidError;
    if (ClassifyKindValue(q.text, q.kinds, &guidError)) {
        q.kindValue = true;
        return true;
    }
    if (!guidError.empty()) return Usage(error, guidError + Where(argument));
    if (StartsLikeNumber(q.text)) {
        std::string why;
        if (!ReadTypedNumber(q.text, q.readings, &why)) return Usage(error, why + Where(argument));
        q.kind = Answer::Kind::Value;
    } else if (IsPattern(q.wide)) {
        q.kind = Answer::Kind::Pattern;
    }
    return true;
}

bool ReadLimit(const std::string& text, std::size_t& n, std::string* error) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return Usage(error, "--limit needs a whole number of names, not '" + text + "'");
    n = 0;
    for (char c : text) n = n * 10 + static_cast<std::size_t>(c - '0');
    return true;
}

bool IsOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9'); }

// One option and its value, if it takes one; i moves past what it used.
bool ReadOption(const std::vector<std::string>& args, std::size_t& i, Options& o, std::string* error) {
    const std::string& a = args[i];
    const bool takesValue =
        a == "--db" || a == "--limit" || a == "--lang" || a == "--prefix" || a == "--flags" || a == "--arch";
    if (takesValue && i + 1 >= args.size()) return Usage(error, a + " needs a value");
    const std::string value = takesValue ? args[++i] : std::string();
    Query q;
    if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--json") o.json = true;
    else if (a == "--all") o.settings.all = true;
    else if (a == "--ignore-case" || a == "-i") o.ignoreCase = true;
    else if (a == "--db") o.database = value;
    else if (a == "--limit") {
        o.limitGiven = true;
        return ReadLimit(value, o.settings.limit, error);
    } else if (a == "--lang") {
        if (!LanguageNamed(value, o.language))
            return Usage(error, "unknown language '" + value + "' (" + kLanguageNames + ")");
        o.lang = true;
    } else if (a == "--arch") {
        if (value != "i686" && value != "x86_64") return Usage(error, "unknown architecture '" + value + "' (i686, x86_64)");
        o.archGiven = true;
        o.arch = value == "i686" ? Arch::I686 : Arch::X86_64;
    } else if (a == "--prefix") {
        if (!Classify(value, i + 1, "--prefix", q, error)) return false;
        o.settings.narrow = q.wide;
    } else if (a == "--flags") {
        if (!Classify(value, i + 1, "--flags prefix", q, error)) return false;
        o.flags = true;
        o.flagsPrefix = q.text;
    } else {
        return Usage(error, "unknown option '" + a + "' (--help lists them)");
    }
    return true;
}

bool Parse(const std::vector<std::string>& args, Options& o, std::string* error) {
    bool optionsEnded = false;
    std::vector<std::pair<std::string, std::size_t>> operands;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!optionsEnded && args[i] == "--") optionsEnded = true;
        else if (optionsEnded || !IsOption(args[i])) operands.push_back({args[i], i + 1});
        else if (!ReadOption(args, i, o, error)) return false;
    }
    if (o.help) return true;
    if (o.json && o.lang) return Usage(error, "--json and --lang do not go together");
    if (!o.archGiven) o.arch = o.lang ? DefaultArch(o.language) : Arch::X86_64;
    if (operands.empty())
        return Usage(error, o.flags ? "--flags needs a value after its prefix"
                                    : "nothing to look up: give a name, a pattern or a number (--help)");
    if (o.flags && operands.size() != 1)
        return Usage(error, "--flags takes one value, not " + std::to_string(operands.size()));
    // A list narrowed by --prefix is not cut short unless --limit says so.
    if (!o.settings.narrow.empty() && !o.limitGiven) o.settings.limit = 0;
    for (const auto& operand : operands) {
        o.queries.emplace_back();
        if (!Classify(operand.first, operand.second, "query", o.queries.back(), error)) return false;
    }
    if (o.flags) {
        Query& v = o.queries[0];
        if (v.kind != Answer::Kind::Value)
            return Usage(error, "--flags needs a number, not '" + v.text + "'" + Where(v.argument));
        v.kind = Answer::Kind::Flags;
    }
    return true;
}

// Declarations of the functions and types the answers found. 易语言 text is ANSI:
// of an A/W pair it takes the A one.
std::string DeclareAnswers(Language language, Arch arch, const std::vector<Answer>& answers, const ApiFile& api) {
    std::vector<const ApiFunction*> functions;
    std::vector<const ApiType*> types;
    const auto wanted = [&](const Answer& a, const std::string& name) {
        return a.api.unicodePicks.empty() || language != Language::E || name.empty() || name.back() != 'W';
    };
    // Of a function the metadata declares per architecture (SQLDescribeCol's SQLLEN),
    // the row of the one chosen.
    const auto forArch = [&](const ApiFunction& f) {
        return f.arches.empty() || f.arches.find(arch == Arch::I686 ? "X86" : "X64") != std::string::npos;
    };
    for (const Answer& a : answers) {
        for (const ApiFunction& f : a.api.functions)
            if (wanted(a, f.name) && forArch(f)) functions.push_back(&f);
        for (const ApiType& t : a.api.types)
            if (wanted(a, t.name)) types.push_back(&t);
    }
    if (functions.empty() && types.empty()) return "";
    return DeclareApi(language, arch, functions, types, api).text;
}

// The functions and types of that name; failing those, of the name with A and with W.
bool AskApi(const ApiFile& api, const std::u16string& name, ApiAnswer& out, std::string* error) {
    if (!api.Functions(name, out.functions, error) || !api.Types(name, out.types, error)) return false;
    if (out.Found()) return true;
    ApiAnswer ansi, wide;
    if (!api.Functions(name + u"A", ansi.functions, error) || !api.Types(name + u"A", ansi.types, error) ||
        !api.Functions(name + u"W", wide.functions, error) || !api.Types(name + u"W", wide.types, error))
        return false;
    if (!ansi.Found() || !wide.Found()) return true;
    const auto nameOf = [](const ApiAnswer& a) { return a.functions.empty() ? a.types[0].name : a.functions[0].name; };
    out.unicodePicks = jet::Utf16ToUtf8(name) + ": " + nameOf(ansi) + " (ANSI) and " + nameOf(wide) +
                       " (Unicode); UNICODE picks " + nameOf(wide);
    for (auto* part : {&ansi, &wide}) {
        out.functions.insert(out.functions.end(), part->functions.begin(), part->functions.end());
        out.types.insert(out.types.end(), part->types.begin(), part->types.end());
    }
    return true;
}

bool Ask(const Questions& questions, const ApiFile* api, const Options& o, Query& q, Answer& a, std::string* error) {
    a.kind = q.kind;
    a.query = q.text;
    switch (q.kind) {
    case Answer::Kind::Name:
        if (!questions.Name(q.wide, a.names, error)) return false;
        if (api && !AskApi(*api, q.wide, a.api, error)) return false;
        if (a.Found() || !AllHexDigits(q.text)) return true;
        // No such name, but hexadecimal digits (C0000005): a number after all.
        if (!ReadTypedNumber(q.text, q.readings, nullptr)) return true;
        a.kind = q.kind = Answer::Kind::Value;
        return questions.Value(q.readings, a.values, error);
    case Answer::Kind::Pattern: return questions.Pattern(q.wide, a.list, error);
    case Answer::Kind::Value: return questions.Value(q.readings, a.values, error);
    case Answer::Kind::Flags:
        a.flagsPrefix = o.flagsPrefix;
        return questions.Flags(jet::Utf8ToUtf16(o.flagsPrefix), q.readings[0].value, a.flags, error);
    }
    return false;
}

// The GUIDs, strings and property keys a query finds, and the database's texts of its codes.
bool AskKindsToo(const KindsFile* kinds, const Options& o, Query& q, Answer& a, std::string* error) {
    if (!kinds) return true;
    if (a.kind == Answer::Kind::Value) return AddDatabaseTexts(*kinds, a.values, error);
    if (!q.kindValue && a.kind != Answer::Kind::Name && a.kind != Answer::Kind::Pattern) return true;
    if (!q.kindValue) {
        q.kinds.query = q.text;
        q.kinds.kind = a.kind == Answer::Kind::Name ? KindAnswer::Kind::Name : KindAnswer::Kind::Pattern;
    }
    return AskKinds(*kinds, o.ignoreCase, o.settings.limit, q.kinds, error);
}

// Whether the answer of api_const is shown: always, unless the query was a
// kind's value, or only api_kind_const knows the name.
bool ShowsConstants(const Query& q, const Answer& a) { return !q.kindValue && (a.Found() || !q.kinds.Found()); }

// A name nothing in the database has: said on standard error, in every mode.
bool NothingNamed(const Query& q, const Answer& a) {
    return a.kind == Answer::Kind::Name && !q.kindValue && !a.Found() && !q.kinds.Found();
}

// Declarations of the GUIDs, strings and property keys the queries found.
// A name declared as an integer is not declared again (the metadata gives a few
// integers of the headers as strings too: ISCSI_LOGIN_OPTIONS_AUTH_TYPE).
std::string DeclareKindAnswers(const Options& o, const std::vector<Query>& queries, const KindsFile* kinds,
                               const std::set<std::string>& integers, Output& err) {
    std::vector<KindConstant> rows;
    const auto add = [&](const std::vector<KindConstant>& found) {
        for (const KindConstant& k : found)
            if (!integers.count(k.name)) rows.push_back(k);
    };
    for (const Query& q : queries) {
        add(q.kinds.rows);
        add(q.kinds.keys);
        if (q.kinds.kind == KindAnswer::Kind::Pattern && q.kinds.total > o.settings.limit && o.settings.limit != 0)
            err.Write("'" + q.text + "': " + std::to_string(q.kinds.total) + " GUIDs, strings or property keys; the first " +
                      std::to_string(o.settings.limit) + " declared (--limit 0 declares all)\n");
    }
    const auto known = [&](const std::string& name) {
        std::vector<KindConstant> found;
        return kinds && kinds->Named(jet::Utf8ToUtf16(name), found, nullptr) && !found.empty();
    };
    return DeclareKinds(o.language, rows, !integers.empty(), known);
}

void Print(const Options& o, const std::vector<Query>& queries, const std::vector<Answer>& answers, const ApiFile* api,
           const KindsFile* kinds, Output& out, Output& err) {
    for (std::size_t i = 0; i < answers.size(); ++i)
        if (NothingNamed(queries[i], answers[i])) err.Write("qalomir-find: " + TextReport(answers[i]));
    if (o.json) {
        JsonWriter json;
        json.BeginObject().Member("database", o.database).Key("queries").BeginArray();
        for (std::size_t i = 0; i < answers.size(); ++i) {
            if (ShowsConstants(queries[i], answers[i])) JsonReport(json, answers[i]);
            if (queries[i].kinds.Found() || queries[i].kindValue) KindJsonReport(json, queries[i].kinds);
        }
        json.EndArray().EndObject();
        out.Write(json.Text() + "\n");
        return;
    }
    if (o.lang) {
        std::vector<Declared> declared;
        std::set<std::string> names;
        for (const Answer& a : answers) {
            AddDeclared(a, declared, names);
            err.Write(CutNotes(a));
        }
        if (!declared.empty()) out.Write(Declare(o.language, declared));
        out.Write(DeclareKindAnswers(o, queries, kinds, names, err));
        if (api) out.Write(DeclareAnswers(o.language, o.arch, answers, *api));
        return;
    }
    bool first = true;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (NothingNamed(queries[i], answers[i])) continue;
        std::string text = ShowsConstants(queries[i], answers[i]) ? TextReport(answers[i]) : std::string();
        if (queries[i].kinds.Found() || queries[i].kindValue) text += KindTextReport(queries[i].kinds);
        out.Write((first ? "" : "\n") + text);
        first = false;
    }
}

}  // namespace

int RunFind(const std::vector<std::string>& args, const std::string& defaultDatabase, Output& out, Output& err) {
    Options o;
    o.database = defaultDatabase;
    std::string error;
    if (!Parse(args, o, &error)) {
        err.Write("qalomir-find: " + error + "\n");
        return kFailed;
    }
    if (o.help) {
        out.Write(kUsage);
        return kFound;
    }
    const std::unique_ptr<ConstantsFile> file = ConstantsFile::Open(o.database, &error);
    if (!file) {
        err.Write("qalomir-find: " + error + "\n");
        return kFailed;
    }
    // A missing or another database's index only costs a walk of the table.
    const std::unique_ptr<ValueIndex> values = ValueIndex::Open(ValueIndexPath(o.database), *file, nullptr);
    const Questions questions(*file, o.settings, values.get());
    const std::unique_ptr<KindsFile> kinds = KindsFile::Open(file->Database());
    // A database of constants alone (an older one) answers names as before.
    const std::unique_ptr<ApiFile> api = ApiFile::Open(file->Database(), nullptr);
    std::vector<Answer> answers(o.queries.size());
    bool all = true;
    for (std::size_t i = 0; i < o.queries.size(); ++i) {
        Query& q = o.queries[i];
        if (q.kindValue && !kinds) {
            err.Write("qalomir-find: database '" + o.database + "' has no GUIDs or strings (no table api_kind_const)\n");
            return kFailed;
        }
        if ((!q.kindValue && !Ask(questions, api.get(), o, q, answers[i], &error)) || !AskKindsToo(kinds.get(), o, q, answers[i], &error)) {
            err.Write("qalomir-find: database '" + o.database + "': " + error + "\n");
            return kFailed;
        }
        all = all && (answers[i].Found() || q.kinds.Found());
    }
    Print(o, o.queries, answers, api.get(), kinds.get(), out, err);
    return all ? kFound : kNotFound;
}

}  // namespace finder
