#include "tools/declaration_scanner.h"

namespace constdb {
namespace {

constexpr std::size_t kMaxDeclarationTokens = 20000;

std::vector<Tokens> SplitTopLevel(const Tokens& body) {
    std::vector<Tokens> parts(1);
    int depth = 0;
    for (const Token& t : body) {
        if (t.Is("(") || t.Is("{") || t.Is("[")) ++depth;
        if (t.Is(")") || t.Is("}") || t.Is("]")) --depth;
        if (depth == 0 && t.Is(",")) {
            parts.emplace_back();
            continue;
        }
        parts.back().push_back(t);
    }
    return parts;
}

EnumMemberSource ReadMember(const Tokens& part) {
    EnumMemberSource m;
    if (part.empty() || !part[0].IsIdentifier()) {
        m.broken = true;
        return m;
    }
    m.name = part[0].text;
    std::size_t eq = 1;
    while (eq < part.size() && !part[eq].Is("=")) ++eq;
    if (eq < part.size()) {
        m.initializer.assign(part.begin() + eq + 1, part.end());
        m.broken = m.initializer.empty();
    } else if (part.size() > 1 && !part[1].Is("__attribute__")) {
        m.broken = true;
    }
    return m;
}

}  // namespace

void DeclarationScanner::Feed(const Token& t) {
    FeedEnum(t);
    FeedTypedef(t);
    FeedHandle(t);
}

void DeclarationScanner::FeedEnum(const Token& t) {
    switch (enumState_) {
    case EnumState::Idle:
        if (t.Is("enum")) enumState_ = EnumState::Head;
        return;
    case EnumState::Head:
        if (t.Is("{")) {
            enumState_ = EnumState::Body;
            enumDepth_ = 0;
            enumBody_.clear();
        } else if (!t.IsIdentifier() && !t.Is(":") && !t.Is("::")) {
            enumState_ = EnumState::Idle;
        }
        return;
    case EnumState::Body:
        if (t.Is("}") && enumDepth_ == 0) {
            EmitEnum();
            enumState_ = EnumState::Idle;
            return;
        }
        if (t.Is("(") || t.Is("{")) ++enumDepth_;
        if (t.Is(")") || t.Is("}")) --enumDepth_;
        enumBody_.push_back(t);
        if (enumBody_.size() > kMaxDeclarationTokens) enumState_ = EnumState::Idle;
        return;
    }
}

void DeclarationScanner::EmitEnum() {
    std::vector<EnumMemberSource> members;
    for (const Tokens& part : SplitTopLevel(enumBody_)) {
        if (part.empty()) continue;  // a trailing comma
        EnumMemberSource m = ReadMember(part);
        m.follows = !members.empty();
        members.push_back(std::move(m));
    }
    if (!members.empty() && sink_.onEnum) sink_.onEnum(std::move(members));
}

void DeclarationScanner::FeedTypedef(const Token& t) {
    if (!inTypedef_) {
        if (t.Is("typedef")) {
            inTypedef_ = true;
            typedefDepth_ = 0;
            typedef_.clear();
        }
        return;
    }
    if (t.Is(";") && typedefDepth_ == 0) {
        inTypedef_ = false;
        if (sink_.onTypedef) sink_.onTypedef(std::move(typedef_));
        typedef_.clear();
        return;
    }
    if (t.Is("(") || t.Is("{")) ++typedefDepth_;
    if (t.Is(")") || t.Is("}")) --typedefDepth_;
    typedef_.push_back(t);
    if (typedef_.size() > kMaxDeclarationTokens) inTypedef_ = false;
}

void DeclarationScanner::FeedHandle(const Token& t) {
    if (t.Is(")") && recent_.size() == 3 && recent_[0].Is("DECLARE_HANDLE") && recent_[1].Is("(") &&
        recent_[2].IsIdentifier() && sink_.onHandle)
        sink_.onHandle(recent_[2].text);
    recent_.push_back(t);
    if (recent_.size() > 3) recent_.erase(recent_.begin());
}

}  // namespace constdb
