#include "jetsql/text_index.h"

#include <algorithm>

#include "jetsql/jet_text.h"

namespace jetsql {

TextIndex::TextIndex(const std::vector<Row>& rows, std::size_t column) {
    rows_.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (column >= rows[r].size()) continue;
        const jet::Value& v = rows[r][column];
        if (v.kind == jet::Value::Kind::Text) Add(v.text, r);
    }
}

std::vector<std::size_t> TextIndex::Find(std::u16string_view text) const {
    std::vector<std::size_t> hits;
    auto range = rows_.equal_range(JetFold(text));
    for (auto it = range.first; it != range.second; ++it) hits.push_back(it->second);
    std::sort(hits.begin(), hits.end());
    return hits;
}

}  // namespace jetsql
