#include "jet/reader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "jet/header_page.h"
#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "jet/page_source.h"
#include "jet/table_reader.h"
#include "jet/tdef_reader.h"
#include "jet/utf.h"

namespace jet {

using namespace format;

namespace {

constexpr std::uint32_t kCatalogPage = 2;
constexpr std::uint32_t kSystemFlags = kFlagSystemObject | kFlagHiddenSystem;

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

bool CheckHeader(const std::vector<std::uint8_t>& bytes, std::string* error) {
    if (bytes.empty()) return Fail(error, "the file is empty");
    if (bytes.size() < kPageSize) return Fail(error, "the file is truncated: shorter than one page");
    if (bytes[0] != kPageHeader || std::memcmp(bytes.data() + kSignatureOffset, kSignature, sizeof kSignature) != 0)
        return Fail(error, "not a Jet database: signature missing");
    if (bytes[kVersionOffset] != kVersionJet4) return Fail(error, "not a Jet 4 (Access 2000-2003) database");
    if (bytes.size() % kPageSize != 0) return Fail(error, "the file is truncated: it ends inside a page");
    ByteVec header(bytes.begin(), bytes.begin() + kPageSize);
    UnmaskHeader(header);
    if (header[kDbKeyOffset] | header[kDbKeyOffset + 1] | header[kDbKeyOffset + 2] | header[kDbKeyOffset + 3])
        return Fail(error, "the database is encrypted");
    return true;
}

struct CatalogEntry {
    std::u16string name;
    std::uint32_t page = 0;
    std::uint32_t flags = 0;
};

std::size_t Find(const std::vector<Column>& columns, const std::u16string& name) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (TextEqual(columns[i].name, name, TextMatch::IgnoreAsciiCase)) return i;
    return Database::npos;
}

bool ReadCatalog(const PageSource& source, std::vector<CatalogEntry>& entries, std::string* error) {
    TableDef def;
    Table catalog;
    if (!ReadTableDef(source, kCatalogPage, def, error) || !ReadTableRows(source, def, catalog, error)) return false;
    const std::size_t id = Find(catalog.columns, u"Id"), name = Find(catalog.columns, u"Name"),
                      type = Find(catalog.columns, u"Type"), flags = Find(catalog.columns, u"Flags");
    if (id == Database::npos || name == Database::npos || type == Database::npos || flags == Database::npos)
        return Fail(error, "the catalog lacks its Id, Name, Type or Flags column");
    for (const auto& row : catalog.rows) {
        if (row[type].kind != Value::Kind::Integer || row[type].integer != kObjectTable) continue;
        if (row[id].kind != Value::Kind::Integer || row[name].kind != Value::Kind::Text) continue;
        CatalogEntry e;
        e.name = row[name].text;
        e.page = static_cast<std::uint32_t>(row[id].integer) & 0x00FFFFFF;
        e.flags = row[flags].kind == Value::Kind::Integer ? static_cast<std::uint32_t>(row[flags].integer) : 0;
        entries.push_back(std::move(e));
    }
    return true;
}

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

struct Database::Source {
    explicit Source(std::vector<std::uint8_t> bytes) : pages(std::move(bytes)) {}
    PageSource pages;
};

struct Database::Entry {
    Table table;
    bool user = false;
    TableDef def;
    std::vector<std::uint32_t> rowPointers;
    mutable std::unordered_map<std::uint32_t, std::size_t> rowByPointer;  // built on first use
    // Leaf entries of each index that proved sound, sorted by key; checked on first use.
    mutable std::map<const IndexDef*, std::vector<IndexEntry>> soundIndexes;
    mutable std::map<const IndexDef*, bool> checked;

    void MapRows() const {
        if (rowByPointer.empty())
            for (std::size_t r = 0; r < rowPointers.size(); ++r) rowByPointer.emplace(rowPointers[r], r);
    }

    // An index is trusted only when it holds exactly the keys this reader
    // computes for every row, and its upper levels lead to its leaves: a file
    // whose index uses codes this reader does not know, or a damaged one, falls
    // back to the hash index. A sound index's leaves are then kept in memory.
    const std::vector<IndexEntry>* Sound(const IndexDef& idx, std::size_t column, const PageSource& source) const {
        if (checked[&idx]) {
            const auto it = soundIndexes.find(&idx);
            return it == soundIndexes.end() ? nullptr : &it->second;
        }
        checked[&idx] = true;
        MapRows();
        std::vector<IndexEntry> entries;
        bool ok = ReadIndexEntries(source, idx.firstPage, entries) && entries.size() == table.rows.size();
        std::vector<bool> covered(table.rows.size(), false);
        ByteVec k;
        for (std::size_t i = 0; ok && i < entries.size(); ++i) {
            const auto it = rowByPointer.find(entries[i].row);
            k.clear();
            ok = it != rowByPointer.end() && !covered[it->second] &&
                 AppendKeyValue(def.layout[column].type, table.rows[it->second][column], k, idx.ascending[0]) &&
                 k == entries[i].key;
            if (ok) covered[it->second] = true;
        }
        constexpr std::size_t kDescentSample = 61;
        std::vector<std::uint32_t> found;
        for (std::size_t i = 0; ok && i < entries.size(); i += kDescentSample) {
            found.clear();
            ok = FindInIndex(source, idx.firstPage, entries[i].key, found) &&
                 std::find(found.begin(), found.end(), entries[i].row) != found.end();
        }
        if (!ok) return nullptr;
        std::stable_sort(entries.begin(), entries.end(),
                         [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
        return &(soundIndexes[&idx] = std::move(entries));
    }
};

Database::Database() = default;
Database::~Database() = default;

std::unique_ptr<Database> Database::Open(const std::string& path, std::string* error) {
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        Fail(error, "cannot open " + path);
        return nullptr;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (f.bad()) {
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
    if (!CheckHeader(bytes, error)) return false;
    source_ = std::make_unique<Source>(std::move(bytes));
    const PageSource& source = source_->pages;
    std::vector<CatalogEntry> entries;
    if (!ReadCatalog(source, entries, error)) return false;
    std::set<std::uint32_t> pages;
    for (const auto& e : entries)
        if (!pages.insert(e.page).second)
            return Fail(error, "the catalog names the definition at page " + std::to_string(e.page) + " twice");
    for (const auto& e : entries) {
        auto entry = std::make_unique<Entry>();
        entry->table.name = e.name;
        entry->user = (e.flags & kSystemFlags) == 0;
        std::string why;
        if (!ReadTableDef(source, e.page, entry->def, &why) ||
            !ReadTableRows(source, entry->def, entry->table, &why, &entry->rowPointers)) {
            // System tables this reader cannot use do not stop the user's tables from being read.
            if (!entry->user) continue;
            return Fail(error, "table '" + Utf16ToUtf8(e.name) + "': " + why);
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

namespace {

// The one-column index on column, if the table has one.
const IndexDef* IndexOn(const TableDef& def, std::size_t column) {
    if (column >= def.layout.size()) return nullptr;
    for (const auto& idx : def.indexes)
        if (idx.columnNumbers.size() == 1 && idx.columnNumbers[0] == def.layout[column].number) return &idx;
    return nullptr;
}

}  // namespace

bool Database::HasFileIndex(const Table& table, std::size_t column) const {
    const Entry* e = EntryOf(table);
    const IndexDef* idx = e ? IndexOn(e->def, column) : nullptr;
    return idx && e->Sound(*idx, column, source_->pages);
}

bool Database::FindWithFileIndex(const Entry& e, std::size_t column, const Value& key, TextMatch match,
                                 std::vector<std::size_t>& rows) const {
    const IndexDef* idx = IndexOn(e.def, column);
    const std::vector<IndexEntry>* entries = idx && !key.IsNull() ? e.Sound(*idx, column, source_->pages) : nullptr;
    ByteVec k;
    if (!entries || !AppendKeyValue(e.def.layout[column].type, key, k, idx->ascending[0])) return false;
    // The General sort order folds letter case, so an index answers both kinds of match.
    const auto range = std::equal_range(entries->begin(), entries->end(), IndexEntry{k, 0},
                                        [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
    for (auto it = range.first; it != range.second; ++it) {
        const std::size_t r = e.rowByPointer.at(it->row);
        if (SameValue(e.table.rows[r][column], key, match)) rows.push_back(r);
    }
    std::sort(rows.begin(), rows.end());
    return true;
}

std::size_t Database::ColumnIndex(const Table& table, const std::u16string& name) {
    return Find(table.columns, name);
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
