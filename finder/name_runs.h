#pragma once
// A name's rows as a walk of the table meets them (a builder writes a name's
// rows together, the first being the value the window shows), the names a
// question keeps (the first ones in name order, up to a limit, and how many
// there were), and the rows of those names as the answer shows them.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "finder/constants_file.h"
#include "finder/integer.h"
#include "finder/window_notation.h"

namespace finder {

struct Run {
    std::u16string name;
    std::vector<std::uint32_t> pointers;
    std::vector<std::optional<Integer>> values;  // empty unless numbers were asked for
    std::vector<bool> empty;
    std::vector<bool> marked;  // what the tracker's mark says of each row's source

    // The row the window shows: the first with a value; npos when none has one.
    std::size_t First() const;
};

// Feeds rows to onRun a name at a time, in the order they come.
class RunTracker {
public:
    // Values are read as numbers only when the question needs them; mark, when
    // given, is asked of each row's source.
    RunTracker(bool numbers, std::function<bool(std::u16string_view)> mark, std::function<void(const Run&)> onRun)
        : numbers_(numbers), mark_(std::move(mark)), onRun_(std::move(onRun)) {}
    void Add(const ScannedRow& row);
    void Finish();  // the last name

private:
    Run run_;
    bool numbers_;
    std::function<bool(std::u16string_view)> mark_;
    std::function<void(const Run&)> onRun_;
};

// Feeds the rows Visit gives for prefix to runs, the last name included.
bool WalkRuns(const ConstantsFile& file, std::u16string_view prefix, bool withSource, RunTracker& runs,
              std::string* error);

// The names a question kept, up to limit (0: all) in name order, and their count.
class Collector {
public:
    explicit Collector(std::size_t limit) : limit_(limit) {}
    // Counts the run when any row is selected, and keeps it while it is among the first.
    void Offer(const Run& run, const std::vector<bool>& selected);

    struct Kept {
        std::u16string name;
        std::vector<std::uint32_t> pointers;
        std::vector<bool> selected;
        bool operator<(const Kept& o) const { return name < o.name; }
    };
    std::size_t Total() const { return total_; }
    std::vector<Kept> TakeSorted();

private:
    std::size_t limit_;
    std::size_t total_ = 0;
    std::vector<Kept> heap_;  // the last kept name on top
};

// One row as an answer shows it.
struct Constant {
    ConstantRow row;
    std::optional<StoredNumber> number;
    WindowBoxes window;
    bool first = true;          // the row the window shows for its name
    bool differs = false;       // a later row whose value is not the first row's
    bool othersDiffer = false;  // the first row, where a later row has another value
};

// The selected rows of one name's rows (stored order), marked against the first.
std::vector<Constant> ConstantsOf(const std::vector<ConstantRow>& rows, const std::vector<bool>& selected);
// The rows of the first row with a value, or with all every row that has one.
std::vector<bool> SelectFirstOrAll(const std::vector<ConstantRow>& rows, bool all);

// The kept names' rows read back, in name order.
bool Materialize(const ConstantsFile& file, const std::vector<Collector::Kept>& kept, std::vector<Constant>& out,
                 std::string* error);

}  // namespace finder
