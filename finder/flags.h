#pragma once
// A flag word split into the names that make it up.
#include <cstdint>
#include <string>
#include <vector>

namespace finder {

struct FlagName {
    std::string name;
    std::uint64_t pattern = 0;  // Integer::Pattern(): 32-bit values zero-extended
    std::string source;         // 备注: names from the header most names come from are preferred
};

struct FlagPart {
    std::string name;
    std::vector<std::string> aliases;  // other names with the same value
    std::uint64_t pattern = 0;
    std::string field;  // the mask whose field this value fills, if any
    std::uint64_t fieldMask = 0;
};

struct FlagSplit {
    std::vector<FlagPart> parts;  // by value, lowest first
    std::uint64_t remainder = 0;  // bits no name accounts for
    std::vector<std::string> zero;  // for a value of 0: the names whose value is 0
};

// Names with MASK in them mark fields: within each, the one name whose value
// is the field's value is taken (a mask that wholly holds another is a group
// of fields, not a field). The other bits go to the names wholly contained in
// them, those with the most bits first, so a composite (WS_OVERLAPPEDWINDOW)
// wins over its parts. Of names with the same value, the one from the header
// most candidates come from is named, then the one with the fewest words, then
// the first in order; the others are its aliases.
FlagSplit SplitFlags(std::uint64_t value, const std::vector<FlagName>& candidates);

}  // namespace finder
