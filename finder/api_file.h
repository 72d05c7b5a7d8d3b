#pragma once
// The functions and types of API常量.mdb as the command reads them, through
// jet's reader and the file's own indexes:
//   api_function  id, symbol, kind (function, method, callback), owner, slot, dll,
//                 returns, last_error, charset, arches, space[, c_returns, c_call, c_variadic]
//   api_param     function_id, pos, symbol, type_text, attrs[, c_type]
// (the bracketed columns, the headers' C spelling, may be absent from older files)
//   api_type      id, symbol, kind, arch, bytes, alignment, pack, layout, header,
//                 space, target, iid, base, function_id, fields_id
//   api_field     type_id, pos, symbol, type_text, byte_offset, bytes, bit_offset, bit_width
// A record has one api_type row per architecture (arch i686 or x86_64); every
// other type one row with no arch.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database_file.h"
#include "finder/api_model.h"

namespace finder {

class ApiFile : public TypeCatalog {
public:
    // nullptr when the file has no such tables (a database of constants alone);
    // *error then says so. The file must outlive this.
    static std::unique_ptr<ApiFile> Open(const jet::DatabaseFile& file, std::string* error);

    // The DLL functions whose name equals name without regard to ASCII case.
    bool Functions(std::u16string_view name, std::vector<ApiFunction>& out, std::string* error) const;
    // The types whose name equals name without regard to ASCII case, a
    // record's architectures merged into one.
    bool Types(std::u16string_view name, std::vector<ApiType>& out, std::string* error) const;

    // The exact name (TypeCatalog); remembered, and null on a failure to read.
    const ApiType* Find(std::string_view name) const override;

private:
    struct Table {
        const jet::StoredTable* stored = nullptr;
        std::map<std::u16string, std::size_t> columns;
        std::size_t Column(const char16_t* name) const { return columns.at(name); }
        // Where the file may lack the column: the row's value, or null.
        const jet::Value* Optional(const std::vector<jet::Value>& row, const char16_t* name) const {
            const auto at = columns.find(name);
            return at == columns.end() || at->second >= row.size() ? nullptr : &row[at->second];
        }
    };
    explicit ApiFile(const jet::DatabaseFile& file) : file_(file) {}
    bool OpenTable(const char16_t* name, const std::vector<const char16_t*>& columns, Table& table,
                   std::string* error, const std::vector<const char16_t*>& optional = {});
    // The rows whose column holds key (a text compared without regard to ASCII case).
    bool RowsWhere(const Table& table, const char16_t* column, const jet::Value& key,
                   std::vector<std::vector<jet::Value>>& rows, std::string* error) const;
    bool ReadFunction(const std::vector<jet::Value>& row, ApiFunction& out, std::string* error) const;
    bool ReadFields(std::int64_t typeId, ApiLayout& layout, std::string* error) const;
    bool ReadType(const std::vector<jet::Value>& row, ApiType& out, std::string* error) const;

    const jet::DatabaseFile& file_;
    Table functions_, params_, types_, fields_;
    mutable std::map<std::string, std::unique_ptr<ApiType>, std::less<>> found_;
};

}  // namespace finder
