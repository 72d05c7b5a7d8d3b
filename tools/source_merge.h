#pragma once
// The rows of API常量.mdb from its sources: the mingw-w64 headers, Wine's headers
// (both as a compiler evaluated them, header_constants.h) and the Windows SDK's
// metadata. Each source gives a name its first value; where they differ, the value
// most sources give comes first. With no majority the mingw-w64 header's value comes
// first, else Wine's (a compiler's view of a header wins a tie against the
// metadata), else the metadata's. Every other distinct value follows, the headers'
// before the metadata's.
#include <array>
#include <string>
#include <vector>

#include "tools/constant.h"
#include "tools/header_constants.h"
#include "tools/sdk_constants.h"

namespace tools {

// How a name's first row was chosen, where two or more sources give it.
enum class Decision {
    Agreed,             // every source gives the same value
    MajorityWithMingw,  // two sources against one, the mingw-w64 header among the two
    MajorityOverMingw,  // Wine's header and the metadata against the mingw-w64 header
    NoMajorityMingw,    // no value given by most: the mingw-w64 header's first
    NoMajoritySdk,      // no value given by most, no header value: the metadata's first
    NoMajorityWine,     // no value given by most, no mingw-w64 value: Wine's header's first
    Count
};

const char* DecisionText(Decision d);

struct MergeReport {
    std::vector<std::string> sources;         // "mingw-w64", "Wine", "metadata", in that order
    std::vector<std::string> origins;         // each header source's package and compiler
    std::vector<std::size_t> sourceNames;     // names each source gives
    std::vector<std::size_t> onlyHere;        // of which no other source gives
    std::vector<std::size_t> firstAgrees;     // of which the name's first row has the source's first value
    std::array<std::size_t, static_cast<std::size_t>(Decision::Count)> decisions{};
    std::size_t awResolved = 0;               // metadata NAME given NAMEA's value rather than NAMEW's
    std::size_t tooLong = 0;                  // names longer than the name column holds, left out
    std::size_t names = 0;
    std::size_t rows = 0;
    // Per header source, its units that did not compile: "header: first error".
    std::vector<std::vector<std::string>> notCompilable;
    // One line per name whose sources differ: name, decision, first value, then each
    // source's value and where it is from ("-" where it gives none).
    std::vector<std::string> differences;
};

// Rows sorted by name, a name's first row the chosen value. The first header source
// is the mingw-w64 one; its rows name their header, a later source's rows add the
// source's name ("twain.h (Wine)"), the metadata's name their namespace. sdk may be null.
std::vector<Constant> MergeSources(const HeaderConstants& headers, const SdkConstants* sdk, MergeReport& report);

}  // namespace tools
