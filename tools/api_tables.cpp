#include "tools/api_tables.h"

#include <algorithm>

#include "jet/utf.h"

namespace tools {
namespace {

using jet::ColumnType;
using jet::Value;

Value TextValue(const std::string& s) { return s.empty() ? Value::Null() : Value::FromText(jet::Utf8ToUtf16(s)); }
Value Int(std::int64_t n) { return Value::FromInteger(n); }

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : ",") + w;
    return out;
}

std::string ArchesText(std::uint8_t arches) {
    std::vector<std::string> words;
    if (arches & kArchX86) words.push_back("X86");
    if (arches & kArchX64) words.push_back("X64");
    if (arches & kArchArm64) words.push_back("Arm64");
    return Joined(words);
}

jet::Table NewTable(const char16_t* name, std::vector<std::pair<const char16_t*, ColumnType>> columns) {
    jet::Table t;
    t.name = name;
    for (const auto& c : columns) t.columns.push_back({c.first, c.second, 0});
    return t;
}

void AddIndex(jet::Table& t, const char16_t* column, bool unique) {
    t.indexes.push_back({column, {column}, unique, false});
}

bool SameFields(const RecordLayout& a, const RecordLayout& b) {
    if (a.fields.size() != b.fields.size()) return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i) {
        const FieldLayout &x = a.fields[i], &y = b.fields[i];
        if (x.name != y.name || x.type != y.type || x.offset != y.offset || x.size != y.size ||
            x.bitOffset != y.bitOffset || x.bitWidth != y.bitWidth)
            return false;
    }
    return true;
}

class Writer {
public:
    Writer(const SdkTypes& sdk, ApiTablesReport& report) : sdk_(sdk), report_(report) {
        functions_ = NewTable(u"api_function", {{u"id", ColumnType::LongInteger},
                                                {u"symbol", ColumnType::Text},
                                                {u"kind", ColumnType::Text},
                                                {u"owner", ColumnType::Text},
                                                {u"slot", ColumnType::LongInteger},
                                                {u"dll", ColumnType::Text},
                                                {u"returns", ColumnType::Text},
                                                {u"last_error", ColumnType::Text},
                                                {u"charset", ColumnType::Text},
                                                {u"arches", ColumnType::Text},
                                                {u"space", ColumnType::Text},
                                                {u"c_returns", ColumnType::Text},
                                                {u"c_call", ColumnType::Text},
                                                {u"c_variadic", ColumnType::LongInteger}});
        AddIndex(functions_, u"id", true);
        AddIndex(functions_, u"symbol", false);
        AddIndex(functions_, u"owner", false);
        params_ = NewTable(u"api_param", {{u"function_id", ColumnType::LongInteger},
                                          {u"pos", ColumnType::LongInteger},
                                          {u"symbol", ColumnType::Text},
                                          {u"type_text", ColumnType::Text},
                                          {u"attrs", ColumnType::Text},
                                          {u"c_type", ColumnType::Text}});
        AddIndex(params_, u"function_id", false);
        types_ = NewTable(u"api_type", {{u"id", ColumnType::LongInteger},
                                        {u"symbol", ColumnType::Text},
                                        {u"kind", ColumnType::Text},
                                        {u"arch", ColumnType::Text},
                                        {u"bytes", ColumnType::LongInteger},
                                        {u"alignment", ColumnType::LongInteger},
                                        {u"pack", ColumnType::LongInteger},
                                        {u"layout", ColumnType::Text},
                                        {u"header", ColumnType::Text},
                                        {u"space", ColumnType::Text},
                                        {u"target", ColumnType::Text},
                                        {u"iid", ColumnType::Text},
                                        {u"base", ColumnType::Text},
                                        {u"function_id", ColumnType::LongInteger},
                                        {u"fields_id", ColumnType::LongInteger}});
        AddIndex(types_, u"id", true);
        AddIndex(types_, u"symbol", false);
        fields_ = NewTable(u"api_field", {{u"type_id", ColumnType::LongInteger},
                                          {u"pos", ColumnType::LongInteger},
                                          {u"symbol", ColumnType::Text},
                                          {u"type_text", ColumnType::Text},
                                          {u"byte_offset", ColumnType::LongInteger},
                                          {u"bytes", ColumnType::LongInteger},
                                          {u"bit_offset", ColumnType::LongInteger},
                                          {u"bit_width", ColumnType::LongInteger}});
        AddIndex(fields_, u"type_id", false);
    }

    // header: the headers' declaration of a DLL function, or null.
    std::int64_t AddFunction(const SdkFunction& f, const char* kind, const std::string& owner, std::int64_t slot,
                             const HeaderFunction* header = nullptr) {
        const std::int64_t id = ++lastFunction_;
        // The headers' spelling of each parameter, where they count them as the metadata does.
        const bool sameCount = header && !header->noPrototype && header->params.size() == f.params.size();
        if (header) ++report_.headerDeclared;
        if (header && !sameCount) ++report_.headerOtherCount;
        const char* charset = (f.flags & kAnsi) ? "Ansi" : (f.flags & kUnicode) ? "Unicode" : "";
        functions_.rows.push_back({Int(id), TextValue(f.name), TextValue(kind), TextValue(owner),
                                   slot ? Int(slot) : Value::Null(), TextValue(f.dll), TextValue(f.returns),
                                   TextValue((f.flags & kSetLastError) ? "SetLastError" : ""), TextValue(charset),
                                   TextValue(ArchesText(f.arches)),
                                   // A method's namespace is its interface's: not repeated 44,000 times.
                                   owner.empty() ? TextValue(Space(f.space)) : Value::Null(),
                                   // A function returning a pointer to a function has its name inside the type.
                                   TextValue(header && WritableHeaderType(header->returns) &&
                                                     header->returns.find('(') == std::string::npos
                                                 ? header->returns
                                                 : ""),
                                   TextValue(header ? CallingConventionMacro(header->call) : ""),
                                   header && header->variadic ? Int(1) : Value::Null()});
        std::int64_t pos = 0;
        for (const SdkMember& p : f.params) {
            const std::string* cType = sameCount ? &header->params[static_cast<std::size_t>(pos)] : nullptr;
            params_.rows.push_back({Int(id), Int(++pos), TextValue(p.name), TextValue(p.type), TextValue(Joined(p.attrs)),
                                    TextValue(cType && WritableHeaderType(*cType) ? *cType : "")});
        }
        report_.params += f.params.size();
        return id;
    }

    // A type row without a layout: enums, typedefs, callbacks, interfaces.
    void AddType(const std::string& name, const char* kind, std::uint32_t space, const std::string& target,
                 const std::string& iid = {}, const std::string& base = {}, std::int64_t function = 0,
                 const std::string& header = {}) {
        types_.rows.push_back({Int(++lastType_), TextValue(name), TextValue(kind), Value::Null(), Value::Null(),
                               Value::Null(), Value::Null(), Value::Null(), TextValue(header), TextValue(Space(space)),
                               TextValue(target), TextValue(iid), TextValue(base),
                               function ? Int(function) : Value::Null(), Value::Null()});
        ++report_.types;
    }

    // A record's x86_64 row shares the i686 row's fields where they are the same
    // (RECT, most records without pointers): the file stays under 64 MB.
    void AddRecord(const SdkRecord& r, Target target, const RecordLayout& layout, const char* how,
                   const std::string& header) {
        const std::int64_t id = ++lastType_;
        std::int64_t fieldsId = id;
        if (target == Target::I686) {
            i686_[r.name] = {id, layout};
        } else if (const auto same = i686_.find(r.name); same != i686_.end() && SameFields(same->second.second, layout)) {
            fieldsId = same->second.first;
        }
        types_.rows.push_back({Int(id), TextValue(r.name), TextValue(r.isUnion ? "union" : "struct"),
                               TextValue(TargetName(target)), Int(layout.size), Int(layout.align), Int(r.pack),
                               TextValue(how), TextValue(header), TextValue(Space(r.space)), Value::Null(),
                               Value::Null(), Value::Null(), Value::Null(), Int(fieldsId)});
        ++report_.types;
        if (fieldsId != id) return;
        std::int64_t pos = 0;
        for (const FieldLayout& f : layout.fields)
            fields_.rows.push_back({Int(id), Int(++pos), TextValue(f.name), TextValue(f.type), Int(f.offset), Int(f.size),
                                    f.bitWidth ? Int(f.bitOffset) : Value::Null(),
                                    f.bitWidth ? Int(f.bitWidth) : Value::Null()});
        report_.fields += layout.fields.size();
    }

    std::vector<jet::Table> Tables() {
        std::vector<jet::Table> out;
        out.push_back(std::move(functions_));
        out.push_back(std::move(params_));
        out.push_back(std::move(types_));
        out.push_back(std::move(fields_));
        return out;
    }

private:
    std::string Space(std::uint32_t space) const { return space < sdk_.namespaces.size() ? sdk_.namespaces[space] : ""; }

    const SdkTypes& sdk_;
    ApiTablesReport& report_;
    jet::Table functions_, params_, types_, fields_;
    std::int64_t lastFunction_ = 0, lastType_ = 0;
    std::map<std::string, std::pair<std::int64_t, RecordLayout>> i686_;  // by name: the row and its layout
};

// The compiler's layout, with the metadata's field types where the fields agree by name.
bool SameFieldNames(const RecordLayout& a, const RecordLayout& b) {
    if (a.fields.size() != b.fields.size()) return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i)
        if (a.fields[i].name != b.fields[i].name) return false;
    return true;
}

void RecordDifference(ApiTablesReport& report, const std::string& name, Target target, const std::string& what) {
    report.differences.push_back(name + "\t" + TargetName(target) + "\t" + what);
}

// The metadata's type text for a field the compiler spelled in C ("DWORD", "WCHAR[260]",
// "_Anonymous_e__Union"); a byte array of the field's size where no type of the same size
// is found, so that a declaration keeps the layout whatever it can name.
std::string MetadataTypeOf(const FieldLayout& field, const std::string& record, LayoutRules& rules) {
    static const std::map<std::string, std::string> basic = {
        {"char", "Byte"}, {"CHAR", "Byte"}, {"signed char", "SByte"}, {"unsigned char", "Byte"}, {"UCHAR", "Byte"},
        {"BYTE", "Byte"}, {"BOOLEAN", "Byte"}, {"UINT8", "Byte"}, {"INT8", "SByte"}, {"short", "Int16"},
        {"SHORT", "Int16"}, {"INT16", "Int16"}, {"unsigned short", "UInt16"}, {"USHORT", "UInt16"}, {"WORD", "UInt16"},
        {"UINT16", "UInt16"}, {"WCHAR", "Char"}, {"wchar_t", "Char"}, {"int", "Int32"}, {"INT", "Int32"},
        {"long", "Int32"}, {"LONG", "Int32"}, {"INT32", "Int32"}, {"LONG32", "Int32"}, {"WINBOOL", "Int32"},
        {"BOOL", "Int32"}, {"HRESULT", "Int32"}, {"unsigned int", "UInt32"}, {"UINT", "UInt32"},
        {"unsigned long", "UInt32"}, {"ULONG", "UInt32"}, {"DWORD", "UInt32"}, {"UINT32", "UInt32"},
        {"ULONG32", "UInt32"}, {"DWORD32", "UInt32"}, {"long long", "Int64"}, {"LONGLONG", "Int64"},
        {"INT64", "Int64"}, {"LONG64", "Int64"}, {"unsigned long long", "UInt64"}, {"ULONGLONG", "UInt64"},
        {"UINT64", "UInt64"}, {"ULONG64", "UInt64"}, {"DWORD64", "UInt64"}, {"DWORDLONG", "UInt64"},
        {"float", "Single"}, {"FLOAT", "Single"}, {"double", "Double"}, {"DOUBLE", "Double"},
        {"ULONG_PTR", "UIntPtr"}, {"UINT_PTR", "UIntPtr"}, {"DWORD_PTR", "UIntPtr"}, {"SIZE_T", "UIntPtr"},
        {"size_t", "UIntPtr"}, {"LONG_PTR", "IntPtr"}, {"INT_PTR", "IntPtr"}, {"SSIZE_T", "IntPtr"},
        {"GUID", "Guid"}, {"IID", "Guid"}, {"CLSID", "Guid"}};
    std::string c = field.type, steps;
    for (const char* qualifier : {"const ", "volatile ", "struct ", "union ", "enum "})
        for (std::size_t at; (at = c.find(qualifier)) != std::string::npos;) c.erase(at, std::string(qualifier).size());
    if (const std::size_t bracket = c.find('['); bracket != std::string::npos) {
        steps = c.substr(bracket);
        steps.erase(std::remove(steps.begin(), steps.end(), ' '), steps.end());
        c.erase(bracket);
    }
    while (!c.empty() && c.back() == ' ') c.pop_back();
    std::string base = c;
    const bool pointer = c.find('*') != std::string::npos;
    if (pointer) base = "Void*";  // a pointer of whatever kind: its size is what matters here
    else if (const auto b = basic.find(c); b != basic.end()) base = b->second;
    else if (rules.Record(record + "." + c)) base = record + "." + c;
    std::string text = base + steps;
    std::uint32_t size = 0, align = 0;
    if (field.size == 0 || field.bitWidth) return text;  // a flexible array or a bit-field: as the compiler has it
    if (!rules.SizeOf(text, size, align, nullptr) || size != field.size) return "Byte[" + std::to_string(field.size) + "]";
    return text;
}

// Both views of one record on one target, the compiler's winning; false when neither has one.
bool ChooseLayout(const SdkRecord& r, Target target, LayoutRules& rules, const HeaderRecords* headers,
                  ApiTablesReport& report, RecordLayout& out, const char*& how, std::string& header) {
    const int t = target == Target::I686 ? 0 : 1;
    RecordLayout byRules;
    std::string why;
    const bool ruled = rules.Layout(r.name, byRules, &why);
    const HeaderRecord* compiled = nullptr;
    if (headers) {
        const auto h = headers->find(r.name);
        if (h != headers->end()) compiled = &h->second;
    }
    if (!compiled) {
        if (!ruled) {
            ++report.unsized[t];
            RecordDifference(report, r.name, target, "no layout: " + why);
            return false;
        }
        ++report.computed[t];
        out = std::move(byRules);
        how = "computed";
        return true;
    }
    ++report.compiler[t];
    out = compiled->layout;
    how = "compiler";
    header = compiled->header;
    if (ruled && byRules.size != out.size) {
        ++report.otherSize[t];
        RecordDifference(report, r.name, target,
                         "size: headers " + std::to_string(out.size) + ", metadata by C's rules " +
                             std::to_string(byRules.size));
    }
    if (ruled && SameFieldNames(byRules, out)) {
        // The metadata's types, where they have the compiler's sizes (LOGFONTW's lfCharSet
        // is a BYTE the metadata gives a 4-byte enum).
        for (std::size_t i = 0; i < out.fields.size(); ++i) {
            FieldLayout& f = out.fields[i];
            f.type = byRules.fields[i].size == f.size ? byRules.fields[i].type : MetadataTypeOf(f, r.name, rules);
        }
        return true;
    }
    for (FieldLayout& f : out.fields) f.type = MetadataTypeOf(f, r.name, rules);
    if (ruled) {
        ++report.otherFields[t];
        std::string names;
        for (const FieldLayout& f : out.fields) names += (names.empty() ? "" : ",") + f.name;
        RecordDifference(report, r.name, target,
                         "fields: headers " + std::to_string(out.fields.size()) + " (" + names + "), metadata " +
                             std::to_string(byRules.fields.size()));
    }
    return true;
}

// Each interface's methods come after its base's: the first method's slot.
std::int64_t FirstSlot(const std::map<std::string, const SdkInterface*>& interfaces, const SdkInterface& i) {
    std::int64_t slot = 1;
    const SdkInterface* base = &i;
    for (int depth = 0; depth < 64; ++depth) {
        const auto b = interfaces.find(base->base);
        if (base->base.empty() || b == interfaces.end()) break;
        base = b->second;
        slot += static_cast<std::int64_t>(base->methods.size());
    }
    return slot;
}

}  // namespace

std::vector<jet::Table> MakeApiTables(const SdkTypes& sdk, const std::array<const HeaderRecords*, 2>& headers,
                                      ApiTablesReport& report, const HeaderFunctions* functions) {
    Writer writer(sdk, report);
    // The headers were read for i686: a row the metadata gives x64 or Arm64 alone
    // (SQLGetData's SQLLEN) keeps the metadata's spelling.
    for (const SdkFunction& f : sdk.functions)
        writer.AddFunction(f, "function", "", 0,
                           functions && (f.arches == 0 || (f.arches & kArchX86)) ? FindHeaderFunction(*functions, f.name)
                                                                                 : nullptr);
    report.functions = sdk.functions.size();
    // A typedef name the headers also define says where: C writes none of its own after them.
    const auto headerOf = [&](const std::string& name) {
        if (!functions) return std::string();
        const auto& all = functions->typedefs;
        const auto at = std::lower_bound(all.begin(), all.end(), name,
                                         [](const HeaderTypedef& t, const std::string& n) { return t.name < n; });
        return at != all.end() && at->name == name ? at->header : std::string();
    };
    for (const SdkFunction& c : sdk.callbacks) {
        const std::int64_t id = writer.AddFunction(c, "callback", "", 0);
        writer.AddType(c.name, "callback", c.space, c.returns, {}, {}, id, headerOf(c.name));
    }
    report.callbacks = sdk.callbacks.size();
    std::map<std::string, const SdkInterface*> interfaces;
    for (const SdkInterface& i : sdk.interfaces) interfaces.emplace(i.name, &i);
    for (const SdkInterface& i : sdk.interfaces) {
        writer.AddType(i.name, "interface", i.space, "", i.iid, i.base);
        std::int64_t slot = FirstSlot(interfaces, i);
        for (const SdkFunction& m : i.methods) writer.AddFunction(m, "method", i.name, slot++);
        report.methods += i.methods.size();
    }
    for (const SdkTypedef& t : sdk.typedefs) writer.AddType(t.name, "typedef", t.space, t.type, {}, {}, 0, headerOf(t.name));
    for (const SdkEnum& e : sdk.enums) writer.AddType(e.name, "enum", e.space, e.base, {}, {}, 0, headerOf(e.name));
    for (Target target : {Target::I686, Target::X86_64}) {
        LayoutRules rules(sdk, target);
        const HeaderRecords* compiled = headers[target == Target::I686 ? 0 : 1];
        if (compiled) {
            std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> sizes;
            for (const auto& [name, record] : *compiled) sizes[name] = {record.layout.size, record.layout.align};
            rules.PreferSizes(std::move(sizes));
        }
        std::map<std::string, bool> written;
        for (const SdkRecord& r : sdk.records) {
            // One row per name and target: the copy the target sees.
            if (rules.Record(r.name) != &r || written[r.name]) continue;
            written[r.name] = true;
            RecordLayout layout;
            const char* how = "";
            std::string header;
            if (ChooseLayout(r, target, rules, compiled, report, layout, how, header))
                writer.AddRecord(r, target, layout, how, header);
        }
    }
    return writer.Tables();
}

}  // namespace tools
