#include "tests/support/jet_reader.h"

#include <algorithm>
#include <cstring>
#include <cstdio>

#include "jet/failure.h"
#include "jet/index_key.h"
#include "jet/index_pages.h"

namespace jet {

namespace {

// Equal keys for equal values: texts (folded as asked), numbers by value, bytes.
bool HashKey(const Value& v, TextMatch match, std::string& key) {
    switch (v.kind) {
        case Value::Kind::Null: return false;
        case Value::Kind::Text: {
            const std::u16string t = match == TextMatch::Exact ? v.text : FoldAsciiCase(v.text);
            key.assign("T");
            key.append(reinterpret_cast<const char*>(t.data()), t.size() * sizeof(char16_t));
            return true;
        }
        case Value::Kind::Integer:
            key = "N" + std::to_string(static_cast<double>(v.integer));
            return true;
        case Value::Kind::Double:
            key = "N" + std::to_string(v.real);
            return true;
        case Value::Kind::Binary:
            key.assign("B");
            key.append(v.binary.begin(), v.binary.end());
            return true;
    }
    return false;
}

bool SameValue(const Value& a, const Value& b, TextMatch match) {
    if (a.kind == Value::Kind::Text && b.kind == Value::Kind::Text) return TextEqual(a.text, b.text, match);
    const auto number = [](const Value& v, double& d) {
        if (v.kind == Value::Kind::Integer) { d = static_cast<double>(v.integer); return true; }
        if (v.kind == Value::Kind::Double) { d = v.real; return true; }
        return false;
    };
    double x, y;
    if (number(a, x) && number(b, y)) return x == y;
    return a.kind == Value::Kind::Binary && b.kind == Value::Kind::Binary && a.binary == b.binary;
}

}  // namespace

struct Database::Entry {
    Table table;
    bool user = false;
    const StoredTable* stored = nullptr;
    std::vector<std::uint32_t> rowPointers;
    mutable std::unordered_map<std::uint32_t, std::size_t> rowByPointer;  // built on first use
    mutable std::map<const IndexDef*, bool> sound;  // indexes checked so far

    void MapRows() const {
        if (rowByPointer.empty())
            for (std::size_t r = 0; r < rowPointers.size(); ++r) rowByPointer.emplace(rowPointers[r], r);
    }

    // An index is trusted only when it holds exactly the keys this reader
    // computes for every row: a file whose index uses codes this reader does
    // not know, or a damaged one, falls back to the hash index.
    bool Sound(const IndexDef& idx, std::size_t column, const PageSource& source) const {
        const auto known = sound.find(&idx);
        if (known != sound.end()) return known->second;
        MapRows();
        std::vector<bool> covered(table.rows.size(), false);
        std::size_t entries = 0;
        ByteVec k;
        const ColumnType type = stored->def.layout[column].type;
        const bool ok = ForEachIndexEntry(source, idx.firstPage, stored->def.page,
                                          [&](const IndexEntryView& key, std::uint32_t row) {
                                              const auto it = rowByPointer.find(row);
                                              if (it == rowByPointer.end() || covered[it->second]) return false;
                                              covered[it->second] = true;
                                              ++entries;
                                              k.clear();
                                              if (!AppendKeyValue(type, table.rows[it->second][column], k,
                                                                  idx.ascending[0]) ||
                                                  k.size() != key.size())
                                                  return false;
                                              for (std::size_t i = 0; i < k.size(); ++i)
                                                  if (k[i] != key[i]) return false;
                                              return true;
                                          }) &&
                        entries == table.rows.size();
        sound[&idx] = ok;
        return ok;
    }
};

Database::Database() = default;
Database::~Database() = default;

std::unique_ptr<Database> Database::Open(const std::string& path, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        Fail(error, "cannot open " + path);
        return nullptr;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        Fail(error, "cannot read " + path);
        return nullptr;
    }
    return OpenBytes(std::move(bytes), error);
}

std::unique_ptr<Database> Database::OpenBytes(std::vector<std::uint8_t> bytes, std::string* error) {
    std::unique_ptr<Database> db(new Database());
    if (!db->Load(std::move(bytes), error)) return nullptr;
    return db;
}

bool Database::Load(std::vector<std::uint8_t> bytes, std::string* error) {
    file_ = DatabaseFile::Open(PageSource(std::move(bytes)), error);
    if (!file_) return false;
    // One budget for the whole file: all of it is decoded and kept.
    DecodeBudget budget(file_->Pages());
    for (const auto& stored : file_->Tables()) {
        auto entry = std::make_unique<Entry>();
        entry->table.name = stored->name;
        entry->table.columns = stored->def.columns;
        for (const auto& idx : stored->def.indexes) entry->table.indexes.push_back(idx.index);
        entry->user = stored->user;
        entry->stored = stored.get();
        std::string why;
        if (!file_->ReadAll(*stored, entry->table.rows, &why, &entry->rowPointers, &budget)) {
            // System tables this reader cannot use do not stop the user's tables from being read.
            if (!entry->user) continue;
            return Fail(error, why);
        }
        tables_.push_back(std::move(entry));
    }
    return true;
}

std::vector<std::u16string> Database::TableNames() const {
    std::vector<std::u16string> names;
    for (const auto& e : tables_)
        if (e->user) names.push_back(e->table.name);
    return names;
}

const Table* Database::FindTable(const std::u16string& name) const {
    for (const auto& e : tables_)
        if (TextEqual(e->table.name, name, TextMatch::IgnoreAsciiCase)) return &e->table;
    return nullptr;
}

const Database::Entry* Database::EntryOf(const Table& table) const {
    for (const auto& e : tables_)
        if (&e->table == &table) return e.get();
    return nullptr;
}

bool Database::HasFileIndex(const Table& table, std::size_t column) const {
    const Entry* e = EntryOf(table);
    const IndexDef* idx = e ? IndexOn(e->stored->def, column) : nullptr;
    return idx && e->Sound(*idx, column, file_->Pages());
}

bool Database::FindWithFileIndex(const Entry& e, std::size_t column, const Value& key, TextMatch match,
                                 std::vector<std::size_t>& rows) const {
    const IndexDef* idx = IndexOn(e.stored->def, column);
    if (!idx || key.IsNull() || !e.Sound(*idx, column, file_->Pages())) return false;
    std::vector<std::uint32_t> pointers;
    if (file_->FindInIndex(*e.stored, column, key, false, pointers) != DatabaseFile::IndexAnswer::Answered) return false;
    // The General sort order folds letter case, so an index answers both kinds of match.
    for (std::uint32_t p : pointers) {
        const auto it = e.rowByPointer.find(p);
        if (it != e.rowByPointer.end() && SameValue(e.table.rows[it->second][column], key, match))
            rows.push_back(it->second);
    }
    std::sort(rows.begin(), rows.end());
    return true;
}

std::size_t Database::ColumnIndex(const Table& table, const std::u16string& name) {
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (TextEqual(table.columns[i].name, name, TextMatch::IgnoreAsciiCase)) return i;
    return npos;
}

std::vector<std::size_t> Database::FindRowsEqual(const Table& table, std::size_t column, const Value& key,
                                                 TextMatch match) const {
    std::vector<std::size_t> rows;
    const Entry* e = EntryOf(table);
    if (e && FindWithFileIndex(*e, column, key, match, rows)) return rows;
    rows.clear();
    return FindWithHash(table, column, key, match);
}

std::vector<std::size_t> Database::FindWithHash(const Table& table, std::size_t column, const Value& key,
                                                TextMatch match) const {
    std::vector<std::size_t> rows;
    std::string k;
    if (column >= table.columns.size() || !HashKey(key, match, k)) return rows;
    auto it = hashIndexes_.find({&table, column, match});
    if (it == hashIndexes_.end()) {
        HashIndex index;
        index.reserve(table.rows.size());
        std::string rowKey;
        for (std::size_t r = 0; r < table.rows.size(); ++r)
            if (column < table.rows[r].size() && HashKey(table.rows[r][column], match, rowKey)) index.emplace(rowKey, r);
        it = hashIndexes_.emplace(std::make_tuple(&table, column, match), std::move(index)).first;
    }
    const auto range = it->second.equal_range(k);
    for (auto r = range.first; r != range.second; ++r)
        if (SameValue(table.rows[r->second][column], key, match)) rows.push_back(r->second);
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace jet
