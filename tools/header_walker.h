#pragma once
// Reads every header under one or more folders the way a preprocessor would for a
// 32-bit Windows program: <windows.h> first, following its #includes, then every
// other header. Branches that such a build skips are still scanned, and what they
// define is kept with Reach::Inactive.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/header_set.h"

namespace constdb {

class HeaderWalker {
public:
    explicit HeaderWalker(std::vector<std::string> folders);
    HeaderSet Walk();

    // Macros a 32-bit GCC for Windows defines before reading anything.
    static std::vector<std::pair<std::string, std::string>> PredefinedMacros();

private:
    struct Conditional {
        bool parentActive;
        bool active;
        bool taken;  // some branch of this #if chain has been entered
    };
    struct FileState;

    void IndexFolder(const std::string& folder);
    std::string Resolve(const std::string& name, const std::string& fromDir) const;
    void WalkFile(const std::string& path);
    void Directive(const Tokens& tokens, std::size_t begin, std::size_t end, FileState& file);
    void MakeCurrent(std::size_t definition);
    void Define(const Tokens& tokens, std::size_t begin, std::size_t end, bool active, const std::string* file);
    void Include(const Tokens& tokens, std::size_t begin, std::size_t end, const FileState& file);
    void Pragma(const Tokens& tokens, std::size_t begin, std::size_t end);
    bool Condition(const Tokens& tokens, std::size_t begin, std::size_t end);
    Tokens ReplaceDefined(const Tokens& tokens, std::size_t begin, std::size_t end) const;
    bool ExpandWithCurrentMacros(const Tokens& in, Tokens& out) const;
    bool IsDefined(const std::string& name) const { return out_.atEnd.count(name) != 0; }
    const Macro* Lookup(const std::string& name) const;
    void AddTypedef(Tokens tokens);
    void AddEnum(std::vector<EnumMemberSource> members, const std::string* file, Reach reach);

    std::vector<std::string> folders_;
    std::map<std::string, std::string> byLowerPath_;  // relative path, lower case -> file
    std::vector<std::string> allHeaders_;
    std::set<std::string> visited_;
    HeaderSet out_;
    std::map<std::string, std::vector<std::ptrdiff_t>> pushedMacros_;
    Reach phase_ = Reach::WindowsH;
};

}  // namespace constdb
