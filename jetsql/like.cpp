#include "jetsql/like.h"

#include "jetsql/jet_text.h"

namespace jetsql {
namespace {

bool IsAnsi89(std::u16string_view pattern) {
    bool inSet = false;
    for (char16_t c : pattern) {
        if (c == u'[') inSet = true;
        else if (c == u']') inSet = false;
        else if (!inSet && (c == u'*' || c == u'?')) return true;
    }
    return false;
}

}  // namespace

LikePattern::LikePattern(std::u16string_view pattern) {
    const bool ansi89 = IsAnsi89(pattern);
    const char16_t run = ansi89 ? u'*' : u'%', one = ansi89 ? u'?' : u'_';
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char16_t c = pattern[i];
        Element e;
        e.kind = Element::Kind::Char;
        if (c == run) {
            e.kind = Element::Kind::AnyRun;
        } else if (c == one) {
            e.kind = Element::Kind::AnyOne;
        } else if (ansi89 && c == u'#') {
            e.kind = Element::Kind::Digit;
        } else if (c == u'[') {
            if (!ReadSet(pattern, &i, &e)) {
                valid_ = false;
                return;
            }
        } else {
            e.c = jet::UpperAscii(c);
        }
        // Two runs in a row match what one does.
        if (e.kind == Element::Kind::AnyRun && !elements_.empty() && elements_.back().kind == Element::Kind::AnyRun)
            continue;
        elements_.push_back(std::move(e));
    }
    for (const Element& e : elements_) {
        if (e.kind != Element::Kind::Char) break;
        prefix_ += e.c;
    }
}

// Reads "[...]" starting at *pos (on the '['); leaves *pos on the ']'.
bool LikePattern::ReadSet(std::u16string_view pattern, std::size_t* pos, Element* out) {
    std::size_t close = pattern.find(u']', *pos + 1);
    if (close == std::u16string_view::npos) return false;
    std::u16string_view body = pattern.substr(*pos + 1, close - *pos - 1);
    *pos = close;
    out->kind = Element::Kind::Set;
    if (!body.empty() && (body[0] == u'!' || body[0] == u'^') && body.size() > 1) {
        out->negated = true;
        body.remove_prefix(1);
    }
    for (std::size_t i = 0; i < body.size(); ++i) {
        char16_t low = jet::UpperAscii(body[i]), high = low;
        if (i + 2 < body.size() && body[i + 1] == u'-') {
            high = jet::UpperAscii(body[i + 2]);
            i += 2;
        }
        out->ranges.emplace_back(low, high);
    }
    return true;
}

bool LikePattern::ElementMatches(const Element& e, char16_t c) const {
    switch (e.kind) {
    case Element::Kind::Char: return e.c == jet::UpperAscii(c);
    case Element::Kind::AnyOne: return true;
    case Element::Kind::Digit: return c >= u'0' && c <= u'9';
    case Element::Kind::Set: {
        char16_t f = jet::UpperAscii(c);
        bool in = false;
        for (const auto& r : e.ranges) in = in || (f >= r.first && f <= r.second);
        return in != e.negated;
    }
    case Element::Kind::AnyRun: break;
    }
    return false;
}

// Left to right, remembering only the last run seen: when a later element
// fails, that run takes one more character. Time is bounded by pattern x text.
bool LikePattern::Matches(std::u16string_view text) const {
    if (!valid_) return false;
    std::size_t p = 0, t = 0;
    std::size_t runAt = std::u16string_view::npos, runText = 0;
    while (t < text.size()) {
        if (p < elements_.size() && elements_[p].kind == Element::Kind::AnyRun) {
            runAt = p++;
            runText = t;
        } else if (p < elements_.size() && ElementMatches(elements_[p], text[t])) {
            ++p;
            ++t;
        } else if (runAt != std::u16string_view::npos) {
            p = runAt + 1;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (p < elements_.size() && elements_[p].kind == Element::Kind::AnyRun) ++p;
    return p == elements_.size();
}

}  // namespace jetsql
