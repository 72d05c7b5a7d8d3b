#include "finder/api_report.h"

#include <cctype>

namespace finder {
namespace {

const char* KindName(TypeKind kind) {
    switch (kind) {
    case TypeKind::Struct: return "struct";
    case TypeKind::Union: return "union";
    case TypeKind::Enum: return "enum";
    case TypeKind::Callback: return "callback";
    case TypeKind::Interface: return "interface";
    case TypeKind::Typedef: return "typedef";
    }
    return "";
}

// "In,Optional" as the documentation writes it: "[in, optional] ".
std::string AttributeNote(const std::string& attrs) {
    std::string note;
    std::size_t begin = 0;
    while (begin < attrs.size()) {
        std::size_t end = attrs.find(',', begin);
        if (end == std::string::npos) end = attrs.size();
        std::string word = attrs.substr(begin, end - begin);
        if (word == "In" || word == "Out" || word == "Optional" || word == "Reserved" || word == "RetVal") {
            for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            note += (note.empty() ? "" : ", ") + word;
        }
        begin = end + 1;
    }
    return note.empty() ? note : "[" + note + "] ";
}

std::string Signature(const ApiFunction& f) {
    std::string out = f.returns + " " + f.name + "(";
    for (std::size_t i = 0; i < f.params.size(); ++i)
        out += (i ? ", " : "") + AttributeNote(f.params[i].attrs) + f.params[i].type + " " + f.params[i].name;
    return out + ")";
}

std::string FunctionText(const ApiFunction& f) {
    std::string head = f.name + "  function  " + f.dll;
    if (f.setLastError) head += "  SetLastError";
    if (!f.arches.empty()) head += "  only " + f.arches;
    return head + "\n  " + Signature(f) + "\n";
}

std::string LayoutText(const char* arch, const std::optional<ApiLayout>& layout) {
    if (!layout) return std::string("  ") + arch + ": none";
    return std::string("  ") + arch + ": " + std::to_string(layout->size) + " bytes, align " +
           std::to_string(layout->align) + (layout->computed ? " (computed)" : "");
}

std::string TypeText(const ApiType& t) {
    std::string out = t.name + "  " + KindName(t.kind);
    switch (t.kind) {
    case TypeKind::Struct:
    case TypeKind::Union:
        out += LayoutText("i686", t.i686) + LayoutText("x86_64", t.x86_64);
        if (t.pack) out += "  pack " + std::to_string(t.pack);
        break;
    case TypeKind::Enum:
    case TypeKind::Typedef: out += "  " + t.target; break;
    case TypeKind::Callback: break;
    case TypeKind::Interface:
        out += "  IID " + t.iid + "  " + (t.base.empty() ? std::string("no base") : "base " + t.base) + "  " +
               std::to_string(t.methods.size()) + " methods";
        break;
    }
    if (!t.header.empty()) out += "  " + t.header;
    else if (!t.space.empty()) out += "  " + t.space;
    if (t.kind == TypeKind::Callback) out += "\n  " + Signature(t.signature);
    return out + "\n";
}

void JsonParams(JsonWriter& json, const std::vector<ApiParam>& params) {
    json.Key("params").BeginArray();
    for (const ApiParam& p : params)
        json.BeginObject().Member("name", p.name).Member("type", p.type).Member("attrs", p.attrs).EndObject();
    json.EndArray();
}

void JsonFunction(JsonWriter& json, const char* kind, const ApiFunction& f) {
    json.BeginObject().Member("kind", kind).Member("name", f.name);
    if (!f.dll.empty()) json.Member("dll", f.dll);
    json.Member("return", f.returns).Member("set_last_error", f.setLastError);
    if (!f.charset.empty()) json.Member("charset", f.charset);
    if (!f.arches.empty()) json.Member("arches", f.arches);
    json.Member("namespace", f.space);
    JsonParams(json, f.params);
    json.EndObject();
}

void JsonLayout(JsonWriter& json, const ApiLayout& layout) {
    json.BeginObject()
        .MemberNumber("size", std::to_string(layout.size))
        .MemberNumber("align", std::to_string(layout.align))
        .Member("computed", layout.computed)
        .Key("fields")
        .BeginArray();
    for (const ApiField& f : layout.fields) {
        json.BeginObject().Member("name", f.name).Member("type", f.type);
        json.MemberNumber("offset", std::to_string(f.offset)).MemberNumber("size", std::to_string(f.size));
        if (f.bitWidth)
            json.MemberNumber("bit_offset", std::to_string(f.bitOffset))
                .MemberNumber("bit_width", std::to_string(f.bitWidth));
        json.EndObject();
    }
    json.EndArray().EndObject();
}

void JsonType(JsonWriter& json, const ApiType& t) {
    json.BeginObject().Member("kind", KindName(t.kind)).Member("name", t.name).Member("namespace", t.space);
    if (!t.header.empty()) json.Member("header", t.header);
    switch (t.kind) {
    case TypeKind::Struct:
    case TypeKind::Union:
        json.MemberNumber("pack", std::to_string(t.pack)).Key("layouts").BeginObject();
        if (t.i686) JsonLayout(json.Key("i686"), *t.i686);
        if (t.x86_64) JsonLayout(json.Key("x86_64"), *t.x86_64);
        json.EndObject();
        break;
    case TypeKind::Enum:
    case TypeKind::Typedef: json.Member("type", t.target); break;
    case TypeKind::Callback:
        json.Member("return", t.signature.returns).Member("set_last_error", t.signature.setLastError);
        JsonParams(json, t.signature.params);
        break;
    case TypeKind::Interface:
        json.Member("iid", t.iid).Member("base", t.base).Key("methods").BeginArray();
        for (const ApiFunction& m : t.methods) JsonFunction(json, "method", m);
        json.EndArray();
        break;
    }
    json.EndObject();
}

}  // namespace

std::string ApiText(const ApiAnswer& a) {
    std::string out;
    for (const ApiFunction& f : a.functions) out += FunctionText(f);
    for (const ApiType& t : a.types) out += TypeText(t);
    if (!a.unicodePicks.empty()) out += a.unicodePicks + "\n";
    return out;
}

void ApiJson(JsonWriter& json, const ApiAnswer& a) {
    json.Key("api").BeginArray();
    for (const ApiFunction& f : a.functions) JsonFunction(json, "function", f);
    for (const ApiType& t : a.types) JsonType(json, t);
    json.EndArray();
    if (!a.unicodePicks.empty()) json.Member("unicode_picks", a.unicodePicks);
}

}  // namespace finder
