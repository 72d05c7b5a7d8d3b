#include "finder/pattern.h"

#include "jet/text_match.h"

namespace finder {
namespace {

using jet::LowerAscii;

// Whether segment (which may hold '?') matches name at pos.
bool SegmentAt(std::u16string_view segment, std::u16string_view name, std::size_t pos) {
    if (pos > name.size() || segment.size() > name.size() - pos) return false;
    for (std::size_t i = 0; i < segment.size(); ++i)
        if (segment[i] != u'?' && LowerAscii(segment[i]) != LowerAscii(name[pos + i])) return false;
    return true;
}

}  // namespace

bool IsPattern(std::u16string_view text) { return text.find_first_of(u"*?") != std::u16string_view::npos; }

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) { return jet::EqualIgnoringAsciiCase(a, b); }

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return prefix.size() <= text.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoringCase(std::u16string_view text, std::u16string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
        if (EqualIgnoringCase(text.substr(at, part.size()), part)) return true;
    return false;
}

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
    const std::size_t firstStar = pattern.find(u'*');
    if (firstStar == std::u16string_view::npos) return pattern.size() == name.size() && SegmentAt(pattern, name, 0);
    const std::size_t lastStar = pattern.rfind(u'*');
    const std::u16string_view head = pattern.substr(0, firstStar), tail = pattern.substr(lastStar + 1);
    if (head.size() + tail.size() > name.size() || !SegmentAt(head, name, 0) ||
        !SegmentAt(tail, name, name.size() - tail.size()))
        return false;
    std::size_t pos = head.size();
    const std::size_t end = name.size() - tail.size();
    for (std::size_t i = firstStar + 1; i <= lastStar;) {
        const std::size_t next = pattern.find(u'*', i);
        const std::u16string_view segment = pattern.substr(i, next - i);
        i = next + 1;
        if (segment.empty()) continue;
        const char16_t lead = LowerAscii(segment[0]);
        while (pos + segment.size() <= end &&
               ((lead != u'?' && LowerAscii(name[pos]) != lead) || !SegmentAt(segment, name, pos)))
            ++pos;
        if (pos + segment.size() > end) return false;
        pos += segment.size();
    }
    return true;
}

std::u16string_view FixedPrefix(std::u16string_view pattern) {
    return pattern.substr(0, pattern.find_first_of(u"*?"));
}

}  // namespace finder
