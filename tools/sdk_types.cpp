#include "tools/sdk_types.h"

#include <charconv>

#include "tools/gzip_text.h"
#include "tools/tsv_lines.h"

namespace tools {
namespace {

bool Fail(std::string* error, std::size_t line, const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
}

bool IsIdentifierStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentifierChar(char c) { return IsIdentifierStart(c) || (c >= '0' && c <= '9'); }

std::vector<std::string_view> SplitCommas(std::string_view list) {
    std::vector<std::string_view> words;
    if (list.empty()) return words;
    for (std::size_t at = 0;;) {
        std::size_t comma = list.find(',', at);
        words.push_back(list.substr(at, comma == std::string_view::npos ? comma : comma - at));
        if (comma == std::string_view::npos) return words;
        at = comma + 1;
    }
}

// A comma list of known words as bits; false with the word that is not known.
template <typename Bits, std::size_t N>
bool ParseBits(std::string_view list, const std::pair<std::string_view, Bits> (&known)[N], Bits& bits, std::string& bad) {
    bits = 0;
    for (std::string_view word : SplitCommas(list)) {
        bool found = false;
        for (const auto& [name, bit] : known) {
            if (word == name) {
                bits = static_cast<Bits>(bits | bit);
                found = true;
            }
        }
        if (!found) {
            bad.assign(word);
            return false;
        }
    }
    return true;
}

constexpr std::pair<std::string_view, std::uint8_t> kArches[] = {{"X86", kArchX86}, {"X64", kArchX64}, {"Arm64", kArchArm64}};
constexpr std::pair<std::string_view, std::uint16_t> kFlags[] = {
    {"SetLastError", kSetLastError}, {"Ansi", kAnsi},         {"Unicode", kUnicode},
    {"Cdecl", kCdecl},               {"DoesNotReturn", kDoesNotReturn}, {"PreserveSig", kPreserveSig},
    {"Obsolete", kObsolete},         {"OptionalReturn", kOptionalReturn}, {"SpecialName", kSpecialName}};
constexpr std::string_view kEnumBases[] = {"SByte", "Byte", "Int16", "UInt16", "Int32", "UInt32", "Int64", "UInt64"};

bool IsIid(std::string_view s) {
    if (s.size() != 36) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const char c = s[i];
        if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

// Reads the file's records into out; knows which record P, M and X lines belong to.
class Reader {
public:
    Reader(SdkTypes& out, std::string* error) : out_(out), error_(error) {}

    bool Line(std::string_view line, std::size_t number) {
        number_ = number;
        if (line.empty() || line[0] == '#') return true;
        if (line[0] == '@') {
            if (line.size() == 1) return Fail(error_, number, "an empty namespace");
            out_.namespaces.emplace_back(line.substr(1));
            open_ = Open::None;
            return true;
        }
        f_ = SplitTabs(line);
        if (f_[0] == "!source") return Source();
        if (f_[0].size() != 1) return Fail(error_, number, "unknown record '" + std::string(f_[0]) + "'");
        const char tag = f_[0][0];
        if (tag == 'P') return Member("parameter", open_ == Open::Function || open_ == Open::Callback || open_ == Open::Method);
        if (tag == 'M') return Member("field", open_ == Open::Record);
        if (tag == 'X') return Method();
        if (out_.namespaces.empty()) return Fail(error_, number, "a record before the first namespace");
        switch (tag) {
            case 'F': return Function();
            case 'C': return Callback();
            case 'T': return Typedef();
            case 'S':
            case 'U': return Record(tag == 'U');
            case 'E': return Enum();
            case 'I': return Interface();
            default: return Fail(error_, number, "unknown record '" + std::string(f_[0]) + "'");
        }
    }

private:
    enum class Open { None, Function, Callback, Method, Record, Interface };

    std::uint32_t Space() const { return static_cast<std::uint32_t>(out_.namespaces.size() - 1); }

    bool Fields(std::size_t n, const char* what) {
        if (f_.size() != n) return Fail(error_, number_, std::string(what) + " with " + std::to_string(f_.size()) + " fields, not " + std::to_string(n));
        if (f_[1].empty()) return Fail(error_, number_, std::string(what) + " without a name");
        return true;
    }

    bool Type(std::string_view text) {
        TypeText parsed;
        std::string why;
        if (ParseTypeText(text, parsed, &why)) return true;
        return Fail(error_, number_, why);
    }

    bool Arches(std::string_view list, std::uint8_t& arches) {
        std::string bad;
        if (ParseBits(list, kArches, arches, bad)) return true;
        return Fail(error_, number_, "unknown architecture '" + bad + "'");
    }

    bool Flags(std::string_view list, std::uint16_t& flags) {
        std::string bad;
        if (ParseBits(list, kFlags, flags, bad)) return true;
        return Fail(error_, number_, "unknown flag '" + bad + "'");
    }

    bool Source() {
        if (f_.size() != 4 || f_[1] != "win32json" || f_[2].empty()) return Fail(error_, number_, "expected !source, win32json, VERSION and COMMIT");
        out_.version.assign(f_[2]);
        out_.commit.assign(f_[3]);
        return true;
    }

    // F NAME DLL RETURN FLAGS ARCHES and C NAME RETURN FLAGS ARCHES.
    bool Signature(SdkFunction& fn, std::size_t at) {
        fn.name.assign(f_[1]);
        fn.returns.assign(f_[at]);
        fn.space = Space();
        return Type(fn.returns) && Flags(f_[at + 1], fn.flags) && Arches(f_[at + 2], fn.arches);
    }

    bool Function() {
        if (!Fields(6, "a function")) return false;
        if (f_[2].empty()) return Fail(error_, number_, "a function without a DLL");
        SdkFunction fn;
        fn.dll.assign(f_[2]);
        if (!Signature(fn, 3)) return false;
        out_.functions.push_back(std::move(fn));
        open_ = Open::Function;
        return true;
    }

    bool Callback() {
        if (!Fields(5, "a callback")) return false;
        SdkFunction fn;
        if (!Signature(fn, 2)) return false;
        out_.callbacks.push_back(std::move(fn));
        open_ = Open::Callback;
        return true;
    }

    bool Method() {
        if (open_ != Open::Interface && open_ != Open::Method) return Fail(error_, number_, "a method outside an interface");
        if (!Fields(4, "a method")) return false;
        SdkFunction fn;
        fn.name.assign(f_[1]);
        fn.returns.assign(f_[2]);
        fn.space = Space();
        if (!Type(fn.returns) || !Flags(f_[3], fn.flags)) return false;
        out_.interfaces.back().methods.push_back(std::move(fn));
        open_ = Open::Method;
        return true;
    }

    bool Member(const char* what, bool belongs) {
        if (!belongs) return Fail(error_, number_, std::string("a ") + what + " outside its record");
        if (!Fields(4, what)) return false;
        SdkMember m;
        m.name.assign(f_[1]);
        m.type.assign(f_[2]);
        if (!Type(m.type)) return false;
        for (std::string_view a : SplitCommas(f_[3])) {
            if (a.empty()) return Fail(error_, number_, "an empty attribute");
            m.attrs.emplace_back(a);
        }
        std::vector<SdkMember>& into = open_ == Open::Record     ? out_.records.back().fields
                                       : open_ == Open::Function ? out_.functions.back().params
                                       : open_ == Open::Callback ? out_.callbacks.back().params
                                                                 : out_.interfaces.back().methods.back().params;
        into.push_back(std::move(m));
        return true;
    }

    bool Typedef() {
        if (!Fields(4, "a typedef")) return false;
        SdkTypedef t;
        t.name.assign(f_[1]);
        t.type.assign(f_[2]);
        t.space = Space();
        if (!Type(t.type) || !Arches(f_[3], t.arches)) return false;
        out_.typedefs.push_back(std::move(t));
        open_ = Open::None;
        return true;
    }

    bool Record(bool isUnion) {
        if (!Fields(4, isUnion ? "a union" : "a structure")) return false;
        SdkRecord r;
        r.name.assign(f_[1]);
        r.isUnion = isUnion;
        r.space = Space();
        const std::string_view pack = f_[2];
        if (pack.empty() || std::from_chars(pack.data(), pack.data() + pack.size(), r.pack).ptr != pack.data() + pack.size())
            return Fail(error_, number_, "packing '" + std::string(pack) + "' is not a number");
        if (!Arches(f_[3], r.arches) || !Type(r.name)) return false;
        const std::size_t dot = r.name.rfind('.');
        if (dot != std::string::npos && !AttachToParent(r.name, dot)) return false;
        out_.records.push_back(std::move(r));
        open_ = Open::Record;
        return true;
    }

    // A nested record follows its parent's fields and its parent's other nested
    // records: the parent is the nearest record of that name within the same outermost record.
    bool AttachToParent(const std::string& name, std::size_t dot) {
        const std::string_view parent(name.data(), dot);
        for (std::size_t i = out_.records.size(); i-- > 0;) {
            SdkRecord& r = out_.records[i];
            if (r.name == parent) {
                r.nested.push_back(name);
                return true;
            }
            if (r.name.find('.') == std::string::npos) break;
        }
        return Fail(error_, number_, "nested record '" + name + "' does not follow its parent");
    }

    bool Enum() {
        if (!Fields(4, "an enum")) return false;
        SdkEnum e;
        e.name.assign(f_[1]);
        e.base.assign(f_[2]);
        e.space = Space();
        bool known = false;
        for (std::string_view b : kEnumBases) known = known || e.base == b;
        if (!known) return Fail(error_, number_, "enum base '" + e.base + "' is not an integer type");
        for (std::string_view word : SplitCommas(f_[3])) {
            if (word == "Flags") {
                e.flags = true;
            } else if (word == "Scoped") {
                e.scoped = true;
            } else {
                return Fail(error_, number_, "unknown enum flag '" + std::string(word) + "'");
            }
        }
        out_.enums.push_back(std::move(e));
        open_ = Open::None;
        return true;
    }

    bool Interface() {
        if (!Fields(4, "an interface")) return false;
        SdkInterface i;
        i.name.assign(f_[1]);
        i.iid.assign(f_[2]);
        i.base.assign(f_[3]);
        i.space = Space();
        if (!i.iid.empty() && !IsIid(i.iid)) return Fail(error_, number_, "IID '" + i.iid + "' is not an upper-case GUID without braces");
        if (!i.base.empty()) {
            TypeText base;
            std::string why;
            if (!ParseTypeText(i.base, base, &why) || !base.steps.empty())
                return Fail(error_, number_, "base interface '" + i.base + "' is not a name");
        }
        out_.interfaces.push_back(std::move(i));
        open_ = Open::Interface;
        return true;
    }

    SdkTypes& out_;
    std::string* error_;
    std::size_t number_ = 0;
    std::vector<std::string_view> f_;
    Open open_ = Open::None;
};

}  // namespace

bool ParseTypeText(std::string_view text, TypeText& out, std::string* error) {
    out = TypeText{};
    auto fail = [&](const std::string& why) {
        if (error) *error = "type '" + std::string(text) + "': " + why;
        return false;
    };
    std::size_t at = 0;
    for (;;) {
        if (at == text.size() || !IsIdentifierStart(text[at])) return fail("expected a name at offset " + std::to_string(at));
        while (at < text.size() && IsIdentifierChar(text[at])) ++at;
        if (at == text.size() || text[at] != '.') break;
        ++at;
    }
    out.name.assign(text.substr(0, at));
    while (at < text.size()) {
        if (text[at] == '*') {
            out.steps.push_back({TypeStep::Pointer, 0});
            ++at;
            continue;
        }
        if (text[at] != '[') return fail("unexpected '" + std::string(1, text[at]) + "' at offset " + std::to_string(at));
        const std::size_t close = text.find(']', at);
        if (close == std::string_view::npos) return fail("'[' without ']'");
        const std::string_view digits = text.substr(at + 1, close - at - 1);
        std::uint32_t count = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
        if (digits.empty() || digits[0] == '0' || ec != std::errc() || end != digits.data() + digits.size())
            return fail("array size '" + std::string(digits) + "' is not a number from 1 to 4294967295");
        out.steps.push_back({TypeStep::Array, count});
        at = close + 1;
    }
    return true;
}

bool ParseSdkTypes(std::string_view text, SdkTypes& out, std::string* error) {
    out = SdkTypes{};
    Reader reader(out, error);
    return ForEachLine(text, [&](std::string_view line, std::size_t number) { return reader.Line(line, number); });
}

bool ReadSdkTypes(const std::string& path, SdkTypes& out, std::string* error) {
    return ParseGzipFile(path, [&](std::string_view text, std::string* why) { return ParseSdkTypes(text, out, why); }, error);
}

}  // namespace tools
