// The committed extract of the headers' constants against a fresh evaluation of a
// sample of the installed headers: a change of the headers, of their packages or
// of the evaluation shows here.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "tools/header_sources.h"
#include "tests/support/sample_seed.h"

#if defined(QALOMIR_HEADER_CONSTANTS)

namespace tools {
namespace {

// Headers whose values the database's checks name, a unit that includes the headers
// its own needs first, and a few random others.
const std::vector<std::string> kChosen = {"commctrl.h", "mshtmdid.h", "ntstatus.h", "twain.h", "winternl.h", "sys/stat.h",
                                          "mshtml.h olectl.h mshtmdid.h"};

std::string Record(const HeaderSource& s, const HeaderConstant& c) {
    return c.name + '\t' + std::to_string(c.value.Raw()) + (c.value.IsUnsigned() ? "u" : "") +
           std::to_string(c.value.Type().bits) + '\t' + c.text + '\t' + s.files[c.file];
}

std::set<std::string> Records(const HeaderSource& s, const std::set<std::string>& units) {
    std::set<std::string> out;
    for (const HeaderConstant& c : s.constants)
        if (units.empty() || units.count(s.units[c.unit].header)) out.insert(Record(s, c));
    return out;
}

class HeaderExtract : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        extract_ = new HeaderConstants;
        read_ = ReadHeaderConstants(QALOMIR_HEADER_CONSTANTS, *extract_, &error);
        if (!read_) std::printf("%s\n", error.c_str());
    }
    static void TearDownTestSuite() { delete extract_; }
    void SetUp() override { ASSERT_TRUE(read_) << QALOMIR_HEADER_CONSTANTS; }

    static HeaderConstants* extract_;
    static bool read_;
};
HeaderConstants* HeaderExtract::extract_ = nullptr;
bool HeaderExtract::read_ = false;

TEST_F(HeaderExtract, ComesFromTheInstalledPackages) {
    ASSERT_EQ(extract_->sources.size(), 2u);
    EXPECT_EQ(extract_->sources[0].name, "mingw-w64");
    EXPECT_EQ(extract_->sources[0].package, InstalledPackage(kMingwFolder)) << "regenerate data/header-constants.tsv.gz";
    EXPECT_EQ(extract_->sources[1].name, "Wine");
    EXPECT_EQ(extract_->sources[1].package, InstalledPackage(kWineFolders[0])) << "regenerate data/header-constants.tsv.gz";
    for (const HeaderSource& s : extract_->sources) EXPECT_GT(s.units.size(), 700u) << s.name;
}

// Every record of a sampled unit is evaluated again, and every record the sample
// gives is in the extract (a shared header's names may sit in another unit there).
TEST_F(HeaderExtract, ASampleEvaluatedAgainGivesTheSameRecords) {
    std::mt19937 random(testsupport::SampleSeed());
    EvaluationOptions options;
    options.only = kChosen;
    std::set<std::string> pickedFrom[2];  // a unit one source needed a helper for may be no unit of the other
    for (int i = 0; i < 3; ++i) {
        const HeaderSource& s = extract_->sources[i % 2];
        options.only.push_back(s.units[1 + random() % (s.units.size() - 1)].header);
        pickedFrom[i % 2].insert(options.only.back());
    }
    std::printf("sample: windows.h");
    for (const std::string& h : options.only) std::printf(" %s", h.c_str());
    std::printf("\n");
    HeaderConstants fresh;
    std::string error;
    SourceFolders folders{{kMingwFolder}, {std::begin(kWineFolders), std::end(kWineFolders)}, "", ""};
    ASSERT_TRUE(EvaluateHeaderSources(folders, options, fresh, &error)) << error;
    ASSERT_EQ(fresh.sources.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const HeaderSource& now = fresh.sources[i];
        const HeaderSource& then = extract_->sources[i];
        EXPECT_EQ(now.defines, then.defines) << now.name;
        std::set<std::string> sampled;
        for (const HeaderUnit& u : now.units) {
            sampled.insert(u.header);
            auto was = std::find_if(then.units.begin(), then.units.end(), [&](const HeaderUnit& t) { return t.header == u.header; });
            if (was == then.units.end() && pickedFrom[1 - i].count(u.header) && !pickedFrom[i].count(u.header)) continue;
            ASSERT_NE(was, then.units.end()) << now.name << " " << u.header;
            EXPECT_EQ(u.error, was->error) << now.name << " " << u.header;
        }
        const std::set<std::string> fromNow = Records(now, {}), all = Records(then, {}), fromThen = Records(then, sampled);
        std::vector<std::string> missing, added;
        std::set_difference(fromNow.begin(), fromNow.end(), all.begin(), all.end(), std::back_inserter(added));
        std::set_difference(fromThen.begin(), fromThen.end(), fromNow.begin(), fromNow.end(), std::back_inserter(missing));
        std::printf("%s: %zu records evaluated, %zu of the extract's sampled units\n", now.name.c_str(), fromNow.size(), fromThen.size());
        EXPECT_GT(fromThen.size(), 20000u) << now.name;
        EXPECT_TRUE(added.empty()) << now.name << ": not in the extract, e.g. " << added.front();
        EXPECT_TRUE(missing.empty()) << now.name << ": no longer evaluated, e.g. " << missing.front();
    }
}

}  // namespace
}  // namespace tools

#endif
