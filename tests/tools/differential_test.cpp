// The built database against a fresh evaluation by another compiler: a random
// sample of a few thousand of the headers' names, each compiled by the i686
// mingw-w64 GCC in the unit it was evaluated in (<windows.h>, then its header),
// must have the value GCC gives among its rows.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>
#include <unordered_map>

#include "tests/support/jet_reader.h"
#include "jet/utf.h"
#include "tests/tools/run_command.h"
#include "tools/header_constants.h"
#include "tools/header_sources.h"
#include "tests/support/sample_seed.h"

#if defined(QALOMIR_CONSTANTS_DB) && defined(QALOMIR_HEADER_CONSTANTS)

namespace fs = std::filesystem;

namespace tools {
namespace {

const char* kGcc = "i686-w64-mingw32-gcc-posix";

// The sample: from each source, names of <windows.h>'s unit and of randomly chosen other units.
constexpr std::size_t kWindowsHNames = 800;
constexpr std::size_t kOtherUnits = 30;
constexpr std::size_t kNamesPerUnit = 50;

struct Unit {
    const HeaderSource* source;
    std::string header;
    std::vector<std::string> names;
    std::vector<std::uint64_t> values;  // GCC's, as unsigned long long
    std::string failure;
    bool headersRefused = false;  // GCC stops in the headers themselves, where clang only warns
};

// The database's value texts of each name.
std::unordered_map<std::string, std::vector<std::string>> DatabaseRows(std::string* error) {
    std::unordered_map<std::string, std::vector<std::string>> rows;
    std::unique_ptr<jet::Database> db = jet::Database::Open(QALOMIR_CONSTANTS_DB, error);
    const jet::Table* table = db ? db->FindTable(u"api_const") : nullptr;
    if (!table) return rows;
    for (const auto& row : table->rows) rows[jet::Utf16ToUtf8(row[0].text)].push_back(jet::Utf16ToUtf8(row[1].text));
    return rows;
}

std::uint64_t Number(const std::string& text) {
    return text.size() > 2 && text[1] == 'x' ? std::strtoull(text.c_str() + 2, nullptr, 16)
                                              : text[0] == '-' ? static_cast<std::uint64_t>(std::strtoll(text.c_str(), nullptr, 10))
                                              : std::strtoull(text.c_str(), nullptr, 10);
}

// GCC and the database agree where a 32-bit program cannot tell the values apart.
bool SameValue(std::uint64_t gcc, std::uint64_t db) {
    if (gcc == db) return true;
    const auto high = gcc >> 32;
    return (high == 0 || high == 0xFFFFFFFFu) && (db >> 32 == 0 || db >> 32 == 0xFFFFFFFFu) && std::uint32_t(gcc) == std::uint32_t(db);
}

std::vector<std::string> GccArgs(const HeaderSource& s) {
    std::vector<std::string> args = {"-w", "-S", "-o", "-"};
    if (s.name == "Wine") {
        args.insert(args.end(), {"-nostdinc", "-isystem", kWineFolders[0], "-isystem", kWineFolders[1]});
        for (const std::string& d : s.defines) args.push_back("-D" + d);
    }
    return args;
}

// Compiles the unit's names into variables and reads their values from the assembly.
void EvaluateWithGcc(Unit& u, const fs::path& dir) {
    const fs::path source = dir / ("unit-" + std::to_string(reinterpret_cast<std::uintptr_t>(&u)) + ".c");
    {
        std::ofstream c(source);
        c << "#include <windows.h>\n";
        if (u.header != kBaseHeader) {
            std::istringstream headers(u.header);  // one header, or those it needs and then it
            for (std::string h; headers >> h;) c << "#include <" << h << ">\n";
        }
        for (std::size_t i = 0; i < u.names.size(); ++i)
            c << "const unsigned long long qalomir_" << i << " = __builtin_choose_expr(__builtin_classify_type(" << u.names[i]
              << ") == 5, (unsigned long long)(unsigned long)(" << u.names[i] << "), (unsigned long long)(" << u.names[i] << "));\n";
    }
    std::string command = kGcc;
    for (const std::string& a : GccArgs(*u.source)) command += " '" + a + "'";
    const std::string assembly = RunCommand(command + " '" + source.string() + "' 2>&1");
    u.values.assign(u.names.size(), 0);
    std::vector<bool> seen(u.names.size(), false);
    // "_qalomir_N:" then ".long LOW" and ".long HIGH", or ".space 8" for zero.
    std::istringstream lines(assembly);
    std::size_t current = SIZE_MAX;
    std::vector<std::uint64_t> words;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 9, "_qalomir_") == 0) {
            current = std::strtoul(line.c_str() + 9, nullptr, 10);
            words.clear();
            continue;
        }
        if (current >= u.names.size()) continue;
        const std::size_t directive = line.find_first_not_of('\t');
        if (line.compare(directive, 8, ".space 8") == 0) {
            words = {0, 0};
        } else if (line.compare(directive, 5, ".long") == 0) {
            words.push_back(std::strtoull(line.c_str() + directive + 5, nullptr, 0) & 0xFFFFFFFFu);
        }
        if (words.size() == 2) {
            u.values[current] = words[1] << 32 | words[0];
            seen[current] = true;
            current = SIZE_MAX;
        }
    }
    if (std::find(seen.begin(), seen.end(), false) == seen.end()) return;
    // An error in this file is about a name; errors only in the headers are
    // GCC's stricter C (an unknown type in a prototype), not about values.
    const std::string here = source.string() + ":";
    bool errorHere = false;
    std::istringstream errors(assembly);
    for (std::string line; std::getline(errors, line);)
        if (line.find(": error:") != std::string::npos && line.compare(0, here.size(), here) == 0) errorHere = true;
    if (errorHere || assembly.find(": error:") == std::string::npos)
        u.failure = assembly.substr(0, 2000);
    else
        u.headersRefused = true;
}

std::vector<Unit> Sample(const HeaderConstants& extract, std::mt19937& random) {
    std::vector<Unit> units;
    for (const HeaderSource& s : extract.sources) {
        std::map<std::uint32_t, std::vector<const HeaderConstant*>> byUnit;
        for (const HeaderConstant& c : s.constants)
            if (s.units[c.unit].error.empty()) byUnit[c.unit].push_back(&c);
        std::vector<std::uint32_t> others;
        for (const auto& [u, cs] : byUnit)
            if (u != 0) others.push_back(u);
        std::shuffle(others.begin(), others.end(), random);
        others.resize(std::min(others.size(), kOtherUnits));
        others.insert(others.begin(), 0);
        for (std::uint32_t u : others) {
            std::vector<const HeaderConstant*>& cs = byUnit[u];
            std::shuffle(cs.begin(), cs.end(), random);
            Unit unit{&s, s.units[u].header, {}, {}, {}};
            for (std::size_t i = 0; i < cs.size() && i < (u == 0 ? kWindowsHNames : kNamesPerUnit); ++i)
                if (unit.names.empty() || std::find(unit.names.begin(), unit.names.end(), cs[i]->name) == unit.names.end())
                    unit.names.push_back(cs[i]->name);
            units.push_back(std::move(unit));
        }
    }
    return units;
}

TEST(Differential, ASampleOfNamesHasTheValueGccGivesAmongItsRows) {
    if (RunCommand(std::string("command -v ") + kGcc).empty()) GTEST_SKIP() << "no " << kGcc;
    HeaderConstants extract;
    std::string error;
    ASSERT_TRUE(ReadHeaderConstants(QALOMIR_HEADER_CONSTANTS, extract, &error)) << error;
    const auto rows = DatabaseRows(&error);
    ASSERT_FALSE(rows.empty()) << error;

    const unsigned seed = testsupport::SampleSeed();
    std::mt19937 random(seed);
    std::vector<Unit> units = Sample(extract, random);

    const fs::path dir = fs::temp_directory_path() / ("constdb-gcc-" + std::to_string(seed) + "-" + std::to_string(random()));
    fs::create_directories(dir);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < units.size();) EvaluateWithGcc(units[i], dir);
    };
    std::thread other(work);
    work();
    other.join();
    std::error_code ec;
    fs::remove_all(dir, ec);

    std::size_t checked = 0;
    std::string refused;
    for (const Unit& u : units) {
        EXPECT_EQ(u.failure, "") << u.source->name << " " << u.header;
        if (u.headersRefused) refused += " " + u.source->name + ":" + u.header;
        if (!u.failure.empty() || u.headersRefused) continue;
        for (std::size_t i = 0; i < u.names.size(); ++i) {
            auto found = rows.find(u.names[i]);
            ASSERT_NE(found, rows.end()) << u.names[i];
            const bool among = std::any_of(found->second.begin(), found->second.end(),
                                           [&](const std::string& text) { return SameValue(u.values[i], Number(text)); });
            EXPECT_TRUE(among) << u.source->name << " " << u.header << ": " << u.names[i] << " is " << u.values[i]
                               << " to GCC; the database's first row is " << found->second.front();
            ++checked;
        }
    }
    std::printf("names compared: %zu in %zu units\n", checked, units.size());
    if (!refused.empty()) std::printf("units whose headers GCC refuses (not compared):%s\n", refused.c_str());
    EXPECT_GE(checked, 2500u);  // 3,100 to 3,600 over 20 seeds
}

}  // namespace
}  // namespace tools

#endif
