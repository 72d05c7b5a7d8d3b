#pragma once
// Structure and union layouts worked out from the metadata's fields by C's rules
// (natural alignment, capped by the record's packing), for the records the
// headers do not declare. Sizes of the types a field names: the metadata's
// native types, typedefs, enums (their integer type), pointers, callbacks and
// interfaces (a pointer), and records (recursively).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/sdk_types.h"

namespace tools {

enum class Target { I686, X86_64 };
const char* TargetName(Target target);  // "i686", "x86_64"
std::uint8_t TargetArch(Target target); // kArchX86, kArchX64

struct FieldLayout {
    std::string name;
    std::string type;  // type text
    std::uint32_t offset = 0, size = 0;
    std::uint16_t bitOffset = 0, bitWidth = 0;  // bitWidth 0: not a bit-field
};

struct RecordLayout {
    std::uint32_t size = 0, align = 1;
    std::vector<FieldLayout> fields;
};

class LayoutRules {
public:
    // types must outlive this.
    LayoutRules(const SdkTypes& types, Target target);

    // The record's layout on the target; false, with the type that has no size
    // here, when one of its fields names such a type.
    bool Layout(const std::string& record, RecordLayout& out, std::string* why);
    bool SizeOf(const std::string& typeText, std::uint32_t& size, std::uint32_t& align, std::string* why);
    // The record of that name the target sees (its own architecture's copy first); null when none.
    const SdkRecord* Record(const std::string& name) const;
    // Sizes and alignments a compiler gave records, by name: a record that holds one
    // by value lays it out so, whatever the metadata's fields say.
    void PreferSizes(std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> sizes) { compiled_ = std::move(sizes); }

private:
    struct Known {
        std::uint32_t size = 0, align = 1;
    };
    bool NamedSize(const std::string& name, std::uint32_t& size, std::uint32_t& align, std::string* why);

    const SdkTypes& types_;
    Target target_;
    std::uint32_t pointer_;
    std::map<std::string, const SdkRecord*> records_;
    std::map<std::string, std::string> typedefs_;   // name -> type text
    std::map<std::string, std::string> enums_;      // name -> integer type
    std::map<std::string, bool> pointerLike_;       // callbacks and interfaces
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> compiled_;
    std::map<std::string, RecordLayout> done_;
    std::vector<std::string> working_;              // records being laid out: a cycle is an error
};

}  // namespace tools
