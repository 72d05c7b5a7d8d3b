#pragma once
// Picks out of C declarations what constants need: enum members, and the typedef
// names a cast may use. It follows tokens one at a time, so the walker can feed
// it only the text that the preprocessor keeps.
#include <functional>
#include <string>

#include "tools/token.h"

namespace constdb {

struct EnumMemberSource {
    std::string name;
    Tokens initializer;    // empty: one more than the previous member (0 for the first)
    bool follows = false;  // true when there is a previous member in the same enum
    bool broken = false;   // the member could not be read; implicit values after it are unknown
};

class DeclarationScanner {
public:
    struct Sink {
        std::function<void(std::vector<EnumMemberSource>)> onEnum;
        std::function<void(Tokens)> onTypedef;  // the tokens between "typedef" and ";"
        std::function<void(const std::string&)> onHandle;  // DECLARE_HANDLE(name)
    };
    explicit DeclarationScanner(Sink sink) : sink_(std::move(sink)) {}
    void Feed(const Token& t);

private:
    void FeedEnum(const Token& t);
    void FeedTypedef(const Token& t);
    void FeedHandle(const Token& t);
    void EmitEnum();

    Sink sink_;
    enum class EnumState { Idle, Head, Body } enumState_ = EnumState::Idle;
    int enumDepth_ = 0;
    Tokens enumBody_;
    bool inTypedef_ = false;
    int typedefDepth_ = 0;
    Tokens typedef_;
    Tokens recent_;  // the last three tokens, for DECLARE_HANDLE ( name )
};

}  // namespace constdb
