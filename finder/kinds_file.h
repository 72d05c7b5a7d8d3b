#pragma once
// The constants that are not integers (api_kind_const: symbol, value, kind,
// source, value_key) and the error texts (api_error_text: code, text, source) of
// API常量.mdb, read through the file's own indexes (tools/kind_tables.h writes them).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database_file.h"

namespace finder {

struct KindConstant {
    std::string name, value, kind, source;  // UTF-8; value as the database keeps it
};

class KindsFile {
public:
    // nullptr when the file has no api_kind_const (an older database); the file must outlive this.
    static std::unique_ptr<KindsFile> Open(const jet::DatabaseFile& file);

    // The rows whose name equals name without regard to ASCII case, in stored order.
    bool Named(std::u16string_view name, std::vector<KindConstant>& out, std::string* error) const;
    // The rows whose name matches the pattern, in stored (name) order.
    bool Matching(std::u16string_view pattern, std::vector<KindConstant>& out, std::string* error) const;
    // The rows whose value is value (exactly, or without regard to case); with
    // prefix, those whose value begins with it (a GUID finds the property keys of
    // its format id).
    bool WithValue(const std::string& value, bool ignoreCase, bool prefix, std::vector<KindConstant>& out,
                   std::string* error) const;
    // The texts of a code (a Win32 error's code, an HRESULT's 32 bits), with their sources.
    bool Texts(std::uint32_t code, std::vector<std::pair<std::string, std::string>>& out, std::string* error) const;

private:
    explicit KindsFile(const jet::DatabaseFile& file) : file_(file) {}
    bool Rows(std::size_t column, const jet::Value& key, bool prefix, const std::function<bool(const std::vector<jet::Value>&)>& wanted,
              std::vector<KindConstant>& out, std::string* error) const;

    const jet::DatabaseFile& file_;
    const jet::StoredTable* kinds_ = nullptr;
    const jet::StoredTable* texts_ = nullptr;
    std::size_t symbol_ = 0, value_ = 0, kind_ = 0, source_ = 0, key_ = 0;  // api_kind_const's columns
    std::size_t code_ = 0, text_ = 0, textSource_ = 0;                      // api_error_text's
};

}  // namespace finder
