#include "jet/writer.h"

#include <ctime>
#include <map>
#include <fstream>
#include <set>

#include "jet/header_page.h"
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

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

double NowAsOleDate() {
    constexpr double kUnixEpochAsOleDate = 25569.0;
    return kUnixEpochAsOleDate + static_cast<double>(std::time(nullptr)) / 86400.0;
}

struct TableWork {
    const Table* table = nullptr;
    bool system = false;
    TablePlan plan;
    std::uint32_t tdefPage = 0;
    std::vector<std::uint32_t> dataPages;
    std::map<std::uint16_t, std::vector<std::uint32_t>> longValuePages;
    std::size_t firstMap = 0;  // index of its first usage map row
};

class DatabaseWriter {
public:
    DatabaseWriter(const std::vector<Table>& tables, const WriteOptions& options)
        : userTables_(tables), created_(options.created != 0.0 ? options.created : NowAsOleDate()) {}

    bool Write(ByteVec& out, std::string* error) {
        if (!CheckNames(error)) return false;
        system_ = SystemTables();
        for (auto& t : system_) Add(t, true);
        for (auto& t : userTables_) Add(t, false);
        for (auto& w : work_)
            if (!PlanTable(*w.table, w.plan, error)) return false;
        file_.Allocate();  // header
        file_.Allocate();  // usage maps
        for (auto& w : work_) w.tdefPage = file_.Allocate();
        FillCatalogRows();
        for (auto& w : work_)
            if (!LayOutRows(w, error)) return false;
        if (!BuildMaps(error)) return false;
        for (auto& w : work_) WriteDefinition(w);
        BuildHeaderPage(file_.Page(0), created_);
        out = file_.Bytes();
        return true;
    }

private:
    void Add(const Table& t, bool system) {
        TableWork w;
        w.table = &t;
        w.system = system;
        work_.push_back(std::move(w));
    }

    bool CheckNames(std::string* error) const {
        std::set<std::u16string> names;
        for (const auto& t : userTables_) {
            std::u16string folded = t.name;
            for (auto& c : folded)
                if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
            if (folded.rfind(u"msys", 0) == 0) return Fail(error, "table name reserved for the system: " + Utf16ToUtf8(t.name));
            if (!names.insert(folded).second) return Fail(error, "duplicate table '" + Utf16ToUtf8(t.name) + "'");
        }
        return true;
    }

    void FillCatalogRows() {
        std::vector<const Table*> tables;
        std::vector<std::uint32_t> pages;
        for (const auto& w : work_) {
            tables.push_back(w.table);
            pages.push_back(w.tdefPage);
        }
        FillCatalog(system_[0], tables, pages, system_.size(), created_);
    }

    // Long values take their pages as rows are encoded; data pages fill in row order.
    bool LayOutRows(TableWork& w, std::string* error) {
        LongValueStore longValues(file_);
        RowEncoder encoder(*w.table, w.plan, longValues);
        ByteVec row;
        for (const auto& values : w.table->rows) {
            if (!encoder.Encode(values, row, error)) return false;
            std::uint8_t number;
            if (w.dataPages.empty() || !AddRow(file_.Page(w.dataPages.back()), row, number)) {
                w.dataPages.push_back(file_.Allocate());
                InitDataPage(file_.Page(w.dataPages.back()), w.tdefPage, false);
                AddRow(file_.Page(w.dataPages.back()), row, number);
            }
        }
        w.longValuePages = encoder.LongValuePages();
        return true;
    }

    std::vector<std::uint32_t> PagesWithRoom(const std::vector<std::uint32_t>& pages) {
        std::vector<std::uint32_t> out;
        for (std::uint32_t p : pages)
            if (FreeSpace(file_.Page(p)) >= kUsefulFreeSpace) out.push_back(p);
        return out;
    }

    // Row 0 of page 1 is the database-wide map of free pages (none in a new file);
    // then each table's two maps and two per memo or OLE column.
    bool BuildMaps(std::string* error) {
        std::vector<ByteVec> rows(1);
        if (!BuildUsageMap({}, file_, rows[0], error)) return false;
        for (auto& w : work_) {
            w.firstMap = rows.size();
            std::vector<std::vector<std::uint32_t>> lists{w.dataPages, PagesWithRoom(w.dataPages)};
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
        mapPages_.push_back(kMapPage);
        InitDataPage(file_.Page(kMapPage), 0, false);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i / kMapRowsPerPage >= mapPages_.size()) {
                mapPages_.push_back(file_.Allocate());
                InitDataPage(file_.Page(mapPages_.back()), 0, false);
            }
            std::uint8_t number;
            AddRow(file_.Page(mapPages_[i / kMapRowsPerPage]), rows[i], number);
        }
        return true;
    }

    std::uint32_t MapPointer(std::size_t index) const {
        return RowPointer(mapPages_[index / kMapRowsPerPage], static_cast<std::uint8_t>(index % kMapRowsPerPage));
    }

    void WriteDefinition(const TableWork& w) {
        TdefInput in;
        in.table = w.table;
        in.plan = &w.plan;
        in.system = w.system;
        in.rowCount = static_cast<std::uint32_t>(w.table->rows.size());
        in.usedMap = MapPointer(w.firstMap);
        in.freeMap = MapPointer(w.firstMap + 1);
        std::size_t next = w.firstMap + 2;
        for (const ColumnPlan& c : w.plan.columns) {
            if (!IsLongValue(c.type)) continue;
            in.longValueMaps.push_back({c.number, {MapPointer(next), MapPointer(next + 1)}});
            next += 2;
        }
        StoreTableDefinition(BuildTableDefinition(in), w.tdefPage, file_);
    }

    const std::vector<Table>& userTables_;
    double created_;
    std::vector<Table> system_;
    std::vector<TableWork> work_;
    std::vector<std::uint32_t> mapPages_;
    PageFile file_;
};

}  // namespace

bool WriteDatabase(const std::vector<Table>& tables, std::vector<std::uint8_t>& out, std::string* error,
                   const WriteOptions& options) {
    DatabaseWriter writer(tables, options);
    return writer.Write(out, error);
}

bool WriteDatabase(const std::string& path, const std::vector<Table>& tables, std::string* error,
                   const WriteOptions& options) {
    ByteVec bytes;
    if (!WriteDatabase(tables, bytes, error, options)) return false;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return Fail(error, "cannot create " + path);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) return Fail(error, "cannot write " + path);
    return true;
}

}  // namespace jet
