#pragma once
// API常量.mdb as the command reads it: the table api_const (宏或常量名, 常量值,
// 备注), through jet's reader over a read-only mapping of the file. Names are
// found through the file's own index on 宏或常量名; everything else walks the
// table once (finder/text_scan.h).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database_file.h"
#include "finder/mapped_file.h"

namespace finder {

struct ConstantRow {
    std::string name, value, source;  // UTF-8; a null is empty
    std::uint32_t pointer = 0;        // where the row is stored: stored order is pointer order
};

// A row as a scan meets it: the name, the value text and, when asked for,
// the source; valid until the next row.
struct ScannedRow {
    std::u16string_view name;
    std::u16string_view value;
    std::u16string_view source;
    std::uint32_t pointer;
};

class ConstantsFile {
public:
    // nullptr on failure, with the reason in *error: the file cannot be
    // opened, jet cannot read it, or it has no api_const of three text columns.
    static std::unique_ptr<ConstantsFile> Open(const std::string& path, std::string* error);

    // The rows whose name equals name without regard to ASCII case, in stored order.
    bool RowsNamed(std::u16string_view name, std::vector<ConstantRow>& rows, std::string* error) const;
    // The rows whose name begins with prefix without regard to ASCII case, in stored order.
    bool RowsBeginningWith(std::u16string_view prefix, std::vector<ConstantRow>& rows, std::string* error) const;
    // Whether every pointer names a live row of api_const.
    bool HoldsRows(const std::vector<std::uint32_t>& pointers) const;
    // The rows stored at pointers, in that order, as a scan meets them (the
    // source too); false, with the reason, when one is not a live row of api_const.
    bool VisitAt(const std::vector<std::uint32_t>& pointers, const std::function<bool(const ScannedRow&)>& visit,
                 std::string* error) const;
    // The rows stored at pointers, in that order.
    bool ReadRows(const std::vector<std::uint32_t>& pointers, std::vector<ConstantRow>& rows, std::string* error) const;
    // In stored order until visit returns false: the rows whose name may begin
    // with prefix (callers test the names), found through the index; every
    // row for an empty prefix, or when the index cannot answer. The source is
    // read only withSource.
    bool Visit(std::u16string_view prefix, bool withSource, const std::function<bool(const ScannedRow&)>& visit,
               std::string* error) const;

    // What ties a file made from this table to it (a value index beside it): a
    // hash of the file's size, api_const's definition page and its row count.
    std::uint64_t Fingerprint() const;

    // The whole file, for the questions about other tables.
    const jet::DatabaseFile& Database() const { return *file_; }

private:
    ConstantsFile() = default;
    // Pointers of the rows the index gives for key; false when it cannot answer.
    bool IndexPointers(std::u16string_view key, bool prefix, std::vector<std::uint32_t>& pointers) const;
    bool Scan(bool withSource, const std::function<bool(const ScannedRow&)>& visit, std::string* error) const;
    bool RowsWhere(std::u16string_view key, bool prefix, const std::function<bool(std::u16string_view)>& wanted,
                   std::vector<ConstantRow>& rows, std::string* error) const;

    std::unique_ptr<MappedFile> mapped_;
    std::unique_ptr<jet::DatabaseFile> file_;
    const jet::StoredTable* table_ = nullptr;
    std::size_t name_ = 0, value_ = 0, source_ = 0;  // column positions
};

}  // namespace finder
