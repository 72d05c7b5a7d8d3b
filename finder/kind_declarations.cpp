#include "finder/kind_declarations.h"

#include <cstdio>
#include <functional>
#include <set>

#include "finder/guid_text.h"
#include "finder/window_notation.h"
#include "jet/text_match.h"
#include "jet/utf.h"

namespace finder {
namespace {

enum class What { Guid, String, Key };

struct Item {
    const KindConstant* row = nullptr;
    std::string name;  // as the language can write it
    What what = What::String;
    StringWidth width = StringWidth::Narrow;
    Guid guid;
    std::uint32_t pid = 0;
    bool dev = false;  // a DEVPROPKEY
    std::string bytes;      // a string's UTF-8 bytes
    std::u16string units;   // the same as UTF-16
};

std::string Hex(unsigned value, int digits) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}

bool EndsWith(const std::string& s, char c) { return !s.empty() && s.back() == c; }
std::string Base(const std::string& s) { return s.substr(0, s.size() - 1); }

// ---- GUIDs in each language ----------------------------------------------

std::string CGuidArgs(const Guid& g) {  // 0x00000000, 0x0000, 0x0000, 0xC0, ...
    std::string out = "0x" + Hex(g.data1, 8) + ", 0x" + Hex(g.data2, 4) + ", 0x" + Hex(g.data3, 4);
    for (std::uint8_t b : g.data4) out += ", 0x" + Hex(b, 2);
    return out;
}

std::string RustU128(const Guid& g) {
    std::string t = g.Text();  // 8-4-4-4-12
    std::string out = "0x";
    for (char c : t) out += c == '-' ? '_' : static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
    return out;
}

std::string EBytes(const std::vector<std::uint8_t>& bytes) {  // { 0, 0, 192 }
    std::string out = "{ ";
    for (std::size_t i = 0; i < bytes.size(); ++i) out += (i ? ", " : "") + std::to_string(bytes[i]);
    return out + " }";
}

std::vector<std::uint8_t> KeyBytes(const Item& it) {
    const auto b = it.guid.Bytes();
    std::vector<std::uint8_t> out(b.begin(), b.end());
    if (it.what == What::Key)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(it.pid >> (8 * i)));
    return out;
}

const char* KeyType(const Item& it) { return it.dev ? "DEVPROPKEY" : "PROPERTYKEY"; }

std::string GuidText(const Item& it) { return "{" + it.guid.Text() + "}"; }
std::string KeyText(const Item& it) {
    return GuidText(it) + (it.what == What::Key ? ", " + std::to_string(it.pid) : std::string());
}

// ---- strings: each language's escapes ------------------------------------

bool Printable(char32_t c) { return c >= 0x20 && c < 0x7F; }

std::string Octal(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\%03o", v & 0777);
    return buf;
}

// C: narrow bytes with octal escapes (never swallowing a following digit);
// wide: code units, \u for those C allows, else octal (a wide octal escape is
// one code unit).
std::string CString(const Item& it, bool wide) {
    std::string out = "\"";
    const auto simple = [&](unsigned c) -> bool {
        switch (c) {
        case '"': out += "\\\""; return true;
        case '\\': out += "\\\\"; return true;
        case '\t': out += "\\t"; return true;
        case '\n': out += "\\n"; return true;
        case '\r': out += "\\r"; return true;
        case '?': out += "\\?"; return true;  // no trigraphs
        }
        if (Printable(c)) {
            out += static_cast<char>(c);
            return true;
        }
        return false;
    };
    if (!wide) {
        for (char ch : it.bytes)
            if (!simple(static_cast<unsigned char>(ch))) out += Octal(static_cast<unsigned char>(ch));
    } else {
        for (std::size_t i = 0; i < it.units.size(); ++i) {
            const char16_t u = it.units[i];
            if (simple(u)) continue;
            if (u < 0xA0) out += Octal(u);
            else if (u >= 0xD800 && u < 0xDC00 && i + 1 < it.units.size() && it.units[i + 1] >= 0xDC00 && it.units[i + 1] < 0xE000)
                out += "\\U" + Hex(0x10000 + ((u - 0xD800u) << 10) + (it.units[++i] - 0xDC00u), 8);
            else out += "\\u" + Hex(u, 4);
        }
    }
    return (wide ? "L" : "") + out + "\"";
}

// C#, Rust, Python (str): one escape per code point.
std::string QuotedUnicode(const std::u16string& units, const char* (*name)(char16_t), std::string (*other)(char32_t)) {
    std::string out = "\"";
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        if (const char* n = name(static_cast<char16_t>(c < 0x80 ? c : 0xFFFF))) out += n;
        else if (Printable(c)) out += static_cast<char>(c);
        else out += other(c);
    }
    return out + "\"";
}

const char* CommonEscape(char16_t c) {
    switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case 0: return "\\0";
    }
    return nullptr;
}
const char* PythonEscape(char16_t c) { return c == 0 ? "\\x00" : CommonEscape(c); }

std::string CSharpOther(char32_t c) {
    return c > 0xFFFF ? "\\U" + Hex(static_cast<unsigned>(c), 8) : "\\u" + Hex(static_cast<unsigned>(c), 4);
}
std::string RustOther(char32_t c) { return "\\u{" + Hex(static_cast<unsigned>(c), 1) + "}"; }
std::string PythonOther(char32_t c) {
    return c < 0x100 ? "\\x" + Hex(static_cast<unsigned>(c), 2)
           : c > 0xFFFF ? "\\U" + Hex(static_cast<unsigned>(c), 8) : "\\u" + Hex(static_cast<unsigned>(c), 4);
}

std::string ByteString(const std::string& bytes, const char* prefix) {  // b"…" with \xHH
    std::string out = std::string(prefix) + "\"";
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') out += std::string("\\") + ch;
        else if (Printable(c)) out += ch;
        else out += "\\x" + Hex(c, 2);
    }
    return out + "\"";
}

// Basic: quoted runs with "" for a quote, joined with & to what other makes of
// each other character; false when other has nothing for one.
bool BasicString(const std::u16string& units, const std::function<bool(char16_t, std::string&)>& other,
                 std::string& out) {
    std::string run, piece;
    bool open = false;
    const auto join = [&](const std::string& part) { out += (out.empty() ? "" : " & ") + part; };
    const auto close = [&] {
        if (open) join("\"" + run + "\"");
        run.clear();
        open = false;
    };
    out.clear();
    for (char16_t u : units) {
        if (Printable(u)) {
            run += u == '"' ? std::string("\"\"") : std::string(1, static_cast<char>(u));
            open = true;
            continue;
        }
        close();
        if (!other(u, piece)) return false;
        join(piece);
    }
    close();
    if (out.empty()) out = "\"\"";
    return true;
}

// VB.NET: ChrW(n) for what is not printable.
std::string VBString(const std::u16string& units) {
    std::string out;
    BasicString(units, [](char16_t u, std::string& piece) {
        piece = "ChrW(" + std::to_string(u) + ")";
        return true;
    }, out);
    return out;
}

// VB6: a Const may join literals and the intrinsic constants only.
bool VB6String(const std::u16string& units, std::string& out) {
    return BasicString(units, [](char16_t u, std::string& piece) {
        const char* named = u == 0 ? "vbNullChar" : u == '\t' ? "vbTab" : u == '\r' ? "vbCr" : u == '\n' ? "vbLf" : nullptr;
        if (named) piece = named;
        return named != nullptr;
    }, out);
}

// Pascal: 'It''s'#9'x'; #$XXXX beyond ASCII.
std::string PascalString(const Item& it, bool wide) {
    std::string out;
    bool open = false;
    const auto piece = [&](unsigned c) {
        if (Printable(c)) {
            if (!open) out += "'";
            out += c == '\'' ? std::string("''") : std::string(1, static_cast<char>(c));
            open = true;
            return;
        }
        if (open) out += "'";
        open = false;
        out += c < 0x80 ? "#" + std::to_string(c) : wide ? "#$" + Hex(c, 4) : "#$" + Hex(c, 2);
    };
    if (wide)
        for (char16_t u : it.units) piece(u);
    else
        for (char ch : it.bytes) piece(static_cast<unsigned char>(ch));
    if (open) out += "'";
    return out.empty() ? "''" : out;
}

// 易语言's 文本型 constant holds printable text without quotes of its own.
bool ETextHolds(const Item& it) {
    for (char ch : it.bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c >= 0x80 || c == '"') return false;
    }
    return true;
}

std::vector<std::uint8_t> Utf16Bytes(const std::u16string& units) {  // with the terminating zero
    std::vector<std::uint8_t> out;
    for (char16_t u : units) {
        out.push_back(static_cast<std::uint8_t>(u));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

// A row's source is a header ("winnt.h", "vsstyle.h (Wine)"), not a namespace of the metadata.
bool FromHeader(const std::string& source) {
    const std::size_t end = source.find(' ');
    const std::string file = source.substr(0, end);
    return file.size() > 2 && file.compare(file.size() - 2, 2, ".h") == 0;
}

std::string Shown(const Item& it) {  // for comments: the stored text
    return it.what == What::String ? "\"" + it.row->value + "\"" : KeyText(it);
}

// ---- one language at a time ----------------------------------------------

std::string C(const std::vector<Item>& items) {
    std::string out;
    for (const Item& it : items) {
        switch (it.what) {
        case What::Guid:
            out += "DEFINE_GUID(" + it.name + ", " + CGuidArgs(it.guid) + ");  // " + GuidText(it) + "\n";
            break;
        case What::Key:
            out += std::string(it.dev ? "DEFINE_DEVPROPKEY(" : "DEFINE_PROPERTYKEY(") + it.name + ", " + CGuidArgs(it.guid) +
                   ", " + std::to_string(it.pid) + ");  // " + KeyText(it) + (it.dev ? " (<devpropdef.h>)" : " (<propkeydef.h>)") +
                   "\n";
            break;
        case What::String:
            out += "#define " + it.name + " " +
                   (it.width == StringWidth::Text ? "TEXT(" + CString(it, false) + ")" : CString(it, it.width == StringWidth::Wide)) +
                   "\n";
            break;
        }
    }
    return out;
}

bool HasKey(const std::vector<Item>& items, bool dev) {
    for (const Item& it : items)
        if (it.what == What::Key && it.dev == dev) return true;
    return false;
}
bool HasGuid(const std::vector<Item>& items) {
    for (const Item& it : items)
        if (it.what != What::String) return true;
    return false;
}

// The types a language declares before the values: its GUID (guid, where some
// value needs one and the language lacks it) and each property key type in use.
std::string TypesFirst(const std::vector<Item>& items, const std::string& guid,
                       const std::function<std::string(const std::string& keyType)>& key) {
    std::string out = HasGuid(items) ? guid : std::string();
    for (bool dev : {false, true})
        if (HasKey(items, dev)) out += key(dev ? "DEVPROPKEY" : "PROPERTYKEY");
    return out;
}

std::string CSharp(const std::vector<Item>& items) {
    std::string out = TypesFirst(items, "", [](const std::string& t) {
        return "[StructLayout(LayoutKind.Sequential)] public struct " + t + " { public Guid fmtid; public uint pid; public " + t +
               "(Guid fmtid, uint pid) { this.fmtid = fmtid; this.pid = pid; } }\n";
    });
    for (const Item& it : items) {
        switch (it.what) {
        case What::Guid:
            out += "public static readonly Guid " + it.name + " = new Guid(\"" + it.guid.Text() + "\");\n";
            break;
        case What::Key:
            out += std::string("public static readonly ") + KeyType(it) + " " + it.name + " = new " + KeyType(it) + "(new Guid(\"" +
                   it.guid.Text() + "\"), " + std::to_string(it.pid) + ");\n";
            break;
        case What::String:
            out += "public const string " + it.name + " = " + QuotedUnicode(it.units, CommonEscape, CSharpOther) + ";" +
                   (it.width == StringWidth::Narrow ? "  // ANSI: marshal as LPStr" : "") + "\n";
            break;
        }
    }
    return out;
}

std::string VB(const std::vector<Item>& items) {
    std::string out = TypesFirst(items, "", [](const std::string& t) {
        return "<StructLayout(LayoutKind.Sequential)> Public Structure " + t +
               " : Public fmtid As Guid : Public pid As UInteger : End Structure\n";
    });
    for (const Item& it : items) {
        switch (it.what) {
        case What::Guid: out += "Public ReadOnly " + it.name + " As New Guid(\"" + it.guid.Text() + "\")\n"; break;
        case What::Key:
            out += "Public ReadOnly " + it.name + " As New " + KeyType(it) + " With {.fmtid = New Guid(\"" + it.guid.Text() +
                   "\"), .pid = " + std::to_string(it.pid) + "}\n";
            break;
        case What::String: out += "Public Const " + it.name + " As String = " + VBString(it.units) + "\n"; break;
        }
    }
    return out;
}

std::string VB6Fill(const std::string& to, const Guid& g) {
    std::string out = "    " + to + ".Data1 = &H" + Hex(g.data1, 8) + "&: " + to + ".Data2 = &H" + Hex(g.data2, 4) + ": " + to +
                      ".Data3 = &H" + Hex(g.data3, 4) + "\n   ";
    for (int i = 0; i < 8; ++i) out += " " + to + ".Data4(" + std::to_string(i) + ") = &H" + Hex(g.data4[i], 2) + (i < 7 ? ":" : "");
    return out + "\n";
}

std::string VB6(const std::vector<Item>& items) {
    std::string out = TypesFirst(
        items, "' Declare once: Public Type GUID: Data1 As Long: Data2 As Integer: Data3 As Integer: Data4(0 To 7) As Byte: End Type\n",
        [](const std::string& t) { return "' Declare once: Public Type " + t + ": fmtid As GUID: pid As Long: End Type\n"; });
    for (const Item& it : items) {
        switch (it.what) {
        case What::Guid:
            out += "' " + it.row->name + " = " + GuidText(it) + " (the text for CLSIDFromString/IIDFromString)\n";
            out += "Public Sub Set_" + it.name + "(g As GUID)\n" + VB6Fill("g", it.guid) + "End Sub\n";
            break;
        case What::Key:
            out += "' " + it.row->name + " = " + KeyText(it) + "\n";
            out += "Public Sub Set_" + it.name + "(k As " + KeyType(it) + ")\n" + VB6Fill("k.fmtid", it.guid) + "    k.pid = " +
                   std::to_string(it.pid) + "\nEnd Sub\n";
            break;
        case What::String: {
            std::string text;
            if (VB6String(it.units, text)) out += "Public Const " + it.name + " As String = " + text + "\n";
            else out += "' " + it.row->name + " = " + Shown(it) + ": VB6's Const cannot hold these characters\n";
            break;
        }
        }
    }
    return out;
}

std::string Delphi(const std::vector<Item>& items) {
    std::string out = TypesFirst(items, "", [](const std::string& t) { return "  " + t + " = record fmtid: TGUID; pid: Cardinal; end;\n"; });
    out = (out.empty() ? "" : "type\n" + out) + "const\n";
    for (const Item& it : items) {
        switch (it.what) {
        case What::Guid: out += "  " + it.name + ": TGUID = '" + GuidText(it) + "';\n"; break;
        case What::Key:
            out += "  " + it.name + ": " + KeyType(it) + " = (fmtid: '" + GuidText(it) + "'; pid: " + std::to_string(it.pid) + ");\n";
            break;
        case What::String:
            switch (it.width) {
            case StringWidth::Narrow: out += "  " + it.name + ": PAnsiChar = " + PascalString(it, false) + ";\n"; break;
            case StringWidth::Wide: out += "  " + it.name + ": PWideChar = " + PascalString(it, true) + ";\n"; break;
            case StringWidth::Text: out += "  " + it.name + " = " + PascalString(it, true) + ";\n"; break;
            }
            break;
        }
    }
    return out;
}

// GUID as Rust and Python declare it where a value needs one.
const char kRustGuid[] =
    "// windows-sys has these as windows_sys::core::GUID; declared here so that the text stands alone.\n"
    "#[repr(C)] #[derive(Clone, Copy, PartialEq, Eq, Debug)]\n"
    "pub struct GUID { pub data1: u32, pub data2: u16, pub data3: u16, pub data4: [u8; 8] }\n"
    "impl GUID {\n"
    "    pub const fn from_u128(v: u128) -> Self {\n"
    "        GUID { data1: (v >> 96) as u32, data2: (v >> 80) as u16, data3: (v >> 64) as u16, data4: (v as u64).to_be_bytes() }\n"
    "    }\n"
    "}\n";
const char kPythonGuid[] =
    "import ctypes, uuid\n"
    "class GUID(ctypes.Structure):\n"
    "    _fields_ = [(\"Data1\", ctypes.c_uint32), (\"Data2\", ctypes.c_uint16), (\"Data3\", ctypes.c_uint16),\n"
    "                (\"Data4\", ctypes.c_uint8 * 8)]\n";

std::string Rust(const std::vector<Item>& items) {
    std::string out = TypesFirst(
        items, kRustGuid,
        [](const std::string& t) {
            return "#[repr(C)] #[derive(Clone, Copy, PartialEq, Eq, Debug)]\npub struct " + t + " { pub fmtid: GUID, pub pid: u32 }\n";
        });
    for (const Item& it : items) {
        switch (it.what) {
        case What::Guid: out += "pub const " + it.name + ": GUID = GUID::from_u128(" + RustU128(it.guid) + ");\n"; break;
        case What::Key:
            out += "pub const " + it.name + ": " + KeyType(it) + " = " + KeyType(it) + " { fmtid: GUID::from_u128(" + RustU128(it.guid) +
                   "), pid: " + std::to_string(it.pid) + " };\n";
            break;
        case What::String:
            switch (it.width) {
            case StringWidth::Narrow: out += "pub const " + it.name + ": &[u8] = " + ByteString(it.bytes + '\0', "b") + ";\n"; break;
            case StringWidth::Wide: {
                std::string units;
                for (char16_t u : it.units) units += "0x" + Hex(u, 4) + ", ";
                out += "pub const " + it.name + ": &[u16] = &[" + units + "0];  // " + Shown(it) + "\n";
                break;
            }
            case StringWidth::Text:
                out += "pub const " + it.name + ": &str = " + QuotedUnicode(it.units, CommonEscape, RustOther) + ";\n";
                break;
            }
            break;
        }
    }
    return out;
}

std::string Python(const std::vector<Item>& items) {
    std::string out = TypesFirst(
        items, kPythonGuid,
        [](const std::string& t) { return "class " + t + "(ctypes.Structure):\n    _fields_ = [(\"fmtid\", GUID), (\"pid\", ctypes.c_uint32)]\n"; });
    for (const Item& it : items) {
        const std::string guid = "GUID.from_buffer_copy(uuid.UUID(\"" + GuidText(it) + "\").bytes_le)";
        switch (it.what) {
        case What::Guid: out += it.name + " = " + guid + "\n"; break;
        case What::Key: out += it.name + " = " + KeyType(it) + "(" + guid + ", " + std::to_string(it.pid) + ")\n"; break;
        case What::String:
            out += it.name + " = " +
                   (it.width == StringWidth::Narrow ? ByteString(it.bytes, "b") : QuotedUnicode(it.units, PythonEscape, PythonOther)) + "\n";
            break;
        }
    }
    return out;
}

std::string E(const std::vector<Item>& items, bool afterIntegers) {
    std::string out = afterIntegers || items.empty() ? std::string() : EDeclarationHeader();
    for (const Item& it : items) {
        std::string value, remark;
        if (it.what != What::String) {
            value = EBytes(KeyBytes(it));
            remark = KeyText(it) + (it.what == What::Key ? std::string(u8" (") + KeyType(it) + u8", 20 字节)" : "");
        } else if (it.width != StringWidth::Wide && ETextHolds(it)) {
            value = u8"“" + it.bytes + u8"”";
        } else if (it.width != StringWidth::Wide) {
            value = EBytes(std::vector<std::uint8_t>(it.bytes.begin(), it.bytes.end()));
            remark = Shown(it) + u8" (ANSI 字节, 无结束零)";
        } else {
            value = EBytes(Utf16Bytes(it.units));
            remark = Shown(it) + u8" (UTF-16LE, 含结束零)";
        }
        out += u8".常量 " + it.row->name + ", \"" + value + "\"" + (remark.empty() ? "" : ", , " + remark) + "\r\n";
    }
    return out;
}

}  // namespace

std::string UnescapeStored(const std::string& e) {
    std::string out;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i] != '\\' || i + 1 == e.size()) {
            out += e[i];
            continue;
        }
        const char n = e[i + 1];
        if (n == '\\') out += '\\';
        else if (n == 't') out += '\t';
        else if (n == 'n') out += '\n';
        else if (n == 'r') out += '\r';
        else if (n == '0') out += '\0';
        else if (n == 'x' && i + 3 < e.size() && jet::HexDigitValue(e[i + 2]) >= 0 && jet::HexDigitValue(e[i + 3]) >= 0) {
            out += static_cast<char>(jet::HexDigitValue(e[i + 2]) * 16 + jet::HexDigitValue(e[i + 3]));
            i += 2;
        } else {
            out += e[i];
            continue;
        }
        ++i;
    }
    return out;
}

std::string DeclareKinds(Language language, const std::vector<KindConstant>& rows, bool afterIntegers,
                         const std::function<bool(const std::string&)>& known) {
    std::set<std::string> asked;
    for (const KindConstant& r : rows) asked.insert(r.name);
    const auto exists = [&](const std::string& n) { return asked.count(n) || (known && known(n)); };
    std::vector<Item> items;
    std::set<std::string> seen;
    for (const KindConstant& r : rows) {
        if (!seen.insert(r.name).second) continue;  // a name's first row only
        Item it;
        it.row = &r;
        it.name = language == Language::E ? r.name : MemberName(language, r.name);
        if (r.kind == "guid" || r.kind == "iid" || r.kind == "clsid") {
            it.what = What::Guid;
            if (!GuidFromText(r.value, it.guid)) continue;
        } else if (r.kind == "propkey" || r.kind == "devpropkey") {
            it.what = What::Key;
            it.dev = r.kind == "devpropkey";
            std::string guid;
            if (!SplitPropertyKey(r.value, guid, it.pid) || !GuidFromText(guid, it.guid)) continue;
        } else {
            it.what = What::String;
            it.bytes = UnescapeStored(r.value);
            it.units = jet::Utf8ToUtf16(it.bytes);
            const std::string base = r.name.size() > 1 ? Base(r.name) : std::string();
            if (r.kind == "stringA") it.width = StringWidth::Narrow;
            else if (r.kind == "stringW") it.width = StringWidth::Wide;
            else if (EndsWith(r.name, 'A') && !base.empty() && exists(base + "W")) it.width = StringWidth::Narrow;
            else if (EndsWith(r.name, 'W') && !base.empty() && exists(base + "A")) it.width = StringWidth::Wide;
            else if (exists(r.name + "A") && exists(r.name + "W")) it.width = StringWidth::Text;
            // The headers' extract calls a string whose width TEXT decides "string"; the metadata's says nothing.
            else if (r.kind == "string" && FromHeader(r.source)) it.width = StringWidth::Text;
            else if (r.name.rfind("wsz", 0) == 0) it.width = StringWidth::Wide;
            // 易语言 is ANSI: of a pair the A one.
            if (language == Language::E && ((it.width == StringWidth::Wide && EndsWith(r.name, 'W') && asked.count(base + "A")) ||
                                            (it.width == StringWidth::Text && asked.count(r.name + "A"))))
                continue;
        }
        items.push_back(std::move(it));
    }
    if (items.empty()) return std::string();
    switch (language) {
    case Language::E: return E(items, afterIntegers);
    case Language::C: return C(items);
    case Language::CSharp: return CSharp(items);
    case Language::VB: return VB(items);
    case Language::VB6: return VB6(items);
    case Language::Delphi: return Delphi(items);
    case Language::Rust: return Rust(items);
    case Language::Python: return Python(items);
    }
    return std::string();
}

}  // namespace finder
