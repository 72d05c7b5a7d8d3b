#pragma once
// Row numbers of a table column by text, matched as Jet matches text; built in
// one pass over the rows, then every lookup costs one hash probe.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "jetsql/data_source.h"
#include "jetsql/jet_text.h"

namespace jetsql {

class TextIndex {
public:
    TextIndex() = default;
    // Over rows[i][column], with i as each row's id.
    TextIndex(const std::vector<Row>& rows, std::size_t column);

    void Add(std::u16string_view text, std::size_t id) { rows_.emplace(JetFold(text), id); }

    // Ids of the rows whose text in the column equals text, ascending.
    std::vector<std::size_t> Find(std::u16string_view text) const;

private:
    std::unordered_multimap<std::u16string, std::size_t> rows_;
};

}  // namespace jetsql
