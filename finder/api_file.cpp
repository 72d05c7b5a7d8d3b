#include "finder/api_file.h"

#include <algorithm>

#include "jet/text_match.h"
#include "jet/utf.h"

namespace finder {
namespace {

std::string Text(const jet::Value& v) { return v.kind == jet::Value::Kind::Text ? jet::Utf16ToUtf8(v.text) : ""; }
std::int64_t Number(const jet::Value& v) { return v.kind == jet::Value::Kind::Integer ? v.integer : 0; }
std::string Text(const jet::Value* v) { return v ? Text(*v) : ""; }
std::uint32_t Count(const jet::Value& v) { return static_cast<std::uint32_t>(std::max<std::int64_t>(0, Number(v))); }

bool SameName(const jet::Value& v, std::u16string_view name) {
    return v.kind == jet::Value::Kind::Text && jet::TextEqual(v.text, std::u16string(name), jet::TextMatch::IgnoreAsciiCase);
}

const std::optional<TypeKind> KindNamed(const std::string& kind) {
    static const std::pair<const char*, TypeKind> kinds[] = {
        {"struct", TypeKind::Struct},       {"union", TypeKind::Union},         {"enum", TypeKind::Enum},
        {"callback", TypeKind::Callback},   {"interface", TypeKind::Interface}, {"typedef", TypeKind::Typedef}};
    for (const auto& k : kinds)
        if (kind == k.first) return k.second;
    return std::nullopt;
}

}  // namespace

std::unique_ptr<ApiFile> ApiFile::Open(const jet::DatabaseFile& file, std::string* error) {
    std::unique_ptr<ApiFile> api(new ApiFile(file));
    if (!api->OpenTable(u"api_function", {u"id", u"symbol", u"kind", u"owner", u"slot", u"dll", u"returns",
                                          u"last_error", u"charset", u"arches", u"space"},
                        api->functions_, error, {u"c_returns", u"c_call", u"c_variadic"}) ||
        !api->OpenTable(u"api_param", {u"function_id", u"pos", u"symbol", u"type_text", u"attrs"}, api->params_,
                        error, {u"c_type"}) ||
        !api->OpenTable(u"api_type", {u"id", u"symbol", u"kind", u"arch", u"bytes", u"alignment", u"pack", u"layout",
                                      u"header", u"space", u"target", u"iid", u"base", u"function_id", u"fields_id"},
                        api->types_, error) ||
        !api->OpenTable(u"api_field", {u"type_id", u"pos", u"symbol", u"type_text", u"byte_offset", u"bytes",
                                       u"bit_offset", u"bit_width"},
                        api->fields_, error))
        return nullptr;
    return api;
}

bool ApiFile::OpenTable(const char16_t* name, const std::vector<const char16_t*>& columns, Table& table,
                        std::string* error, const std::vector<const char16_t*>& optional) {
    table.stored = file_.Find(name);
    if (!table.stored) {
        if (error) *error = "no table " + jet::Utf16ToUtf8(name) + ": this database holds constants only";
        return false;
    }
    const auto& stored = table.stored->def.columns;
    for (const char16_t* column : columns) {
        const auto at = std::find_if(stored.begin(), stored.end(), [&](const jet::Column& c) {
            return jet::TextEqual(c.name, column, jet::TextMatch::IgnoreAsciiCase);
        });
        if (at == stored.end()) {
            if (error) *error = jet::Utf16ToUtf8(name) + " has no column " + jet::Utf16ToUtf8(column);
            return false;
        }
        table.columns[column] = static_cast<std::size_t>(at - stored.begin());
    }
    for (const char16_t* column : optional) {
        const auto at = std::find_if(stored.begin(), stored.end(), [&](const jet::Column& c) {
            return jet::TextEqual(c.name, column, jet::TextMatch::IgnoreAsciiCase);
        });
        if (at != stored.end()) table.columns[column] = static_cast<std::size_t>(at - stored.begin());
    }
    return true;
}

bool ApiFile::RowsWhere(const Table& table, const char16_t* column, const jet::Value& key,
                        std::vector<std::vector<jet::Value>>& rows, std::string* error) const {
    const std::size_t at = table.Column(column);
    rows.clear();
    const bool text = key.kind == jet::Value::Kind::Text;
    return file_.VisitByKey(
        *table.stored, at, key, false,
        [&](std::vector<jet::Value>& row) {
            if (text ? SameName(row[at], key.text) : row[at] == key) rows.push_back(std::move(row));
        },
        error);
}

bool ApiFile::ReadFunction(const std::vector<jet::Value>& row, ApiFunction& out, std::string* error) const {
    const Table& f = functions_;
    out.name = Text(row[f.Column(u"symbol")]);
    out.dll = Text(row[f.Column(u"dll")]);
    out.returns = Text(row[f.Column(u"returns")]);
    out.setLastError = !Text(row[f.Column(u"last_error")]).empty();
    out.charset = Text(row[f.Column(u"charset")]);
    out.arches = Text(row[f.Column(u"arches")]);
    out.space = Text(row[f.Column(u"space")]);
    out.cReturns = Text(f.Optional(row, u"c_returns"));
    out.cCall = Text(f.Optional(row, u"c_call"));
    const jet::Value* variadic = f.Optional(row, u"c_variadic");
    out.cVariadic = variadic && Number(*variadic) != 0;
    std::vector<std::vector<jet::Value>> params;
    if (!RowsWhere(params_, u"function_id", row[f.Column(u"id")], params, error)) return false;
    const std::size_t pos = params_.Column(u"pos");
    std::sort(params.begin(), params.end(), [&](const auto& a, const auto& b) { return Number(a[pos]) < Number(b[pos]); });
    out.params.clear();
    for (const auto& p : params) {
        ApiParam param;
        param.name = Text(p[params_.Column(u"symbol")]);
        param.type = Text(p[params_.Column(u"type_text")]);
        param.attrs = Text(p[params_.Column(u"attrs")]);
        param.cType = Text(params_.Optional(p, u"c_type"));
        out.params.push_back(std::move(param));
    }
    return true;
}

bool ApiFile::Functions(std::u16string_view name, std::vector<ApiFunction>& out, std::string* error) const {
    std::vector<std::vector<jet::Value>> rows;
    if (!RowsWhere(functions_, u"symbol", jet::Value::FromText(std::u16string(name)), rows, error)) return false;
    out.clear();
    for (const auto& row : rows) {
        if (Text(row[functions_.Column(u"kind")]) != "function") continue;
        out.emplace_back();
        if (!ReadFunction(row, out.back(), error)) return false;
    }
    return true;
}

bool ApiFile::ReadFields(std::int64_t typeId, ApiLayout& layout, std::string* error) const {
    std::vector<std::vector<jet::Value>> rows;
    if (!RowsWhere(fields_, u"type_id", jet::Value::FromInteger(typeId), rows, error)) return false;
    const std::size_t pos = fields_.Column(u"pos");
    std::sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) { return Number(a[pos]) < Number(b[pos]); });
    for (const auto& r : rows) {
        ApiField field;
        field.name = Text(r[fields_.Column(u"symbol")]);
        field.type = Text(r[fields_.Column(u"type_text")]);
        field.offset = Count(r[fields_.Column(u"byte_offset")]);
        field.size = Count(r[fields_.Column(u"bytes")]);
        field.bitOffset = static_cast<std::uint16_t>(Count(r[fields_.Column(u"bit_offset")]));
        field.bitWidth = static_cast<std::uint16_t>(Count(r[fields_.Column(u"bit_width")]));
        layout.fields.push_back(std::move(field));
    }
    return true;
}

// One row of api_type into out; a record's row adds its architecture's layout.
bool ApiFile::ReadType(const std::vector<jet::Value>& row, ApiType& out, std::string* error) const {
    const Table& t = types_;
    const auto kind = KindNamed(Text(row[t.Column(u"kind")]));
    if (!kind) {
        if (error) *error = "api_type: '" + Text(row[t.Column(u"symbol")]) + "' has an unknown kind";
        return false;
    }
    out.kind = *kind;
    out.name = Text(row[t.Column(u"symbol")]);
    out.space = Text(row[t.Column(u"space")]);
    if (out.header.empty()) out.header = Text(row[t.Column(u"header")]);
    out.pack = Count(row[t.Column(u"pack")]);
    out.target = Text(row[t.Column(u"target")]);
    out.iid = Text(row[t.Column(u"iid")]);
    out.base = Text(row[t.Column(u"base")]);
    const std::string arch = Text(row[t.Column(u"arch")]);
    if (arch == "i686" || arch == "x86_64") {
        ApiLayout layout;
        layout.size = Count(row[t.Column(u"bytes")]);
        layout.align = Count(row[t.Column(u"alignment")]);
        layout.computed = Text(row[t.Column(u"layout")]) == "computed";
        if (!ReadFields(Number(row[t.Column(u"fields_id")]), layout, error)) return false;
        (arch == "i686" ? out.i686 : out.x86_64) = std::move(layout);
    }
    std::vector<std::vector<jet::Value>> functions;
    if (out.kind == TypeKind::Callback && out.signature.name.empty()) {
        if (!RowsWhere(functions_, u"id", row[t.Column(u"function_id")], functions, error)) return false;
        if (!functions.empty() && !ReadFunction(functions[0], out.signature, error)) return false;
    }
    if (out.kind == TypeKind::Interface && out.methods.empty()) {
        if (!RowsWhere(functions_, u"owner", jet::Value::FromText(jet::Utf8ToUtf16(out.name)), functions, error))
            return false;
        const std::size_t slot = functions_.Column(u"slot");
        std::sort(functions.begin(), functions.end(),
                  [&](const auto& a, const auto& b) { return Number(a[slot]) < Number(b[slot]); });
        for (const auto& f : functions) {
            out.methods.emplace_back();
            if (!ReadFunction(f, out.methods.back(), error)) return false;
        }
    }
    return true;
}

bool ApiFile::Types(std::u16string_view name, std::vector<ApiType>& out, std::string* error) const {
    std::vector<std::vector<jet::Value>> rows;
    if (!RowsWhere(types_, u"symbol", jet::Value::FromText(std::u16string(name)), rows, error)) return false;
    out.clear();
    // A record's architectures are rows of one name, letter case included (DXVA2_VideoSample
    // and DXVA2_VIDEOSAMPLE are two records), and one kind.
    const std::size_t symbol = types_.Column(u"symbol"), kind = types_.Column(u"kind");
    for (const auto& row : rows) {
        const std::string name = Text(row[symbol]);
        const auto k = KindNamed(Text(row[kind]));
        auto same = std::find_if(out.begin(), out.end(), [&](const ApiType& t) { return t.name == name && k == t.kind; });
        if (same == out.end()) same = out.emplace(out.end());
        if (!ReadType(row, *same, error)) return false;
    }
    return true;
}

const ApiType* ApiFile::Find(std::string_view name) const {
    const auto known = found_.find(name);
    if (known != found_.end()) return known->second.get();
    std::vector<ApiType> types;
    std::unique_ptr<ApiType> type;
    if (Types(jet::Utf8ToUtf16(std::string(name)), types, nullptr)) {
        for (ApiType& t : types)
            if (t.name == name) type = std::make_unique<ApiType>(std::move(t));
    }
    return found_.emplace(std::string(name), std::move(type)).first->second.get();
}

}  // namespace finder
