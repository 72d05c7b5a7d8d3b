#pragma once
// The extracts in data/ are lines of tab-separated fields.
#include <string_view>
#include <vector>

namespace tools {

inline std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t at = 0;;) {
        std::size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
        if (tab == std::string_view::npos) return fields;
        at = tab + 1;
    }
}

// Calls onLine(line, number) for each line (numbered from 1) until it returns false.
template <typename OnLine>
bool ForEachLine(std::string_view text, OnLine onLine) {
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        if (!onLine(text.substr(at, end - at), ++number)) return false;
        at = end + 1;
    }
    return true;
}

}  // namespace tools
