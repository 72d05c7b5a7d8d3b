// The committed extract of the headers' GUIDs, strings and property keys against a
// fresh evaluation of a sample of the installed headers: a change of the headers,
// of their packages or of the evaluation shows here.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "tests/support/sample_seed.h"
#include "tools/kind_evaluator.h"

#if defined(QALOMIR_HEADER_KINDS)

namespace tools {
namespace {

// Headers the database's checks name (IIDs, CLSID_ShellLink, FOLDERID_Desktop,
// PKEY_Title, WC_BUTTON, SE_DEBUG_NAME), DEVPROPKEYs, and a few random others.
const std::vector<std::string> kChosen = {"commctrl.h", "knownfolders.h", "propkey.h", "shobjidl.h", "devpkey.h", "winnt.h"};

// kind, name, value and header; withKind false leaves the kind out.
std::set<std::string> Records(const KindConstants& k, const std::set<std::string>& files, bool withKind) {
    std::set<std::string> out;
    for (const KindConstant& c : k.constants)
        if (files.empty() || files.count(k.spaces[c.space]))
            out.insert((withKind ? c.kind + '\t' : std::string()) + c.name + '\t' + c.value + '\t' + k.spaces[c.space]);
    return out;
}

std::vector<std::string> Difference(const std::set<std::string>& a, const std::set<std::string>& b) {
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

class KindExtract : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        extract_ = new std::vector<KindConstants>;
        read_ = ReadKindSources(QALOMIR_HEADER_KINDS, *extract_, &error);
        if (!read_) std::printf("%s\n", error.c_str());
    }
    static void TearDownTestSuite() { delete extract_; }
    void SetUp() override { ASSERT_TRUE(read_) << QALOMIR_HEADER_KINDS; }

    static std::vector<KindConstants>* extract_;
    static bool read_;
};
std::vector<KindConstants>* KindExtract::extract_ = nullptr;
bool KindExtract::read_ = false;

TEST_F(KindExtract, ComesFromTheInstalledPackages) {
    ASSERT_EQ(extract_->size(), 2u);
    EXPECT_EQ((*extract_)[0].origin.rfind("mingw-w64 " + InstalledPackage(kMingwFolder) + " ", 0), 0u)
        << (*extract_)[0].origin << ": regenerate data/header-kinds.tsv.gz";
    EXPECT_EQ((*extract_)[1].origin.rfind("Wine " + InstalledPackage(kWineFolders[0]) + " ", 0), 0u)
        << (*extract_)[1].origin << ": regenerate data/header-kinds.tsv.gz";
    for (const KindConstants& k : *extract_) EXPECT_GT(k.constants.size(), 7000u) << k.origin;
}

// Every record of a sampled header is evaluated again, and every record the sample
// gives is in the extract (a header the sample includes may give its kind in its own unit there).
TEST_F(KindExtract, ASampleEvaluatedAgainGivesTheSameRecords) {
    std::mt19937 random(testsupport::SampleSeed());
    EvaluationOptions options;
    options.only = kChosen;
    for (int i = 0; i < 3; ++i) {
        const KindConstants& k = (*extract_)[i % 2];
        options.only.push_back(k.spaces[random() % k.spaces.size()]);
    }
    std::printf("sample: windows.h");
    for (const std::string& h : options.only) std::printf(" %s", h.c_str());
    std::printf("\n");
    std::vector<KindConstants> fresh;
    std::vector<KindEvaluation> reports;
    std::string error;
    const SourceFolders folders{{kMingwFolder}, {std::begin(kWineFolders), std::end(kWineFolders)}, "", ""};
    ASSERT_TRUE(EvaluateKindSources(folders, options, fresh, reports, &error)) << error;
    ASSERT_EQ(fresh.size(), 2u);
    for (std::size_t s = 0; s < 2; ++s) {
        const std::set<std::string> sampled(options.only.begin(), options.only.end());
        const std::set<std::string> now = Records(fresh[s], sampled, true), then = Records((*extract_)[s], sampled, true);
        const std::vector<std::string> missing = Difference(then, now);
        const std::vector<std::string> added = Difference(Records(fresh[s], {}, false), Records((*extract_)[s], {}, false));
        std::printf("%s: %zu records evaluated, %zu of the extract's sampled headers\n", fresh[s].origin.c_str(),
                    fresh[s].constants.size(), then.size());
        EXPECT_GT(then.size(), 800u) << fresh[s].origin;
        EXPECT_TRUE(added.empty()) << fresh[s].origin << ": not in the extract, e.g. " << added.front();
        EXPECT_TRUE(missing.empty()) << fresh[s].origin << ": no longer evaluated, e.g. " << missing.front();
    }
}

}  // namespace
}  // namespace tools

#endif
