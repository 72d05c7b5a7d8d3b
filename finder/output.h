#pragma once
// Where the command's text goes: UTF-8 handed on in pieces (a console, a
// file, a pipe, or a string in the tests).
#include <string>
#include <string_view>

namespace finder {

class Output {
public:
    virtual ~Output() = default;
    virtual void Write(std::string_view utf8) = 0;
};

class StringOutput : public Output {
public:
    void Write(std::string_view utf8) override { text.append(utf8.data(), utf8.size()); }
    std::string text;
};

}  // namespace finder
