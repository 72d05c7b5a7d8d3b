#include "jet/database_file.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "jet/failure.h"
#include "jet/header_page.h"
#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "jet/utf.h"

namespace jet {

using namespace format;

namespace {

constexpr std::uint32_t kSystemFlags = kFlagSystemObject | kFlagHiddenSystem;

bool CheckHeader(const PageSource& source, std::string* error) {
    if (source.FileSize() == 0) return Fail(error, "the file is empty");
    ByteView first;
    if (!source.Page(0, first)) return Fail(error, "the file is truncated: shorter than one page");
    const auto carries = [&](const char (&signature)[sizeof kSignature]) {
        return first.data()[0] == kPageHeader &&
               std::memcmp(first.data() + kSignatureOffset, signature, sizeof signature) == 0;
    };
    if (carries(kAceSignature)) return Fail(error, "Access 2007 and later files (.accdb, ACE) are not supported");
    if (!carries(kSignature)) return Fail(error, "not a Jet database: signature missing");
    if (first.data()[kVersionOffset] != kVersionJet4) return Fail(error, "not a Jet 4 (Access 2000-2003) database");
    if (source.FileSize() % kPageSize != 0) return Fail(error, "the file is truncated: it ends inside a page");
    ByteVec header = first.Copy();
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

std::size_t ColumnNamed(const std::vector<Column>& columns, const std::u16string& name) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (TextEqual(columns[i].name, name, TextMatch::IgnoreAsciiCase)) return i;
    return columns.size();
}

bool CatalogEntries(const std::vector<Column>& columns, const std::vector<std::vector<Value>>& rows,
                    std::vector<CatalogEntry>& entries, std::string* error) {
    const std::size_t id = ColumnNamed(columns, u"Id"), name = ColumnNamed(columns, u"Name"),
                      type = ColumnNamed(columns, u"Type"), flags = ColumnNamed(columns, u"Flags");
    if (std::max({id, name, type, flags}) == columns.size())
        return Fail(error, Where{"MSysObjects", kCatalogPage}, "the catalog lacks its Id, Name, Type or Flags column");
    for (const auto& row : rows) {
        if (row[type].kind != Value::Kind::Integer || row[type].integer != kObjectTable) continue;
        if (row[id].kind != Value::Kind::Integer || row[name].kind != Value::Kind::Text) continue;
        CatalogEntry e;
        e.name = row[name].text;
        e.page = static_cast<std::uint32_t>(row[id].integer) & 0x00FFFFFF;
        e.flags = row[flags].kind == Value::Kind::Integer ? static_cast<std::uint32_t>(row[flags].integer) : 0;
        entries.push_back(std::move(e));
    }
    std::set<std::uint32_t> pages;
    for (const auto& e : entries)
        if (!pages.insert(e.page).second)
            return Fail(error, "the catalog names the definition at page " + std::to_string(e.page) + " twice");
    return true;
}

}  // namespace

const IndexDef* IndexOn(const TableDef& def, std::size_t column) {
    if (column >= def.layout.size()) return nullptr;
    for (const auto& idx : def.indexes)
        if (idx.columnNumbers.size() == 1 && idx.columnNumbers[0] == def.layout[column].number) return &idx;
    return nullptr;
}

std::unique_ptr<DatabaseFile> DatabaseFile::Open(PageSource source, std::string* error) {
    std::unique_ptr<DatabaseFile> file(new DatabaseFile(std::move(source)));
    if (!file->Load(error)) return nullptr;
    return file;
}

bool DatabaseFile::Load(std::string* error) {
    if (!CheckHeader(source_, error)) return false;
    StoredTable catalog;
    catalog.name = u"MSysObjects";
    std::vector<std::vector<Value>> rows;
    std::vector<CatalogEntry> entries;
    if (!ReadTableDef(source_, kCatalogPage, catalog.def, error)) return false;
    catalog.rows = std::make_unique<TableRows>(source_, catalog.def, "MSysObjects");
    if (!ReadAll(catalog, rows, error) || !CatalogEntries(catalog.def.columns, rows, entries, error)) return false;
    for (const auto& e : entries) {
        auto table = std::make_unique<StoredTable>();
        table->name = e.name;
        table->user = (e.flags & kSystemFlags) == 0;
        if (e.page == kCatalogPage) {
            table->def = catalog.def;
        } else if (std::string why; !ReadTableDef(source_, e.page, table->def, &why)) {
            // System tables this reader cannot use do not stop the user's tables from being read.
            if (!table->user) continue;
            return Fail(error, "table '" + Utf16ToUtf8(e.name) + "': " + why);
        }
        table->rows = std::make_unique<TableRows>(source_, table->def, Utf16ToUtf8(e.name));
        tables_.push_back(std::move(table));
    }
    return true;
}

const StoredTable* DatabaseFile::Find(const std::u16string& name) const {
    for (const auto& t : tables_)
        if (TextEqual(t->name, name, TextMatch::IgnoreAsciiCase)) return t.get();
    return nullptr;
}

bool DatabaseFile::Locate(const StoredTable& table, std::string* error) const {
    if (!table.located) table.located = table.rows->Locate(error);
    return table.located;
}

bool DatabaseFile::CountRows(const StoredTable& table, std::size_t& count, std::string* error) const {
    if (!Locate(table, error)) return false;
    count = table.rows->Count();
    return true;
}

bool DatabaseFile::ReadAll(const StoredTable& table, std::vector<std::vector<Value>>& rows, std::string* error,
                           std::vector<std::uint32_t>* pointers, DecodeBudget* budget) const {
    DecodeBudget own(source_);
    return Locate(table, error) && table.rows->ReadAll(rows, budget ? *budget : own, error, pointers);
}

bool DatabaseFile::Scan(const StoredTable& table,
                        const std::function<bool(std::uint32_t, std::vector<Value>&)>& visit,
                        std::string* error) const {
    return Locate(table, error) && table.rows->ForEach(nullptr, visit, error);
}

bool DatabaseFile::ReadAt(const StoredTable& table, const std::vector<std::uint32_t>& pointers,
                          std::vector<std::vector<Value>>& rows, std::string* error) const {
    DecodeBudget budget(source_);
    rows.clear();
    for (std::uint32_t p : pointers) {
        rows.emplace_back();
        if (!table.rows->ReadAt(p, rows.back(), budget, error)) return false;
    }
    return true;
}

bool DatabaseFile::VisitByKey(const StoredTable& table, std::size_t column, const Value& key, bool prefix,
                              const std::function<void(std::vector<Value>&)>& visit, std::string* error) const {
    std::vector<std::uint32_t> pointers;
    if (FindInIndex(table, column, key, prefix, pointers) == IndexAnswer::Answered) {
        std::vector<std::vector<Value>> rows;
        if (!ReadAt(table, pointers, rows, error)) return false;
        for (auto& row : rows) visit(row);
        return true;
    }
    return Scan(
        table,
        [&](std::uint32_t, std::vector<Value>& row) {
            visit(row);
            return true;
        },
        error);
}

DatabaseFile::IndexAnswer DatabaseFile::FindInIndex(const StoredTable& table, std::size_t column, const Value& key,
                                                    bool prefix, std::vector<std::uint32_t>& pointers) const {
    pointers.clear();
    const IndexDef* idx = IndexOn(table.def, column);
    if (!idx || key.IsNull() || !idx->ascending[0]) return IndexAnswer::NoIndex;
    ByteVec k;
    const ColumnType type = table.def.layout[column].type;
    const bool keyed = prefix ? type == ColumnType::Text && key.kind == Value::Kind::Text &&
                                    AppendTextKeyPrefix(key.text, k)
                              : AppendKeyValue(type, key, k);
    if (!keyed) return IndexAnswer::NoIndex;
    if (!jet::FindInIndex(source_, idx->firstPage, table.def.page, k, prefix, pointers, &table.indexNodes))
        return IndexAnswer::Damaged;
    // Index order is key order; the caller wants stored order, which pointers follow.
    std::sort(pointers.begin(), pointers.end());
    pointers.erase(std::unique(pointers.begin(), pointers.end()), pointers.end());
    return IndexAnswer::Answered;
}

}  // namespace jet
