#include "tools/record_layout.h"

#include <algorithm>

namespace tools {
namespace {

struct Native {
    const char* name;
    std::uint32_t size;  // 0: pointer-sized
};
// Guid is a structure of 16 bytes aligned as its first member, a 32-bit integer.
constexpr Native kNatives[] = {
    {"Boolean", 1}, {"SByte", 1}, {"Byte", 1}, {"Char", 2}, {"Int16", 2}, {"UInt16", 2},
    {"Int32", 4},   {"UInt32", 4}, {"Single", 4}, {"Int64", 8}, {"UInt64", 8}, {"Double", 8},
    {"IntPtr", 0},  {"UIntPtr", 0}, {"String", 0},
};

std::uint32_t AlignUp(std::uint32_t n, std::uint32_t align) { return align ? (n + align - 1) / align * align : n; }

bool Fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

}  // namespace

const char* TargetName(Target target) { return target == Target::I686 ? "i686" : "x86_64"; }
std::uint8_t TargetArch(Target target) { return target == Target::I686 ? kArchX86 : kArchX64; }

LayoutRules::LayoutRules(const SdkTypes& types, Target target)
    : types_(types), target_(target), pointer_(target == Target::I686 ? 4 : 8) {
    const std::uint8_t arch = TargetArch(target);
    for (const SdkRecord& r : types.records) {
        if (r.arches && !(r.arches & arch)) continue;
        // The target's own copy wins over one for every architecture.
        auto& slot = records_[r.name];
        if (!slot || (r.arches & arch)) slot = &r;
    }
    for (const SdkTypedef& t : types.typedefs)
        if (!t.arches || (t.arches & arch)) typedefs_[t.name] = t.type;
    for (const SdkEnum& e : types.enums) enums_[e.name] = e.base;
    for (const SdkFunction& c : types.callbacks) pointerLike_[c.name] = true;
    for (const SdkInterface& i : types.interfaces) pointerLike_[i.name] = true;
}

const SdkRecord* LayoutRules::Record(const std::string& name) const {
    const auto r = records_.find(name);
    return r == records_.end() ? nullptr : r->second;
}

bool LayoutRules::NamedSize(const std::string& name, std::uint32_t& size, std::uint32_t& align, std::string* why) {
    for (const Native& n : kNatives)
        if (name == n.name) {
            size = align = n.size ? n.size : pointer_;
            return true;
        }
    if (name == "Guid") {
        size = 16;
        align = 4;
        return true;
    }
    if (pointerLike_.count(name)) {
        size = align = pointer_;
        return true;
    }
    if (const auto e = enums_.find(name); e != enums_.end()) return SizeOf(e->second, size, align, why);
    if (const auto t = typedefs_.find(name); t != typedefs_.end()) return SizeOf(t->second, size, align, why);
    if (const auto c = compiled_.find(name); c != compiled_.end() && Record(name)) {
        size = c->second.first;
        align = c->second.second;
        return true;
    }
    if (Record(name)) {
        RecordLayout layout;
        if (!Layout(name, layout, why)) return false;
        size = layout.size;
        align = layout.align;
        return true;
    }
    return Fail(why, "no size for the type " + name + " on " + TargetName(target_));
}

bool LayoutRules::SizeOf(const std::string& typeText, std::uint32_t& size, std::uint32_t& align, std::string* why) {
    TypeText type;
    if (!ParseTypeText(typeText, type, why)) return false;
    // Read from the right: the outermost step decides.
    std::size_t pointerAt = type.steps.size();
    std::uint64_t count = 1;
    for (std::size_t i = type.steps.size(); i-- > 0;) {
        if (type.steps[i].kind == TypeStep::Pointer) {
            pointerAt = i;
            break;
        }
        count *= type.steps[i].count;
    }
    if (pointerAt != type.steps.size()) {
        size = align = pointer_;
    } else if (type.name == "Void") {
        return Fail(why, "Void has no size");
    } else if (!NamedSize(type.name, size, align, why)) {
        return false;
    }
    const std::uint64_t total = count * size;
    if (total > UINT32_MAX) return Fail(why, typeText + " is larger than 4 GiB");
    size = static_cast<std::uint32_t>(total);
    return true;
}

bool LayoutRules::Layout(const std::string& name, RecordLayout& out, std::string* why) {
    if (const auto done = done_.find(name); done != done_.end()) {
        out = done->second;
        return true;
    }
    const SdkRecord* record = Record(name);
    if (!record) return Fail(why, "no record " + name + " on " + TargetName(target_));
    if (std::find(working_.begin(), working_.end(), name) != working_.end())
        return Fail(why, name + " holds itself");
    working_.push_back(name);
    RecordLayout layout;
    std::uint32_t end = 0;
    bool ok = true;
    for (const SdkMember& m : record->fields) {
        std::uint32_t size = 0, align = 1;
        if (!(ok = SizeOf(m.type, size, align, why))) break;
        if (record->pack) align = std::min(align, record->pack);
        const std::uint32_t offset = record->isUnion ? 0 : AlignUp(end, align);
        layout.fields.push_back({m.name, m.type, offset, size, 0, 0});
        end = record->isUnion ? std::max(end, size) : offset + size;
        layout.align = std::max(layout.align, align);
    }
    working_.pop_back();
    if (!ok) return false;
    layout.size = AlignUp(end, layout.align);
    out = done_.emplace(name, std::move(layout)).first->second;
    return true;
}

}  // namespace tools
