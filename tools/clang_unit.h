#pragma once
// Owners for libclang's index, translation units and evaluation results, and the
// few things the header evaluator asks of them.
#include <clang-c/Index.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <memory>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include "tools/literal_notation.h"

namespace tools::clang {

struct IndexDeleter {
    void operator()(void* index) const { clang_disposeIndex(index); }
};
using Index = std::unique_ptr<void, IndexDeleter>;

struct UnitDeleter {
    void operator()(CXTranslationUnit unit) const { clang_disposeTranslationUnit(unit); }
};
using Unit = std::unique_ptr<CXTranslationUnitImpl, UnitDeleter>;

struct EvalDeleter {
    void operator()(void* result) const { clang_EvalResult_dispose(result); }
};
using Evaluation = std::unique_ptr<void, EvalDeleter>;

// A file of its own for a precompiled header, removed when done.
class TempPch {
public:
    TempPch();
    ~TempPch();
    TempPch(const TempPch&) = delete;
    TempPch& operator=(const TempPch&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The text of a CXString, which it disposes of.
std::string TakeText(CXString text);

Index NewIndex();

// Calls each(index, i) for i in [0, count) on `jobs` threads, each with an index of
// its own (libclang's index is not shared between threads).
template <typename Each>
void InParallel(std::size_t count, unsigned jobs, const Each& each) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        Index index = NewIndex();
        for (std::size_t i; (i = next++) < count;) each(index.get(), i);
    };
    std::vector<std::thread> workers;
    for (unsigned j = 1; j < std::max(1u, jobs); ++j) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
}

// Parses `source` as the main file `name` (which need not exist). Null, with
// libclang's reason, when it could not even start.
Unit Parse(CXIndex index, const std::string& name, const std::string& source, const std::vector<std::string>& args,
           unsigned flags, std::string* error);

struct Diagnostic {
    std::string file;  // absolute, or empty for the command line
    unsigned line = 0;
    std::string message;
};

// The unit's first error, if any.
bool FirstError(CXTranslationUnit unit, Diagnostic& out);

// The lines of the main file that errors point at (where a macro was used, for
// an error inside its expansion).
std::set<unsigned> MainFileErrorLines(CXTranslationUnit unit);

// The names the main file's errors say nothing declares ("use of undeclared identifier 'X'").
void UndeclaredNames(CXTranslationUnit unit, std::set<std::string>& out);

// Where a cursor is (where its macro was expanded, for code from macros).
struct Place {
    std::string file;  // absolute; empty for predefined macros and the command line
    unsigned offset = 0;
};
Place PlaceOf(CXCursor cursor);

// The line a cursor starts on, where its macro was expanded.
unsigned LineOf(CXCursor cursor);

SourceTokens TokensIn(CXTranslationUnit unit, CXSourceRange range);

// Calls visit(cursor) for each child; it returns a CXChildVisitResult.
template <typename Visit>
void VisitChildren(CXCursor parent, Visit&& visit) {
    clang_visitChildren(
        parent,
        [](CXCursor cursor, CXCursor, CXClientData data) { return (*static_cast<Visit*>(data))(cursor); },
        &visit);
}

}  // namespace tools::clang
