// qalomir-find's readers on arbitrary bytes: the command line up to the
// database (each line an argument), typed and stored numbers, patterns, the
// window's notation and every language's declaration, with what must hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "jet/utf.h"
#include "finder/command.h"
#include "finder/declarations.h"
#include "finder/integer.h"
#include "finder/pattern.h"
#include "finder/window_notation.h"

using namespace finder;

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    lines.push_back(text.substr(at));
    // The database stays the missing one: a named file could be a device that never answers.
    for (std::string& line : lines)
        if (line == "--db") line = "--all";
    return lines;
}

void CheckNumber(const std::string& text) {
    std::vector<Reading> readings;
    std::string error;
    if (ReadTypedNumber(text, readings, &error)) {
        Check(!readings.empty() && readings.size() <= 2, "a number has one or two readings");
        for (const Reading& r : readings) {
            // Every reading reads back from its own decimal form as the same value.
            std::vector<Reading> again;
            Check(ReadTypedNumber(r.value.Decimal(), again, nullptr), "a reading's decimal reads");
            Check(SameValue(again[0].value, r.value), "a reading's decimal is the same value");
        }
    } else {
        Check(error.rfind("malformed number '", 0) == 0, "a refused number says so");
    }
    if (const std::optional<StoredNumber> stored = ReadStoredNumber(text)) {
        std::vector<Reading> typed;
        Check(ReadTypedNumber(stored->value.Decimal(), typed, nullptr) && SameValue(typed[0].value, stored->value),
              "a stored number's decimal reads as the same value");
    }
}

void CheckPattern(const std::u16string& pattern, const std::u16string& name) {
    if (pattern.size() > kLongestQuery || name.size() > kLongestQuery) return;
    const bool match = MatchesPattern(pattern, name);
    if (!IsPattern(pattern)) Check(match == EqualIgnoringCase(pattern, name), "no wildcard: a match is equality");
    if (match) Check(StartsWithIgnoringCase(name, FixedPrefix(pattern)), "a match begins with the fixed start");
    Check(MatchesPattern(u"*", name), "* matches every name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string first = input.ConsumeRandomLengthString(300);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    CheckNumber(first);
    CheckPattern(jet::Utf8ToUtf16(first), jet::Utf8ToUtf16(rest));
    WhatTheWindowShows(first);
    for (const char* language : {"e", "c", "cs", "vb", "vb6", "delphi", "rust", "python"}) {
        Language l;
        Check(LanguageNamed(language, l), "every language has its name");
        Check(!Declare(l, {{"NAME", first}}).empty(), "every constant gets a line");
    }
    // The command line up to the database, which does not exist: usage or that one failure.
    StringOutput out, err;
    const int status = RunFind(Lines(first + "\n" + rest), "/nonexistent/API常量.mdb", out, err);
    Check(status == kFailed || status == kFound, "without a database: a failure, or help");
    if (status == kFailed) {
        Check(out.text.empty(), "a failure writes nothing on standard output");
        Check(err.text.rfind("qalomir-find: ", 0) == 0 && err.text.find('\n') == err.text.size() - 1,
              "a failure is one line");
    }
    return 0;
}
