#include "jet/writer.h"

#include <ctime>
#include <map>
#include <cstdio>
#include <algorithm>
#include <set>

#include "jet/catalog.h"
#include "jet/failure.h"
#include "jet/header_page.h"
#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "jet/text_match.h"
#include "jet/row_encoder.h"
#include "jet/system_tables.h"
#include "jet/tdef_writer.h"
#include "jet/usage_map.h"
#include "jet/utf.h"

namespace jet {

using namespace format;

namespace {

constexpr std::uint32_t kMapPage = 1;
constexpr std::size_t kMapRowsPerPage = (kPageSize - kDataRowTable) / (kMapRowLength + 2);
// Pages with less room than this are left out of the free-space map.
constexpr std::size_t kUsefulFreeSpace = 64;

double NowAsOleDate() {
    constexpr double kUnixEpochAsOleDate = 25569.0;
    return kUnixEpochAsOleDate + static_cast<double>(std::time(nullptr)) / 86400.0;
}

struct TableWork {
    const Table* table = nullptr;
    const SystemTable* system = nullptr;  // null for the user's tables
    TablePlan plan;
    std::uint32_t tdefPage = 0;
    std::vector<std::uint32_t> dataPages;
    std::map<std::uint16_t, std::vector<std::uint32_t>> longValuePages;
    std::vector<std::uint32_t> rowPointers;  // where each row landed
    std::vector<TdefIndex> indexes;
    std::vector<std::vector<std::uint32_t>> indexPages;
    std::size_t firstMap = 0;  // index of its first usage map row
};

constexpr std::size_t kMaxIndexColumns = 10;
constexpr std::size_t kMaxIndexes = 32;

// A primary key refuses nulls as well as duplicates.
std::uint8_t UserIndexFlags(const Index& index) {
    std::uint8_t flags = kIndexAccess2000;
    if (index.unique || index.primaryKey) flags |= kIndexUnique;
    if (index.primaryKey) flags |= kIndexRequired;
    return flags;
}

class DatabaseWriter {
public:
    DatabaseWriter(const std::vector<Table>& tables, const WriteOptions& options)
        : userTables_(tables),
          created_(options.created != 0.0 ? options.created : NowAsOleDate()),
          title_(options.title) {}

    bool Write(ByteVec& out, std::string* error) {
        if (!CheckNames(error)) return false;
        system_ = SystemTables();
        for (const auto& s : system_) Add(s.table, &s);
        for (const auto& t : userTables_) Add(t, nullptr);
        for (auto& w : work_)
            if (!PlanTable(*w.table, w.plan, error, w.system ? &w.system->columnFlags : nullptr)) return false;
        file_.Allocate();  // header
        file_.Allocate();  // usage maps
        for (auto& w : work_) w.tdefPage = file_.Allocate();
        FillCatalogRows();
        for (auto& w : work_)
            if (!LayOutRows(w, error) || !BuildIndexes(w, error)) return false;
        if (!BuildMaps(error)) return false;
        for (auto& w : work_) WriteDefinition(w);
        WriteDatabaseMaps();
        BuildHeaderPage(file_.Page(0));
        out = file_.Bytes();
        return true;
    }

private:
    void Add(const Table& t, const SystemTable* system) {
        TableWork w;
        w.table = &t;
        w.system = system;
        work_.push_back(std::move(w));
    }

    bool CheckNames(std::string* error) const {
        std::set<std::u16string> names;
        for (const auto& t : userTables_) {
            const std::u16string folded = FoldAsciiCase(t.name);
            if (folded.rfind(u"msys", 0) == 0) return Fail(error, "table name reserved for the system: " + Utf16ToUtf8(t.name));
            if (!names.insert(folded).second) return Fail(error, "duplicate table '" + Utf16ToUtf8(t.name) + "'");
        }
        return true;
    }

    void FillCatalogRows() {
        std::vector<CatalogTable> tables;
        for (const auto& w : work_) tables.push_back({w.table, w.tdefPage, w.system});
        FillCatalog(tables, {created_, title_}, system_[0].table, system_[1].table);
    }

    // Long values take their pages as rows are encoded; data pages fill in row order.
    bool LayOutRows(TableWork& w, std::string* error) {
        LongValueStore longValues(file_);
        RowEncoder encoder(*w.table, w.plan, longValues);
        ByteVec row;
        for (const auto& values : w.table->rows) {
            if (!encoder.Encode(values, row, error)) return false;
            std::uint8_t number = 0;
            if (w.dataPages.empty() || !AddRow(file_.Page(w.dataPages.back()), row, number)) {
                w.dataPages.push_back(file_.Allocate());
                InitDataPage(file_.Page(w.dataPages.back()), w.tdefPage, false);
                AddRow(file_.Page(w.dataPages.back()), row, number);
            }
            w.rowPointers.push_back(RowPointer(w.dataPages.back(), number));
        }
        w.longValuePages = encoder.LongValuePages();
        return true;
    }

    // Index definitions of system tables are left out when their keys cannot be
    // written; those of user tables are the caller's and fail instead.
    bool BuildIndexes(TableWork& w, std::string* error) {
        const Table& t = *w.table;
        const std::string where = "table '" + Utf16ToUtf8(t.name) + "'";
        if (t.indexes.size() > kMaxIndexes) return Fail(error, where + " has more than 32 indexes");
        std::set<std::u16string> names;
        for (std::size_t i = 0; i < t.indexes.size(); ++i) {
            const Index& index = t.indexes[i];
            const std::string what = "index '" + Utf16ToUtf8(index.name) + "' of " + where;
            if (index.name.empty() || index.name.size() > 64) return Fail(error, what + ": name must have 1 to 64 characters");
            if (!names.insert(FoldAsciiCase(index.name)).second) return Fail(error, "duplicate " + what);
            if (index.columns.empty() || index.columns.size() > kMaxIndexColumns)
                return Fail(error, what + " must have 1 to 10 columns");
            TdefIndex def;
            def.name = index.name;
            def.primaryKey = index.primaryKey;
            def.flags = w.system ? w.system->indexFlags.at(i) : UserIndexFlags(index);
            for (const auto& name : index.columns) {
                std::size_t c = 0;
                while (c < t.columns.size() && !TextEqual(t.columns[c].name, name, TextMatch::IgnoreAsciiCase)) ++c;
                if (c == t.columns.size()) return Fail(error, what + " names a missing column");
                // An empty table needs no keys, so any column may be declared.
                if (!IndexableType(t.columns[c].type) && !t.rows.empty())
                    return Fail(error, what + ": cannot index a column of this type");
                def.columns.push_back(static_cast<std::uint16_t>(c));
            }
            std::vector<IndexEntry> entries;
            std::string why;
            if (!IndexEntries(w, def, entries, why)) {
                if (w.system) continue;
                return Fail(error, what + ": " + why);
            }
            std::vector<std::uint32_t> pages;
            BuildIndexTree(std::move(entries), w.tdefPage, file_, def.root, pages);
            w.indexes.push_back(std::move(def));
            w.indexPages.push_back(std::move(pages));
        }
        return true;
    }

    bool IndexEntries(const TableWork& w, const TdefIndex& def, std::vector<IndexEntry>& entries, std::string& why) {
        const Table& t = *w.table;
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            IndexEntry e;
            e.row = w.rowPointers[r];
            for (std::uint16_t c : def.columns) {
                if ((def.primaryKey && t.rows[r][c].IsNull()) || !AppendKeyValue(t.columns[c].type, t.rows[r][c], e.key)) {
                    why = def.primaryKey && t.rows[r][c].IsNull()
                              ? "null key in row " + std::to_string(r)
                              : "the value in row " + std::to_string(r) +
                                    " has no index key form (texts of ASCII letters, digits and punctuation only)";
                    return false;
                }
            }
            entries.push_back(std::move(e));
        }
        if (def.flags & kIndexUnique) {
            std::vector<const ByteVec*> keys;
            for (const auto& e : entries) keys.push_back(&e.key);
            std::sort(keys.begin(), keys.end(), [](const ByteVec* a, const ByteVec* b) { return *a < *b; });
            for (std::size_t i = 1; i < keys.size(); ++i)
                if (*keys[i] == *keys[i - 1]) {
                    why = "duplicate key in a unique index";
                    return false;
                }
        }
        return true;
    }

    std::vector<std::uint32_t> PagesWithRoom(const std::vector<std::uint32_t>& pages) {
        std::vector<std::uint32_t> out;
        for (std::uint32_t p : pages)
            if (FreeSpace(file_.Page(p)) >= kUsefulFreeSpace) out.push_back(p);
        return out;
    }

    // Each table's two maps, one per index and two per memo or OLE column, on
    // map pages of their own.
    bool BuildMaps(std::string* error) {
        std::vector<ByteVec> rows;
        for (auto& w : work_) {
            w.firstMap = rows.size();
            std::vector<std::vector<std::uint32_t>> lists{w.dataPages, PagesWithRoom(w.dataPages)};
            for (const auto& pages : w.indexPages) lists.push_back(pages);
            for (const ColumnPlan& c : w.plan.columns) {
                if (!IsLongValue(c.type)) continue;
                const auto& lv = w.longValuePages[c.number];
                lists.push_back(lv);
                lists.push_back(PagesWithRoom(lv));
            }
            for (const auto& list : lists) {
                rows.emplace_back();
                if (!BuildUsageMap(list, file_, rows.back(), error)) return false;
            }
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i / kMapRowsPerPage >= mapPages_.size()) {
                mapPages_.push_back(file_.Allocate());
                InitDataPage(file_.Page(mapPages_.back()), 0, false);
            }
            std::uint8_t number = 0;
            AddRow(file_.Page(mapPages_[i / kMapRowsPerPage]), rows[i], number);
        }
        return true;
    }

    // Page 1 holds the database's own maps: first the pages free for reuse,
    // which in a new file are those past its end, then an empty one.
    void WriteDatabaseMaps() {
        ByteVec& page = file_.Page(kMapPage);
        InitDataPage(page, kMapPage, false);
        ByteVec freePages(kMapRowLength, 0);
        freePages[0] = kMapInline;
        for (std::size_t p = file_.PageCount(); p < kInlineMapPages; ++p)
            freePages[5 + p / 8] |= static_cast<std::uint8_t>(1u << (p % 8));
        ByteVec empty(kMapRowLength, 0);
        std::uint8_t number = 0;
        AddRow(page, freePages, number);
        AddRow(page, empty, number);
    }

    std::uint32_t MapPointer(std::size_t index) const {
        return RowPointer(mapPages_[index / kMapRowsPerPage], static_cast<std::uint8_t>(index % kMapRowsPerPage));
    }

    void WriteDefinition(const TableWork& w) {
        TdefInput in;
        in.table = w.table;
        in.plan = &w.plan;
        in.type = w.system ? w.system->definitionType : kTableUser;
        in.createdWithDatabase = w.system != nullptr;
        in.rowCount = static_cast<std::uint32_t>(w.table->rows.size());
        in.usedMap = MapPointer(w.firstMap);
        in.freeMap = MapPointer(w.firstMap + 1);
        std::size_t next = w.firstMap + 2;
        in.indexes = w.indexes;
        for (auto& idx : in.indexes) idx.usedMap = MapPointer(next++);
        for (const ColumnPlan& c : w.plan.columns) {
            if (!IsLongValue(c.type)) continue;
            in.longValueMaps.push_back({c.number, {MapPointer(next), MapPointer(next + 1)}});
            next += 2;
        }
        StoreTableDefinition(BuildTableDefinition(in), w.tdefPage, file_);
    }

    const std::vector<Table>& userTables_;
    double created_;
    std::u16string title_;
    std::vector<SystemTable> system_;
    std::vector<TableWork> work_;
    std::vector<std::uint32_t> mapPages_;
    PageFile file_;
};

// The file's name without its folder and extension, as Access titles a new database.
std::string FileTitle(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

bool WriteDatabase(const std::vector<Table>& tables, std::vector<std::uint8_t>& out, std::string* error,
                   const WriteOptions& options) {
    DatabaseWriter writer(tables, options);
    return writer.Write(out, error);
}

bool WriteDatabase(const std::string& path, const std::vector<Table>& tables, std::string* error,
                   const WriteOptions& options) {
    WriteOptions named = options;
    if (named.title.empty()) named.title = Utf8ToUtf16(FileTitle(path));
    ByteVec bytes;
    if (!WriteDatabase(tables, bytes, error, named)) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return Fail(error, "cannot create " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) return Fail(error, "cannot write " + path);
    return true;
}

}  // namespace jet
