// The built database's GUIDs, property keys and strings against another compiler:
// a random sample of the names the mingw-w64 headers give, each compiled by the i686
// mingw-w64 GCC after <windows.h> and its header (INITGUID defined, so that each
// GUID is defined with its bytes). GCC's bytes of the header's own GUID or string,
// read from its assembly, must be the bytes of one of the name's rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>
#include <unordered_map>

#include "tests/support/jet_reader.h"
#include "jet/utf.h"
#include "tests/support/sample_seed.h"
#include "tests/tools/run_command.h"
#include "tools/constant.h"
#include "tools/kind_constants.h"

#if defined(QALOMIR_CONSTANTS_DB) && defined(QALOMIR_HEADER_KINDS)

namespace fs = std::filesystem;

namespace tools {
namespace {

const char* kGcc = "i686-w64-mingw32-gcc-posix";
// Headers the names come from, with property keys of both kinds, and random others.
const char* const kChosen[] = {"commctrl.h", "knownfolders.h", "propkey.h", "devpkey.h", "shobjidl.h", "winnt.h"};
constexpr std::size_t kRandomHeaders = 54;
constexpr std::size_t kNamesPerHeader = 25;

using Bytes = std::string;

struct Unit {
    std::string header;
    std::vector<const KindConstant*> names;
    std::vector<Bytes> bytes;  // GCC's, per name; empty where it gave none
    std::string failure;
    bool headersRefused = false;
    std::size_t notDeclared = 0;  // names GCC does not know after <windows.h> and the header alone
};

// Each name's rows in api_kind_const: kind and value.
std::unordered_map<std::string, std::vector<std::pair<std::string, std::string>>> DatabaseRows(std::string* error) {
    std::unordered_map<std::string, std::vector<std::pair<std::string, std::string>>> rows;
    std::unique_ptr<jet::Database> db = jet::Database::Open(QALOMIR_CONSTANTS_DB, error);
    const jet::Table* table = db ? db->FindTable(u"api_kind_const") : nullptr;
    if (!table) return rows;
    for (const auto& row : table->rows)
        rows[jet::Utf16ToUtf8(row[0].text)].emplace_back(jet::Utf16ToUtf8(row[2].text), jet::Utf16ToUtf8(row[1].text));
    return rows;
}

void AppendLittleEndian(Bytes& out, std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A row's value as the bytes of the C object: a GUID's fields in memory order (and a
// key's 32-bit number after them), a string's characters and terminator.
Bytes RowBytes(const std::string& kind, const std::string& value) {
    Bytes out;
    if (IsStringKind(kind)) {
        const std::string text = UnescapeString(value).value_or("");
        if (kind == "stringW") {
            for (char16_t u : jet::Utf8ToUtf16(text)) AppendLittleEndian(out, u, 2);
            return out + std::string(2, '\0');
        }
        return text + '\0';
    }
    const auto hex = [&](std::size_t at, std::size_t n) { return std::stoull(value.substr(at, n), nullptr, 16); };
    AppendLittleEndian(out, hex(0, 8), 4);
    AppendLittleEndian(out, hex(9, 4), 2);
    AppendLittleEndian(out, hex(14, 4), 2);
    for (std::size_t at : {19, 21, 24, 26, 28, 30, 32, 34}) out += static_cast<char>(hex(at, 2));
    if (IsPropertyKeyKind(kind)) AppendLittleEndian(out, std::stoull(value.substr(37)), 4);
    return out;
}

// The characters of an .ascii directive's quoted text: GNU as's escapes.
Bytes AsciiBytes(const std::string& quoted) {
    Bytes out;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] != '\\') {
            out += quoted[i];
            continue;
        }
        const char c = quoted[++i];
        if (c >= '0' && c <= '7') {
            int v = 0;
            for (int n = 0; n < 3 && i < quoted.size() && quoted[i] >= '0' && quoted[i] <= '7'; ++n, ++i) v = v * 8 + (quoted[i] - '0');
            --i;
            out += static_cast<char>(v);
        } else {
            static const std::map<char, char> named = {{'n', '\n'}, {'t', '\t'}, {'r', '\r'}, {'f', '\f'}, {'b', '\b'}};
            out += named.count(c) ? named.at(c) : c;
        }
    }
    return out;
}

// The data after each label of GCC's assembly, and the symbol a label's .long names.
struct Assembly {
    std::map<std::string, Bytes> data;
    std::map<std::string, std::string> pointsTo;
};

Assembly ReadAssembly(const std::string& text) {
    Assembly a;
    std::istringstream lines(text);
    std::string label;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '\t' && line.back() == ':') {
            label = line.substr(0, line.size() - 1);
            a.data[label];
            continue;
        }
        if (label.empty() || line.empty() || line[0] != '\t') continue;
        std::istringstream words(line);
        std::string directive, operand;
        words >> directive;
        std::getline(words >> std::ws, operand);
        Bytes& d = a.data[label];
        if (directive == ".ascii") d += AsciiBytes(operand);
        else if (directive == ".byte") AppendLittleEndian(d, std::stoll(operand), 1);
        else if (directive == ".word" || directive == ".value") AppendLittleEndian(d, std::stoll(operand), 2);
        else if (directive == ".space" || directive == ".zero") d += std::string(std::stoul(operand), '\0');
        else if (directive == ".long" && (std::isdigit(static_cast<unsigned char>(operand[0])) || operand[0] == '-'))
            AppendLittleEndian(d, std::stoll(operand), 4);
        else if (directive == ".long") a.pointsTo[label] = operand;
        else if (directive != ".align" && directive != ".p2align") label.clear();  // the label's data ended
    }
    return a;
}

std::string Declaration(const KindConstant& c, std::size_t i) {
    const std::string q = "q_" + std::to_string(i);
    if (IsGuidKind(c.kind)) return "const GUID *const " + q + " = &(" + c.name + ");\n";
    if (c.kind == "propkey") return "const PROPERTYKEY *const " + q + " = &(" + c.name + ");\n";
    if (c.kind == "devpropkey") return "const DEVPROPKEY *const " + q + " = &(" + c.name + ");\n";
    return std::string(c.kind == "stringW" ? "const wchar_t " : "const char ") + q + "[] = " + c.name + ";\n";
}

// The lines of the source GCC reports an error on.
std::set<unsigned> ErrorLines(const std::string& out, const std::string& source) {
    std::set<unsigned> lines;
    const std::string here = source + ":";
    std::istringstream errors(out);
    for (std::string line; std::getline(errors, line);)
        if (line.compare(0, here.size(), here) == 0 && line.find("error:") != std::string::npos)
            lines.insert(static_cast<unsigned>(std::strtoul(line.c_str() + here.size(), nullptr, 10)));
    return lines;
}

// GCC's assembly of the unit, and the names it left undeclared (then declared no more).
std::string Compile(Unit& u, const fs::path& source, std::set<unsigned>& undeclared) {
    std::map<unsigned, std::size_t> nameAt;  // line -> name
    {
        std::ofstream c(source);
        c << "#define INITGUID\n#include <windows.h>\n#include <" << u.header << ">\n#include <propkeydef.h>\n"
          << "#include <devpropdef.h>\n";
        unsigned line = 6;
        for (std::size_t i = 0; i < u.names.size(); ++i)
            if (!undeclared.count(static_cast<unsigned>(i))) {
                c << Declaration(*u.names[i], i);
                nameAt[line++] = i;
            }
    }
    const std::string out = RunCommand(std::string(kGcc) + " -w -S -o - '" + source.string() + "' 2>&1");
    for (unsigned line : ErrorLines(out, source.string()))
        if (nameAt.count(line)) undeclared.insert(static_cast<unsigned>(nameAt[line]));
    return out;
}

void CompileWithGcc(Unit& u, const fs::path& dir) {
    const fs::path source = dir / ("unit-" + std::to_string(reinterpret_cast<std::uintptr_t>(&u)) + ".c");
    std::set<unsigned> undeclared;
    std::string out = Compile(u, source, undeclared);
    // A name this header declares only after another one (its unit there had both): left out.
    if (!undeclared.empty()) out = Compile(u, source, undeclared);
    u.notDeclared = undeclared.size();
    const Assembly a = ReadAssembly(out);
    u.bytes.assign(u.names.size(), Bytes());
    bool all = true;
    for (std::size_t i = 0; i < u.names.size(); ++i) {
        if (undeclared.count(static_cast<unsigned>(i))) continue;
        const std::string q = "_q_" + std::to_string(i);
        auto target = a.pointsTo.find(q);
        auto data = a.data.find(target == a.pointsTo.end() ? q : target->second);
        if (data != a.data.end()) u.bytes[i] = data->second;
        all = all && data != a.data.end();
    }
    if (all) return;
    // Errors only in the headers are GCC's stricter C (or a header another one
    // must come before), not about values.
    if (!ErrorLines(out, source.string()).empty() || out.find("error:") == std::string::npos) u.failure = out.substr(0, 2000);
    else u.headersRefused = true;
}

std::vector<Unit> Sample(const KindConstants& mingw, std::mt19937& random) {
    std::map<std::uint32_t, std::vector<const KindConstant*>> byHeader;
    for (const KindConstant& c : mingw.constants)
        if (c.value.size() <= kMaxTextLength && c.name.size() <= kMaxTextLength)  // else not in the database
            byHeader[c.space].push_back(&c);
    std::vector<std::uint32_t> chosen, others;
    for (const auto& [h, cs] : byHeader)
        (std::find(std::begin(kChosen), std::end(kChosen), mingw.spaces[h]) != std::end(kChosen) ? chosen : others).push_back(h);
    std::shuffle(others.begin(), others.end(), random);
    others.resize(std::min(others.size(), kRandomHeaders));
    chosen.insert(chosen.end(), others.begin(), others.end());
    std::vector<Unit> units;
    for (std::uint32_t h : chosen) {
        std::vector<const KindConstant*>& cs = byHeader[h];
        std::shuffle(cs.begin(), cs.end(), random);
        cs.resize(std::min(cs.size(), kNamesPerHeader));
        units.push_back({mingw.spaces[h], cs, {}, {}, false, 0});
    }
    return units;
}

TEST(KindDifferential, ASampleOfGuidsKeysAndStringsHasGccsBytesAmongItsRows) {
    if (RunCommand(std::string("command -v ") + kGcc).empty()) GTEST_SKIP() << "no " << kGcc;
    std::vector<KindConstants> extract;
    std::string error;
    ASSERT_TRUE(ReadKindSources(QALOMIR_HEADER_KINDS, extract, &error)) << error;
    ASSERT_FALSE(extract.empty());
    const auto rows = DatabaseRows(&error);
    ASSERT_FALSE(rows.empty()) << error;

    const unsigned seed = testsupport::SampleSeed();
    std::mt19937 random(seed);
    std::vector<Unit> units = Sample(extract[0], random);
    const fs::path dir = fs::temp_directory_path() / ("constdb-kinds-gcc-" + std::to_string(seed) + "-" + std::to_string(random()));
    fs::create_directories(dir);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < units.size();) CompileWithGcc(units[i], dir);
    };
    std::thread other(work);
    work();
    other.join();
    std::error_code ec;
    fs::remove_all(dir, ec);

    std::map<std::string, std::size_t> checked;
    std::string refused;
    std::size_t notDeclared = 0;
    for (const Unit& u : units) {
        EXPECT_EQ(u.failure, "") << u.header;
        if (u.headersRefused) refused += " " + u.header;
        if (!u.failure.empty() || u.headersRefused) continue;
        notDeclared += u.notDeclared;
        for (std::size_t i = 0; i < u.names.size(); ++i) {
            if (u.bytes[i].empty()) continue;  // undeclared there
            const KindConstant& c = *u.names[i];
            auto found = rows.find(c.name);
            ASSERT_NE(found, rows.end()) << c.name;
            const bool among = std::any_of(found->second.begin(), found->second.end(), [&](const auto& row) {
                // A string's row in the width it was compiled in: the sources may call it otherwise.
                return RowBytes(IsStringKind(c.kind) && IsStringKind(row.first) ? c.kind : row.first, row.second) == u.bytes[i];
            });
            EXPECT_TRUE(among) << u.header << ": " << c.name << " (" << c.kind << ") is not GCC's; the database's first row is "
                               << found->second.front().second;
            ++checked[IsStringKind(c.kind) ? "strings" : IsGuidKind(c.kind) ? "GUIDs" : "property keys"];
        }
    }
    std::size_t all = 0;
    std::printf("compared in %zu headers:", units.size());
    for (const auto& [what, n] : checked) {
        std::printf(" %zu %s", n, what.c_str());
        all += n;
    }
    std::printf("\n");
    if (!refused.empty()) std::printf("headers GCC refuses (not compared):%s\n", refused.c_str());
    std::printf("names declared only after other headers (not compared): %zu\n", notDeclared);
    EXPECT_GE(all, 500u);
    EXPECT_LE(notDeclared * 10, all) << "most names are declared by their header after <windows.h>";
}

}  // namespace
}  // namespace tools

#endif
