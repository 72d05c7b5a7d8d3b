#pragma once
// A JSON document written as it is built: commas and escapes taken care of.
#include <string>
#include <string_view>
#include <vector>

namespace finder {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view utf8);
    JsonWriter& Number(std::string_view digits);  // a decimal integer as written
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // Members with a value in one call.
    JsonWriter& Member(std::string_view key, std::string_view text) { return Key(key).String(text); }
    JsonWriter& Member(std::string_view key, const char* text) { return Key(key).String(text); }
    JsonWriter& Member(std::string_view key, bool value) { return Key(key).Bool(value); }
    JsonWriter& MemberNumber(std::string_view key, std::string_view digits) { return Key(key).Number(digits); }

    const std::string& Text() const { return out_; }

private:
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    void BeforeValue();
    std::string out_;
    std::vector<bool> empty_;  // per open container: nothing written in it yet
    bool afterKey_ = false;
};

}  // namespace finder
