#include "finder/api_declarations.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <set>

namespace finder {

const char* ArchName(Arch arch) { return arch == Arch::I686 ? "i686" : "x86_64"; }

Arch DefaultArch(Language language) {
    return language == Language::E || language == Language::VB6 ? Arch::I686 : Arch::X86_64;
}

namespace {

// ---------------------------------------------------------------------------
// A type text resolved through the catalog.

struct Ty;
using TyP = std::shared_ptr<const Ty>;

struct Ty {
    enum class K { Void, Int, Float, Bool, Char, Guid, Str, Ptr, Array, Record, Callback, Interface, Unknown };
    K k = K::Unknown;
    unsigned size = 0;      // Int, Float: bytes; 0: pointer-sized (IntPtr, UIntPtr)
    bool sign = false;
    bool handle = false;    // an opaque handle (HWND, HANDLE, FindFileHandle)
    bool wide = false;      // Str: UTF-16
    bool ansiChar = false;  // CHAR: a byte of text
    std::string native;     // the metadata's native name, where it is one
    std::string name;       // the named type as written (typedef, enum, record, callback, interface)
    bool header = false;    // the Windows headers define that name
    TyP of;                 // Ptr, Array
    std::uint32_t count = 0;
    const ApiType* type = nullptr;  // Record, Callback, Interface
    bool IsUnion() const { return k == K::Record && type->kind == TypeKind::Union; }
};

bool HandleName(const std::string& n) {
    if (n.size() >= 6 && (n.compare(n.size() - 6, 6, "Handle") == 0 || n.compare(n.size() - 6, 6, "HANDLE") == 0))
        return true;
    return n.size() >= 2 && n[0] == 'H' && n[1] >= 'A' && n[1] <= 'Z' && n != "HRESULT";
}

TyP Native(const std::string& n) {
    auto t = std::make_shared<Ty>();
    t->native = n;
    struct IntN { const char* name; unsigned size; bool sign; };
    static const IntN ints[] = {{"Byte", 1, false},  {"SByte", 1, true},   {"Int16", 2, true},  {"UInt16", 2, false},
                                {"Int32", 4, true},  {"UInt32", 4, false}, {"Int64", 8, true},  {"UInt64", 8, false},
                                {"IntPtr", 0, true}, {"UIntPtr", 0, false}, {"Boolean", 1, false}};
    for (const IntN& i : ints)
        if (n == i.name) {
            t->k = Ty::K::Int, t->size = i.size, t->sign = i.sign;
            return t;
        }
    if (n == "Void") t->k = Ty::K::Void;
    else if (n == "Single" || n == "Double") t->k = Ty::K::Float, t->size = n == "Single" ? 4 : 8;
    else if (n == "Char") t->k = Ty::K::Char;
    else if (n == "Guid") t->k = Ty::K::Guid;
    else if (n == "String") t->k = Ty::K::Str, t->wide = true;
    else return nullptr;
    return t;
}

class Resolver {
public:
    explicit Resolver(const TypeCatalog& catalog) : catalog_(catalog) {}

    TyP Resolve(const std::string& text, int depth = 0) const {
        std::size_t end = text.find_first_of("*[");
        TyP t = Base(text.substr(0, end), depth);
        while (end != std::string::npos && end < text.size()) {
            auto step = std::make_shared<Ty>();
            step->of = t;
            if (text[end] == '*') {
                step->k = Ty::K::Ptr;
                ++end;
            } else {
                const std::size_t close = text.find(']', end);
                step->k = Ty::K::Array;
                step->count = static_cast<std::uint32_t>(std::strtoul(text.c_str() + end + 1, nullptr, 10));
                end = close == std::string::npos ? text.size() : close + 1;
            }
            t = step;
        }
        return t;
    }

private:
    TyP Base(const std::string& name, int depth) const {
        if (TyP n = Native(name)) return n;
        const ApiType* type = depth < 16 ? catalog_.Find(name) : nullptr;
        auto t = std::make_shared<Ty>();
        t->name = name;
        if (!type) return t;  // Unknown
        t->type = type;
        // A nested record (Parent.Child) has no name of its own in C, header or not.
        t->header = !type->header.empty() && name.find('.') == std::string::npos;
        switch (type->kind) {
        case TypeKind::Struct:
        case TypeKind::Union: t->k = Ty::K::Record; return t;
        case TypeKind::Callback: t->k = Ty::K::Callback; return t;
        case TypeKind::Interface: {
            // The metadata names an interface where C has a pointer to it (IUnknown* is IUnknown**).
            t->k = Ty::K::Interface;
            auto pointer = std::make_shared<Ty>();
            pointer->k = Ty::K::Ptr;
            pointer->of = t;
            return pointer;
        }
        case TypeKind::Enum: break;
        case TypeKind::Typedef:
            if (name == "BOOL") {
                t->k = Ty::K::Bool;
                return t;
            }
            break;
        }
        auto named = std::make_shared<Ty>(*Resolve(type->target.empty() ? "Int32" : type->target, depth + 1));
        const bool strName = name.find("STR") != std::string::npos;
        if (named->k == Ty::K::Ptr && strName && named->of->k == Ty::K::Int && named->of->size == 1)
            *named = Ty{}, named->k = Ty::K::Str;
        else if (named->k == Ty::K::Ptr && strName && named->of->k == Ty::K::Char)
            *named = Ty{}, named->k = Ty::K::Str, named->wide = true;
        if (type->kind == TypeKind::Typedef && name == "CHAR" && named->k == Ty::K::Int) named->ansiChar = true;
        const bool pointerLike = (named->k == Ty::K::Int && named->size == 0) ||
                                 (named->k == Ty::K::Ptr && named->of->k == Ty::K::Void);
        if (type->kind == TypeKind::Typedef && pointerLike && HandleName(name)) named->handle = true;
        named->name = name;
        named->header = !type->header.empty() && name.find('.') == std::string::npos;
        named->type = type;
        return named;
    }

    const TypeCatalog& catalog_;
};

std::uint32_t PointerSize(Arch arch) { return arch == Arch::I686 ? 4 : 8; }

std::uint32_t SizeOf(const Ty& t, Arch arch) {
    switch (t.k) {
    case Ty::K::Void: return 0;
    case Ty::K::Int: return t.size ? t.size : PointerSize(arch);
    case Ty::K::Float: return t.size;
    case Ty::K::Bool: return 4;
    case Ty::K::Char: return 2;
    case Ty::K::Guid: return 16;
    case Ty::K::Array: return t.count * SizeOf(*t.of, arch);
    case Ty::K::Record: return t.type->Layout(arch) ? t.type->Layout(arch)->size : 0;
    default: return PointerSize(arch);
    }
}

bool Has(const std::string& attrs, const char* attr) {
    const std::string a = attr;
    std::size_t at = 0;
    while (at <= attrs.size()) {
        std::size_t comma = attrs.find(',', at);
        if (comma == std::string::npos) comma = attrs.size();
        std::size_t b = at, e = comma;
        while (b < e && attrs[b] == ' ') ++b;
        while (e > b && attrs[e - 1] == ' ') --e;
        if (attrs.compare(b, e - b, a) == 0) return true;
        at = comma + 1;
    }
    return false;
}

// Parent.Child as one identifier.
std::string Flat(const std::string& name) {
    std::string out = name;
    std::replace(out.begin(), out.end(), '.', '_');
    return out;
}

std::string LowerDll(const std::string& dll) {
    std::string out = dll;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string DllStem(const std::string& dll) {  // user32
    std::string out = LowerDll(dll);
    if (out.size() > 4 && out.compare(out.size() - 4, 4, ".dll") == 0) out.resize(out.size() - 4);
    return out;
}

std::string Num(std::uint64_t n) { return std::to_string(n); }

// A field run: one member, or the bit-fields sharing one storage unit.
struct Member {
    const ApiField* field;  // the first
    std::vector<const ApiField*> bits;  // bit-fields in this unit (empty: an ordinary member)
};

std::vector<Member> Members(const ApiLayout& layout) {
    std::vector<Member> out;
    for (const ApiField& f : layout.fields) {
        if (f.bitWidth && !out.empty() && !out.back().bits.empty() && out.back().field->offset == f.offset) {
            out.back().bits.push_back(&f);
            continue;
        }
        Member m{&f, {}};
        if (f.bitWidth) m.bits.push_back(&f);
        out.push_back(m);
    }
    return out;
}

std::string BitNote(const Member& m) {
    std::string note = "bit-fields:";
    for (const ApiField* b : m.bits)
        note += " " + b->name + " (bits " + Num(b->bitOffset) + "-" + Num(b->bitOffset + b->bitWidth - 1) + ")";
    return note;
}

// 易语言 and VB6 have no unions: a union is written as its first member that
// fills it, else as bytes of its size.
const ApiField* UnionPick(const ApiType& u, Arch arch) {
    const auto& layout = u.Layout(arch);
    if (!layout) return nullptr;
    for (const ApiField& f : layout->fields)
        if (f.size == layout->size && !f.bitWidth) return &f;
    return nullptr;
}

// ---------------------------------------------------------------------------

enum class Use { Field, Param, Return };

class Writer {
public:
    Writer(Language language, Arch arch, const TypeCatalog& catalog)
        : lang_(language), arch_(language == Language::E || language == Language::VB6 ? Arch::I686 : arch),
          catalog_(catalog), resolver_(catalog) {}

    void AddType(const ApiType& type);
    void AddFunction(const ApiFunction& f);
    ApiDeclaration Finish();

private:
    bool Is(Language l) const { return lang_ == l; }
    bool Unionless() const { return Is(Language::E) || Is(Language::VB6); }
    TyP R(const std::string& text) const { return resolver_.Resolve(text); }
    const char* Comment() const {
        return Is(Language::VB) || Is(Language::VB6) ? "' " : Is(Language::Python) ? "# " : "// ";
    }
    std::string Nl() const { return Is(Language::E) ? "\r\n" : "\n"; }

    void Bring(const Ty& t);             // what a declaration holds by value
    void Point(const Ty& t);             // what it only points to
    void BringParam(const Ty& t, const ApiParam& p);
    bool Declared(const std::string& name) const { return declaredSet_.count(name) != 0; }
    void Named(const std::string& name) { named_.insert(name); }

    void WriteRecord(const ApiType& type);
    void WriteCallback(const ApiType& type);
    void WriteInterface(const ApiType& type);
    void WriteEnumOrTypedef(const ApiType& type);

    // Per language.
    std::string CType(const Ty& t, bool constPointee) const;
    std::string CSType(const Ty& t, Use use, bool vb) const;
    std::string RustType(const Ty& t, bool constPointee) const;
    std::string PyType(const Ty& t, Use use) const;
    std::string PasType(const Ty& t) const;
    std::string VB6Type(const Ty& t) const;
    std::string EType(const Ty& t) const;

    std::string CFunction(const ApiFunction& f, const std::string& name, bool pointer) const;
    std::string CSParam(const ApiParam& p, bool vb) const;
    std::string CSReturnAttr(const Ty& t, bool vb) const;
    std::string RustSignature(const ApiFunction& f) const;
    std::string PasParams(const ApiFunction& f) const;
    std::string PyArgTypes(const ApiFunction& f) const;
    void EMembers(const ApiType& type, std::string& out) const;

    Language lang_;
    Arch arch_;
    const TypeCatalog& catalog_;
    Resolver resolver_;
    std::set<std::string> declaredSet_, inProgress_, named_;
    std::vector<std::string> declared_;
    std::string types_, functions_;
};

void Writer::Point(const Ty& t) {
    const Ty* p = &t;
    while ((p->k == Ty::K::Ptr || p->k == Ty::K::Array) && p->of) p = p->of.get();
    if (p->k == Ty::K::Record || p->k == Ty::K::Interface || (p->k == Ty::K::Callback && !Is(Language::C)))
        Named(p->name);
    else if (p->k == Ty::K::Unknown && !p->name.empty())
        Named(p->name);
}

void Writer::Bring(const Ty& t) {
    switch (t.k) {
    case Ty::K::Array: Bring(*t.of); break;
    case Ty::K::Ptr: Point(*t.of); break;
    case Ty::K::Record:
        if (t.IsUnion() && Unionless()) {
            if (const ApiField* pick = UnionPick(*t.type, arch_)) Bring(*R(pick->type));
        } else {
            AddType(*t.type);
        }
        break;
    case Ty::K::Callback:
        if (!Is(Language::C) && !Is(Language::E) && !Is(Language::VB6)) AddType(*t.type);
        break;
    case Ty::K::Interface: Named(t.name); break;
    default: break;
    }
}

// A parameter brings the record or callback it takes or points to, unless
// the language passes that pointer as an address (Optional) or is C.
void Writer::BringParam(const Ty& t, const ApiParam& p) {
    if (Is(Language::C)) {
        Point(t);
        return;
    }
    if (t.k == Ty::K::Ptr && t.of->k == Ty::K::Record) {
        const bool addressOnly = Has(p.attrs, "Optional") && !Is(Language::E) && !Is(Language::Rust) &&
                                 !Is(Language::Python);
        if (addressOnly) Named(t.of->name);
        else Bring(*t.of);
        return;
    }
    Bring(t);
}

void Writer::AddType(const ApiType& type) {
    if (Declared(type.name) || inProgress_.count(type.name)) return;
    inProgress_.insert(type.name);
    if (type.kind == TypeKind::Struct || type.kind == TypeKind::Union) {
        const auto& layout = type.Layout(arch_);
        if (layout) {
            if (type.kind == TypeKind::Union && Unionless()) {
                if (const ApiField* pick = UnionPick(type, arch_)) Bring(*R(pick->type));
            } else {
                for (const ApiField& f : layout->fields) Bring(*R(f.type));
            }
        }
        WriteRecord(type);
    } else if (type.kind == TypeKind::Callback) {
        for (const ApiParam& p : type.signature.params) Point(*R(p.type));
        Point(*R(type.signature.returns));
        WriteCallback(type);
    } else if (type.kind == TypeKind::Interface) {
        WriteInterface(type);
    } else {
        WriteEnumOrTypedef(type);
    }
    inProgress_.erase(type.name);
    declaredSet_.insert(type.name);
    declared_.push_back(type.name);
}

// A language's integer types: pointer-sized, then 1, 2, 4 and 8 bytes, each
// signed then unsigned.
using IntNames = std::array<const char*, 10>;

const char* IntName(unsigned size, bool sign, const IntNames& names) {
    const std::size_t row = size == 0 ? 0 : size == 1 ? 1 : size == 2 ? 2 : size == 4 ? 3 : 4;
    return names[row * 2 + (sign ? 0 : 1)];
}

const IntNames kCInts = {"LONG_PTR", "ULONG_PTR", "signed char", "BYTE", "SHORT", "WORD", "INT", "DWORD", "LONGLONG", "ULONGLONG"};
const IntNames kRustInts = {"isize", "usize", "i8", "u8", "i16", "u16", "i32", "u32", "i64", "u64"};
const IntNames kPythonInts = {"ctypes.c_ssize_t", "ctypes.c_size_t", "ctypes.c_int8",  "ctypes.c_uint8",  "ctypes.c_int16",
                               "ctypes.c_uint16",  "ctypes.c_int32", "ctypes.c_uint32", "ctypes.c_int64", "ctypes.c_uint64"};
const IntNames kPascalInts = {"NativeInt", "NativeUInt", "ShortInt", "Byte", "SmallInt", "Word", "LongInt", "LongWord", "Int64", "UInt64"};

// ---------------------------------------------------------------------------
// C: written after <windows.h>, in its names.

std::string Writer::CType(const Ty& t, bool constPointee) const {
    if (!t.name.empty() && t.header && t.k != Ty::K::Str) return t.name;
    switch (t.k) {
    case Ty::K::Void: return "void";
    case Ty::K::Int:
        if (t.handle) return "HANDLE";
        if (t.native == "Boolean") return "BOOLEAN";
        if (t.ansiChar) return "CHAR";
        return IntName(t.size, t.sign, kCInts);
    case Ty::K::Float: return t.size == 4 ? "FLOAT" : "DOUBLE";
    case Ty::K::Bool: return "BOOL";
    case Ty::K::Char: return "WCHAR";
    case Ty::K::Guid: return "GUID";
    case Ty::K::Str:
        return std::string(constPointee ? "LPC" : "LP") + (t.wide ? "WSTR" : "STR");
    case Ty::K::Ptr: {
        if (t.handle) return "HANDLE";
        std::string inner = CType(*t.of, false);
        return (constPointee ? "const " : "") + inner + "*";
    }
    case Ty::K::Array: return CType(*t.of, false) + "*";  // a parameter: decays
    case Ty::K::Record: return t.header ? t.name : Flat(t.name);
    case Ty::K::Callback: return t.name;
    case Ty::K::Interface: return t.name;  // reached through the pointer the metadata's interface name stands for
    case Ty::K::Unknown: return "LONG_PTR /* " + t.name + ": not in the database */";
    }
    return "void";
}

// A parameter as C declares it: TYPE NAME, or a header's pointer to a function or
// an array, `int (WINAPI *)(UINT)`, `int (*)[4]`, with the name before its `)`.
std::string CDeclarator(const std::string& type, const std::string& name) {
    std::size_t star = type.find("*)(");
    const std::size_t array = type.find("*)[");
    if (star == std::string::npos || (array != std::string::npos && array < star)) star = array;
    if (star == std::string::npos) return type + " " + name;
    return type.substr(0, star + 1) + name + type.substr(star + 1);
}

std::string Writer::CFunction(const ApiFunction& f, const std::string& name, bool pointer) const {
    const std::string ret = f.cReturns.empty() ? CType(*R(f.returns), false) : f.cReturns;
    std::string call = f.cCall.empty() ? (pointer ? "CALLBACK" : "WINAPI") : f.cCall;
    // GCC gives a convention written after a `*` to what the pointer points to: a
    // cdecl function returning a pointer to a function is written with C's default.
    if (call == "WINAPIV" && !pointer && !ret.empty() && ret.back() == '*') call.clear();
    if (!call.empty()) call += " ";
    std::string out = ret + (pointer ? " (" + call + "*" + name + ")(" : " " + call + name + "(");
    for (std::size_t i = 0; i < f.params.size(); ++i) {
        const ApiParam& p = f.params[i];
        if (i) out += ", ";
        out += CDeclarator(p.cType.empty() ? CType(*R(p.type), Has(p.attrs, "Const")) : p.cType,
                           MemberName(Language::C, p.name));
    }
    if (f.cVariadic) out += f.params.empty() ? "..." : ", ...";
    else if (f.params.empty()) out += "void";
    return out + ")";
}

// ---------------------------------------------------------------------------
// C# and VB.NET.

const char* CSInt(unsigned size, bool sign, bool vb) {
    static const IntNames cs = {"IntPtr", "UIntPtr", "sbyte", "byte", "short", "ushort", "int", "uint", "long", "ulong"};
    static const IntNames basic = {"IntPtr", "UIntPtr", "SByte", "Byte", "Short", "UShort", "Integer", "UInteger", "Long", "ULong"};
    return IntName(size, sign, vb ? basic : cs);
}

std::string Writer::CSType(const Ty& t, Use use, bool vb) const {
    switch (t.k) {
    case Ty::K::Void: return "void";
    case Ty::K::Int: return t.handle ? "IntPtr" : CSInt(t.size, t.sign, vb);
    case Ty::K::Float: return t.size == 4 ? (vb ? "Single" : "float") : (vb ? "Double" : "double");
    case Ty::K::Bool: return vb ? "Boolean" : "bool";
    case Ty::K::Char: return vb ? "Char" : "char";
    case Ty::K::Guid: return "Guid";
    case Ty::K::Str: return vb ? "String" : "string";
    case Ty::K::Record: return Flat(t.name);
    case Ty::K::Callback: return Declared(t.name) ? t.name : "IntPtr";
    default: return "IntPtr";  // pointers, interfaces, unknown names
    }
    (void)use;
}

std::string Writer::CSReturnAttr(const Ty& t, bool vb) const {
    if (t.k != Ty::K::Bool) return "";
    return vb ? "" : "[return: MarshalAs(UnmanagedType.Bool)] ";
}

std::string Writer::CSParam(const ApiParam& p, bool vb) const {
    const TyP t = R(p.type);
    const std::string name = MemberName(vb ? Language::VB : Language::CSharp, p.name);
    const bool optional = Has(p.attrs, "Optional");
    const bool outOnly = Has(p.attrs, "Out") && !Has(p.attrs, "In");
    std::string attr, type, mode = vb ? "ByVal " : "";
    if (t->k == Ty::K::Str) {
        attr = t->wide ? "UnmanagedType.LPWStr" : "UnmanagedType.LPStr";
        const bool buffer = !Has(p.attrs, "Const") && Has(p.attrs, "Out");
        type = buffer ? "System.Text.StringBuilder" : vb ? "String" : "string";
    } else if (t->k == Ty::K::Bool) {
        attr = "UnmanagedType.Bool";
        type = CSType(*t, Use::Param, vb);
    } else if (t->k == Ty::K::Ptr && !t->handle && !optional &&
               (t->of->k == Ty::K::Record || t->of->k == Ty::K::Int || t->of->k == Ty::K::Float ||
                t->of->k == Ty::K::Bool || t->of->k == Ty::K::Guid || t->of->k == Ty::K::Char)) {
        type = CSType(*t->of, Use::Param, vb);
        if (t->of->k == Ty::K::Bool) attr = "UnmanagedType.Bool";
        mode = vb ? "ByRef " : outOnly ? "out " : "ref ";
        if (vb && outOnly) attr = attr.empty() ? "" : attr, type += "", mode = "<Out> ByRef ";
    } else {
        type = CSType(*t, Use::Param, vb);
    }
    if (vb) return (attr.empty() ? "" : "<MarshalAs(" + attr + ")> ") + mode + name + " As " + type;
    return (attr.empty() ? "" : "[MarshalAs(" + attr + ")] ") + mode + type + " " + name;
}

// ---------------------------------------------------------------------------
// Rust.

std::string Writer::RustType(const Ty& t, bool constPointee) const {
    static const char* const voidPtr = "*mut core::ffi::c_void";
    switch (t.k) {
    case Ty::K::Void: return "()";
    case Ty::K::Int:
        if (t.handle) return voidPtr;
        return IntName(t.size, t.sign, kRustInts);
    case Ty::K::Float: return t.size == 4 ? "f32" : "f64";
    case Ty::K::Bool: return "i32";
    case Ty::K::Char: return "u16";
    case Ty::K::Guid: return "[u32; 4]";
    case Ty::K::Str: return std::string(constPointee ? "*const " : "*mut ") + (t.wide ? "u16" : "u8");
    case Ty::K::Ptr: {
        if (t.handle) return voidPtr;
        const Ty& to = *t.of;
        const bool known = to.k != Ty::K::Record || Declared(to.name);
        const std::string inner = to.k == Ty::K::Void || !known || to.k == Ty::K::Interface || to.k == Ty::K::Unknown
                                      ? "core::ffi::c_void"
                                      : RustType(to, false);
        return (constPointee ? "*const " : "*mut ") + inner;
    }
    case Ty::K::Array: return "[" + RustType(*t.of, false) + "; " + Num(t.count) + "]";
    case Ty::K::Record: return Flat(t.name);
    case Ty::K::Callback: return Declared(t.name) ? t.name : "Option<unsafe extern \"system\" fn()>";
    default: return voidPtr;
    }
}

std::string Writer::RustSignature(const ApiFunction& f) const {
    std::string out = "(";
    for (std::size_t i = 0; i < f.params.size(); ++i) {
        const ApiParam& p = f.params[i];
        if (i) out += ", ";
        out += MemberName(Language::Rust, p.name) + ": " + RustType(*R(p.type), Has(p.attrs, "Const"));
    }
    out += ")";
    const TyP r = R(f.returns);
    if (r->k != Ty::K::Void) out += " -> " + RustType(*r, false);
    return out;
}

// ---------------------------------------------------------------------------
// Python ctypes: fixed widths only, so that the platform's long never enters.

std::string Writer::PyType(const Ty& t, Use use) const {
    switch (t.k) {
    case Ty::K::Void: return "None";
    case Ty::K::Int:
        if (t.handle) return "ctypes.c_void_p";
        if (t.ansiChar) return "ctypes.c_char";
        return IntName(t.size, t.sign, kPythonInts);
    case Ty::K::Float: return t.size == 4 ? "ctypes.c_float" : "ctypes.c_double";
    case Ty::K::Bool: return "ctypes.c_int32";
    case Ty::K::Char: return "ctypes.c_uint16";  // c_wchar is 4 bytes on Linux
    case Ty::K::Guid: return "(ctypes.c_uint32 * 4)";
    case Ty::K::Str: return use == Use::Field || !t.wide ? (t.wide ? "ctypes.c_void_p" : "ctypes.c_char_p")
                                                         : "ctypes.c_wchar_p";
    case Ty::K::Ptr: {
        if (t.handle) return "ctypes.c_void_p";
        const Ty& to = *t.of;
        if ((to.k == Ty::K::Record && Declared(to.name)) || to.k == Ty::K::Int || to.k == Ty::K::Float ||
            to.k == Ty::K::Bool || to.k == Ty::K::Char)
            return "ctypes.POINTER(" + PyType(to, Use::Field) + ")";
        return "ctypes.c_void_p";
    }
    case Ty::K::Array: return "(" + PyType(*t.of, Use::Field) + " * " + Num(t.count) + ")";
    case Ty::K::Record: return Flat(t.name);
    case Ty::K::Callback: return Declared(t.name) ? t.name : "ctypes.c_void_p";
    default: return "ctypes.c_void_p";
    }
}

std::string Writer::PyArgTypes(const ApiFunction& f) const {
    std::string out = "[";
    for (std::size_t i = 0; i < f.params.size(); ++i) out += (i ? ", " : "") + PyType(*R(f.params[i].type), Use::Param);
    return out + "]";
}

// ---------------------------------------------------------------------------
// Delphi (Free Pascal in Delphi mode): the System unit's types only, so that
// no name clashes with a parameter's (Pascal ignores case: hWnd, HWND).

std::string Writer::PasType(const Ty& t) const {
    switch (t.k) {
    case Ty::K::Void: return "Pointer";
    case Ty::K::Int:
        if (t.handle) return "NativeUInt";
        if (t.ansiChar) return "AnsiChar";
        return IntName(t.size, t.sign, kPascalInts);
    case Ty::K::Float: return t.size == 4 ? "Single" : "Double";
    case Ty::K::Bool: return "LongBool";
    case Ty::K::Char: return "WideChar";
    case Ty::K::Guid: return "TGUID";
    case Ty::K::Str: return t.wide ? "PWideChar" : "PAnsiChar";
    case Ty::K::Array: return "array[0.." + Num(t.count ? t.count - 1 : 0) + "] of " + PasType(*t.of);
    case Ty::K::Record: return Flat(t.name);
    case Ty::K::Callback: return Declared(t.name) ? t.name : "Pointer";
    default: return t.handle ? "NativeUInt" : "Pointer";
    }
}

std::string Writer::PasParams(const ApiFunction& f) const {
    std::string out;
    for (std::size_t i = 0; i < f.params.size(); ++i) {
        const ApiParam& p = f.params[i];
        const TyP t = R(p.type);
        std::string name = MemberName(Language::Delphi, p.name);
        std::string mode, type;
        if (t->k == Ty::K::Ptr && !t->handle && !Has(p.attrs, "Optional") &&
            (t->of->k == Ty::K::Record || t->of->k == Ty::K::Int || t->of->k == Ty::K::Float ||
             t->of->k == Ty::K::Bool || t->of->k == Ty::K::Guid)) {
            mode = "var ";
            type = PasType(*t->of);
        } else {
            type = PasType(*t);
        }
        std::string folded = name, foldedType = type;
        for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (char& c : foldedType) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (folded == foldedType) name += "_";
        out += (i ? "; " : "") + mode + name + ": " + type;
    }
    return out.empty() ? "" : "(" + out + ")";
}

// ---------------------------------------------------------------------------
// VB6: 32-bit, Long for every address.

std::string Writer::VB6Type(const Ty& t) const {
    switch (t.k) {
    case Ty::K::Int:
        if (t.size == 1) return "Byte";
        if (t.size == 2) return "Integer";
        if (t.size == 8) return "Currency";  // the only 8-byte integer VB6 has: the bits, scaled by 10000
        return "Long";
    case Ty::K::Float: return t.size == 4 ? "Single" : "Double";
    case Ty::K::Char: return "Integer";
    case Ty::K::Record: return Flat(t.name);
    default: return "Long";
    }
}

// ---------------------------------------------------------------------------
// 易语言: 32-bit; 整数型 for every address.

std::string Writer::EType(const Ty& t) const {
    switch (t.k) {
    case Ty::K::Int:
        switch (t.size) {
        case 1: return u8"字节型";
        case 2: return u8"短整数型";
        case 8: return u8"长整数型";
        default: return u8"整数型";
        }
    case Ty::K::Float: return t.size == 4 ? u8"小数型" : u8"双精度小数型";
    case Ty::K::Bool: return u8"逻辑型";
    case Ty::K::Char: return u8"短整数型";
    case Ty::K::Str: return t.wide ? u8"整数型" : u8"文本型";
    case Ty::K::Callback: return u8"子程序指针";
    case Ty::K::Record: return Flat(t.name);
    default: return u8"整数型";
    }
}

// The members of a 数据类型 laid out as i686 C lays them: 1-byte alignment,
// so every gap C leaves is a filler member.
void Writer::EMembers(const ApiType& type, std::string& out) const {
    const auto& layout = type.Layout(Arch::I686);
    if (!layout) return;
    std::uint32_t at = 0;
    int fillers = 0;
    const auto fill = [&](std::uint32_t to) {
        if (to <= at) return;
        out += u8".成员 填充" + std::to_string(++fillers) + u8", 字节型, , \"" + Num(to - at) + u8"\", i686 C 在此留 " +
               Num(to - at) + u8" 字节对齐填充" + Nl();
        at = to;
    };
    const auto member = [&](const std::string& name, const Ty& t, std::uint32_t size, std::string note) {
        std::string type, count;
        TyP picked;  // a union is written as one of its members, which may be an array or a GUID
        const Ty* shown = &t;
        if (t.k != Ty::K::Array && t.IsUnion()) {
            const ApiField* pick = UnionPick(*t.type, Arch::I686);
            std::string others;
            for (const ApiField& f : t.type->i686->fields)
                if (&f != pick) others += (others.empty() ? "" : ", ") + f.name;
            if (pick) {
                picked = R(pick->type);
                shown = picked.get();
                note = u8"联合，写其成员 " + pick->name + (others.empty() ? "" : u8"；同处另有 " + others);
            } else {
                picked = R("Byte[" + Num(size) + "]");
                shown = picked.get();
                note = u8"联合，按其大小写作字节；成员 " + others;
            }
        }
        const Ty* inner = shown;
        if (shown->k == Ty::K::Array) {
            inner = shown->of.get();
            count = Num(shown->count);
            while (inner->k == Ty::K::Array) {  // [a][b] written as a*b
                count = Num(std::stoul(count) * inner->count);
                inner = inner->of.get();
            }
        }
        if (inner->k == Ty::K::Guid) {
            type = u8"字节型";
            count = Num((count.empty() ? 1 : std::stoul(count)) * 16);
            note = "GUID" + std::string(note.empty() ? "" : "; ") + note;
        } else if (inner->IsUnion()) {  // an array of unions: bytes
            type = u8"字节型";
            count = Num(size);
            note = u8"联合的数组，按其大小写作字节" + std::string(note.empty() ? "" : "; ") + note;
        } else {
            type = EType(*inner);
        }
        std::string line = u8".成员 " + name + ", " + type;
        if (!count.empty() || !note.empty()) line += ", , " + (count.empty() ? "" : "\"" + count + "\"");
        if (!note.empty()) line += ", " + note;
        out += line + Nl();
    };
    if (type.kind == TypeKind::Union) {
        const ApiField* pick = UnionPick(type, Arch::I686);
        std::string others;
        for (const ApiField& f : layout->fields)
            if (&f != pick) others += (others.empty() ? "" : ", ") + f.name;
        if (pick) member(pick->name, *R(pick->type), pick->size, u8"联合，写其成员 " + pick->name + u8"；同处另有 " + others);
        else member("bytes", *R("Byte[" + Num(layout->size) + "]"), layout->size, u8"联合，按其大小写作字节；成员 " + others);
        at = layout->size;
    } else {
        for (const Member& m : Members(*layout)) {
            fill(m.field->offset);
            const ApiField& f = *m.field;
            if (!m.bits.empty()) {
                member(f.name, *Native(f.size == 1 ? "Byte" : f.size == 2 ? "UInt16" : f.size == 8 ? "UInt64" : "UInt32"),
                       f.size, BitNote(m));
            } else {
                member(f.name, *R(f.type), f.size, "");
            }
            at = f.offset + f.size;
        }
    }
    fill(layout->size);
}

// ---------------------------------------------------------------------------

void Writer::WriteRecord(const ApiType& type) {
    const auto& layout = type.Layout(arch_);
    const std::string name = Flat(type.name);
    const bool isUnion = type.kind == TypeKind::Union;
    std::string& o = types_;
    const std::string c = Comment();
    if (!layout) {
        o += c + type.name + ": no " + ArchName(arch_) + " layout in the database" + Nl();
        return;
    }
    const std::vector<Member> members = Members(*layout);
    const auto bitsType = [&](const Member& m) {
        return *Native(m.field->size == 1 ? "Byte" : m.field->size == 2 ? "UInt16" : m.field->size == 8 ? "UInt64" : "UInt32");
    };
    const std::string sizeNote = type.name + ": " + Num(layout->size) + " bytes on " + ArchName(arch_) +
                                 (type.pack ? ", packed to " + Num(type.pack) : "");
    switch (lang_) {
    case Language::E: {
        o += u8".数据类型 " + name + u8", 公开, " + Num(type.i686->size) + u8" 字节 (i686)" + Nl();
        EMembers(type, o);
        o += Nl();
        break;
    }
    case Language::C: {
        o += "// " + sizeNote + "\n";
        if (type.pack) o += "#pragma pack(push, " + Num(type.pack) + ")\n";
        o += std::string("typedef ") + (isUnion ? "union " : "struct ") + name + " {\n";
        for (const Member& m : members) {
            if (!m.bits.empty()) {
                for (const ApiField* b : m.bits)
                    o += "    " + CType(bitsType(m), false) + " " + MemberName(lang_, b->name) + " : " +
                         Num(b->bitWidth) + ";\n";
                continue;
            }
            TyP t = R(m.field->type);
            std::string dims;
            while (t->k == Ty::K::Array) {
                dims += "[" + Num(t->count) + "]";
                t = t->of;
            }
            o += "    " + CType(*t, false) + " " + MemberName(lang_, m.field->name) + dims + ";\n";
        }
        o += "} " + name + ";\n";
        if (type.pack) o += "#pragma pack(pop)\n";
        o += "\n";
        break;
    }
    case Language::CSharp:
    case Language::VB: {
        const bool vb = Is(Language::VB);
        bool wide = false;
        for (const Member& m : members) {
            TyP t = R(m.field->type);
            while (t->k == Ty::K::Array) t = t->of;
            wide = wide || t->k == Ty::K::Char;
        }
        const std::string charset = wide ? "CharSet.Unicode" : "CharSet.Ansi";
        std::string layoutArgs = std::string(isUnion ? "LayoutKind.Explicit" : "LayoutKind.Sequential") +
                                 (type.pack ? (vb ? ", Pack:=" : ", Pack = ") + Num(type.pack) : "") +
                                 (vb ? ", CharSet:=" : ", CharSet = ") + charset;
        o += c + sizeNote + "\n";
        o += vb ? "<StructLayout(" + layoutArgs + ")>\nPublic Structure " + name + "\n"
                : "[StructLayout(" + layoutArgs + ")]\npublic struct " + name + "\n{\n";
        for (const Member& m : members) {
            const std::string fieldName = MemberName(lang_, m.bits.empty() ? m.field->name : "bits" + Num(m.field->offset));
            std::string attr, type;
            TyP t = m.bits.empty() ? R(m.field->type) : std::make_shared<Ty>(bitsType(m));
            if (t->k == Ty::K::Array) {
                std::uint32_t count = t->count;
                TyP e = t->of;
                while (e->k == Ty::K::Array) count *= e->count, e = e->of;
                const bool text = (e->ansiChar && !wide) || (e->k == Ty::K::Char && wide);
                if (text) {
                    attr = std::string("UnmanagedType.ByValTStr, SizeConst") + (vb ? ":=" : " = ") + Num(count);
                    type = vb ? "String" : "string";
                } else {
                    attr = std::string("UnmanagedType.ByValArray, SizeConst") + (vb ? ":=" : " = ") + Num(count);
                    type = CSType(*e, Use::Field, vb) + (vb ? "()" : "[]");
                }
            } else if (t->k == Ty::K::Str) {
                attr = t->wide ? "UnmanagedType.LPWStr" : "UnmanagedType.LPStr";
                type = CSType(*t, Use::Field, vb);
            } else if (t->k == Ty::K::Bool) {
                attr = "UnmanagedType.Bool";
                type = CSType(*t, Use::Field, vb);
            } else {
                type = CSType(*t, Use::Field, vb);
            }
            const std::string note = m.bits.empty() ? "" : "  " + c + BitNote(m);
            if (vb) {
                o += "    " + std::string(isUnion ? "<FieldOffset(0)> " : "") +
                     (attr.empty() ? "" : "<MarshalAs(" + attr + ")> ") + "Public " + fieldName + " As " + type + note + "\n";
            } else {
                o += "    " + std::string(isUnion ? "[FieldOffset(0)] " : "") +
                     (attr.empty() ? "" : "[MarshalAs(" + attr + ")] ") + "public " + type + " " + fieldName + ";" + note + "\n";
            }
        }
        o += vb ? "End Structure\n\n" : "}\n\n";
        break;
    }
    case Language::VB6: {
        o += "' " + sizeNote + "\n";
        o += "Public Type " + name + "\n";
        const auto line = [&](const std::string& n, const Ty& t, const std::string& note) {
            std::string decl;
            if (t.k == Ty::K::Array) {
                std::uint32_t count = t.count;
                TyP e = t.of;
                while (e->k == Ty::K::Array) count *= e->count, e = e->of;
                if (e->ansiChar) decl = " As String * " + Num(count);
                else decl = "(0 To " + Num(count ? count - 1 : 0) + ") As " + VB6Type(*e);
            } else if (t.k == Ty::K::Guid) {
                decl = "(0 To 15) As Byte";
            } else {
                decl = " As " + VB6Type(t);
            }
            o += "    " + MemberName(lang_, n) + decl + (note.empty() ? "" : "  ' " + note) + "\n";
        };
        const auto unionLine = [&](const std::string& n, const ApiType& u) {
            const ApiField* pick = UnionPick(u, Arch::I686);
            if (pick) line(n, *R(pick->type), "a union: written as its member " + pick->name);
            else line(n, *R("Byte[" + Num(u.i686->size) + "]"), "a union: written as its bytes");
        };
        if (isUnion) {
            unionLine("u", type);
        } else {
            for (const Member& m : members) {
                const TyP t = R(m.field->type);
                if (!m.bits.empty()) line("bits" + Num(m.field->offset), bitsType(m), BitNote(m));
                else if (t->IsUnion()) unionLine(m.field->name, *t->type);
                else line(m.field->name, *t, t->k == Ty::K::Int && t->size == 8 ? "64 bits as a Currency" : "");
            }
        }
        o += "End Type\n\n";
        break;
    }
    case Language::Delphi: {
        o += "// " + sizeNote + "\n";
        const bool packed = type.pack == 1;
        o += "{$ALIGN " + Num(type.pack && type.pack < 8 ? type.pack : 8) + "}\ntype\n  " + name + " = " +
             (packed ? "packed record\n" : "record\n");
        std::string indent = "    ";
        if (isUnion) {
            o += "    case Integer of\n";
            int i = 0;
            for (const Member& m : members)
                o += "      " + Num(i++) + ": (" + MemberName(lang_, m.field->name) + ": " + PasType(*R(m.field->type)) +
                     ");\n";
        } else {
            for (const Member& m : members) {
                if (!m.bits.empty()) {
                    o += indent + "bits" + Num(m.field->offset) + ": " + PasType(bitsType(m)) + ";  // " + BitNote(m) + "\n";
                    continue;
                }
                o += indent + MemberName(lang_, m.field->name) + ": " + PasType(*R(m.field->type)) + ";\n";
            }
        }
        o += "  end;\n\n";
        break;
    }
    case Language::Rust: {
        o += "// " + sizeNote + "\n";
        o += std::string("#[repr(C") + (type.pack ? ", packed(" + Num(type.pack) + ")" : "") + ")]\n";
        o += std::string("#[derive(Clone, Copy)]\npub ") + (isUnion ? "union " : "struct ") + name + " {\n";
        for (const Member& m : members) {
            if (!m.bits.empty()) {
                o += "    pub bits" + Num(m.field->offset) + ": " + RustType(bitsType(m), false) + ",  // " + BitNote(m) + "\n";
                continue;
            }
            o += "    pub " + MemberName(lang_, m.field->name) + ": " + RustType(*R(m.field->type), false) + ",\n";
        }
        o += "}\n\n";
        break;
    }
    case Language::Python: {
        o += "# " + sizeNote + "\n";
        o += "class " + name + (isUnion ? "(ctypes.Union):\n" : "(ctypes.Structure):\n");
        if (type.pack) o += "    _layout_ = \"ms\"\n    _pack_ = " + Num(type.pack) + "\n";
        o += "    _fields_ = [\n";
        for (const Member& m : members) {
            if (!m.bits.empty()) {
                for (const ApiField* b : m.bits)
                    o += "        (\"" + b->name + "\", " + PyType(bitsType(m), Use::Field) + ", " + Num(b->bitWidth) + "),\n";
                continue;
            }
            o += "        (\"" + m.field->name + "\", " + PyType(*R(m.field->type), Use::Field) + "),\n";
        }
        o += "    ]\n\n";
        break;
    }
    }
}

void Writer::WriteCallback(const ApiType& type) {
    const ApiFunction& s = type.signature;
    const TyP ret = R(s.returns);
    std::string& o = types_;
    switch (lang_) {
    case Language::E:
        o += u8"' " + type.name + u8"：回调，参数处写 子程序指针（可为空处写 整数型）；其子程序按 stdcall 接收 " +
             Num(s.params.size()) + u8" 个参数" + Nl() + Nl();
        break;
    case Language::C: o += "typedef " + CFunction(s, type.name, true) + ";\n\n"; break;
    case Language::CSharp:
    case Language::VB: {
        const bool vb = Is(Language::VB);
        std::string params;
        for (std::size_t i = 0; i < s.params.size(); ++i) params += (i ? ", " : "") + CSParam(s.params[i], vb);
        if (vb) {
            const bool sub = ret->k == Ty::K::Void;
            o += "<UnmanagedFunctionPointer(CallingConvention.Winapi)>\nPublic Delegate " +
                 std::string(sub ? "Sub " : "Function ") + type.name + "(" + params + ")" +
                 (sub ? "" : " As " + CSType(*ret, Use::Return, true)) + "\n\n";
        } else {
            o += "[UnmanagedFunctionPointer(CallingConvention.Winapi)]\n" + CSReturnAttr(*ret, false) +
                 "public delegate " + CSType(*ret, Use::Return, false) + " " + type.name + "(" + params + ");\n\n";
        }
        break;
    }
    case Language::VB6:
        o += "' " + type.name + ": a callback: pass AddressOf a Public Function in a module (ByVal ... As Long)\n\n";
        break;
    case Language::Delphi:
        o += "type\n  " + type.name + " = " + (ret->k == Ty::K::Void ? "procedure" : "function") + PasParams(s) +
             (ret->k == Ty::K::Void ? "" : ": " + PasType(*ret)) + "; stdcall;\n\n";
        break;
    case Language::Rust: {
        o += "pub type " + type.name + " = Option<unsafe extern \"system\" fn" + RustSignature(s) + ">;\n\n";
        break;
    }
    case Language::Python: {
        std::string args = ret->k == Ty::K::Void ? "None" : PyType(*ret, Use::Return);
        for (const ApiParam& p : s.params) args += ", " + PyType(*R(p.type), Use::Param);
        o += type.name + " = _FUNCTYPE(" + args + ")\n\n";
        break;
    }
    }
}

std::string GuidInitializer(const std::string& iid) {  // {0x00000000, 0x0000, 0x0000, {0xC0, ...}}
    std::string hex;
    for (char ch : iid)
        if (std::isxdigit(static_cast<unsigned char>(ch))) hex += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (hex.size() != 32) return "";
    std::string out = "{0x" + hex.substr(0, 8) + ", 0x" + hex.substr(8, 4) + ", 0x" + hex.substr(12, 4) + ", {";
    for (int i = 0; i < 8; ++i) out += (i ? ", 0x" : "0x") + hex.substr(16 + 2 * i, 2);
    return out + "}}";
}

void Writer::WriteInterface(const ApiType& type) {
    // The whole vtable: the bases' methods first.
    std::vector<const ApiType*> chain{&type};
    for (int guard = 0; guard < 16 && !chain.back()->base.empty(); ++guard) {
        const ApiType* b = catalog_.Find(chain.back()->base);
        if (!b || b->kind != TypeKind::Interface) break;
        chain.push_back(b);
    }
    std::reverse(chain.begin(), chain.end());
    std::string& o = types_;
    const std::string c = Is(Language::E) ? "' " : Comment();
    o += c + type.name + ": a COM interface, IID {" + type.iid + "}, base " +
         (type.base.empty() ? "none" : type.base) + Nl();
    if (!Is(Language::C)) {
        o += c + "vtable, one pointer a slot, called with the interface pointer first:" + Nl();
        int slot = 0;
        for (const ApiType* t : chain)
            for (const ApiFunction& m : t->methods) {
                std::string sig;
                for (const ApiParam& p : m.params) sig += (sig.empty() ? "" : ", ") + p.name + ": " + p.type;
                o += c + "  " + Num(slot++) + " " + t->name + "::" + m.name + "(" + sig + ") -> " + m.returns + Nl();
            }
        o += Nl();
        return;
    }
    const std::string init = GuidInitializer(type.iid);
    if (!init.empty()) o += "static const GUID IID_" + type.name + " = " + init + ";\n";
    o += "typedef struct " + type.name + " { const struct " + type.name + "Vtbl* lpVtbl; } " + type.name + ";\n";
    o += "typedef struct " + type.name + "Vtbl {\n";
    for (const ApiType* t : chain)
        for (const ApiFunction& m : t->methods) {
            ApiFunction withThis = m;
            // An interface's name stands for a pointer to it.
            withThis.params.insert(withThis.params.begin(), ApiParam{"This", type.name, "In", ""});
            std::string line = CFunction(withThis, m.name, true);
            line.replace(line.find("(CALLBACK *"), 11, "(STDMETHODCALLTYPE *");
            o += "    " + line + ";\n";
        }
    o += "} " + type.name + "Vtbl;\n\n";
}

void Writer::WriteEnumOrTypedef(const ApiType& type) {
    const TyP t = R(type.target.empty() ? "Int32" : type.target);
    std::string& o = types_;
    const std::string what = type.kind == TypeKind::Enum ? "an enum of " : "a typedef of ";
    switch (lang_) {
    case Language::C:
        // Written after <windows.h>: a name the headers define is theirs, not ours again
        // (winsock's SOCKET is UINT_PTR where the metadata says UIntPtr).
        if (!type.header.empty()) o += "// " + type.name + ": the headers' own (" + type.header + ")\n\n";
        else o += "typedef " + CType(*t, false) + " " + type.name + ";\n\n";
        break;
    case Language::Rust: o += "pub type " + type.name + " = " + RustType(*t, false) + ";\n\n"; break;
    case Language::Python: o += type.name + " = " + PyType(*t, Use::Field) + "\n\n"; break;
    case Language::Delphi: o += "type\n  " + type.name + " = " + PasType(*t) + ";\n\n"; break;
    case Language::E: o += "' " + type.name + ": " + what + type.target + u8"，写作 " + EType(*t) + Nl() + Nl(); break;
    case Language::VB6: o += "' " + type.name + ": " + what + type.target + ", written As " + VB6Type(*t) + "\n\n"; break;
    case Language::CSharp:
    case Language::VB:
        o += Comment() + type.name + ": " + what + type.target + ", written as " +
             CSType(*t, Use::Field, Is(Language::VB)) + "\n\n";
        break;
    }
}

void Writer::AddFunction(const ApiFunction& f) {
    for (const ApiParam& p : f.params) BringParam(*R(p.type), p);
    Point(*R(f.returns));
    const TyP ret = R(f.returns);
    const bool isVoid = ret->k == Ty::K::Void;
    std::string& o = functions_;
    switch (lang_) {
    case Language::E: {
        const std::string retType = isVoid ? "" : ret->k == Ty::K::Record ? u8"整数型" : EType(*ret);
        o += u8".DLL命令 " + f.name + ", " + retType + ", \"" + LowerDll(f.dll) + "\", \"" + f.name + u8"\", 公开" +
             u8", " + (f.setLastError ? u8"失败时以 GetLastError 取错误码" : "") + Nl();
        for (const ApiParam& p : f.params) {
            const TyP t = R(p.type);
            std::string type, flags, note;
            if (t->k == Ty::K::Ptr && !t->handle && t->of->k == Ty::K::Record && !t->of->IsUnion()) {
                type = Flat(t->of->name);
                flags = u8"传址";
            } else if (t->k == Ty::K::Ptr && !t->handle &&
                       (t->of->k == Ty::K::Int || t->of->k == Ty::K::Float || t->of->k == Ty::K::Bool ||
                        t->of->k == Ty::K::Char) && !t->of->handle) {
                type = EType(*t->of);
                flags = u8"传址";
            } else if (t->k == Ty::K::Ptr && t->of->k == Ty::K::Int && t->of->handle) {
                type = u8"整数型";
                flags = u8"传址";
            } else if (t->k == Ty::K::Callback) {
                type = Has(p.attrs, "Optional") ? u8"整数型" : u8"子程序指针";
                if (Has(p.attrs, "Optional")) note = u8"回调 " + t->name + u8"，可为 0：传 到整数 (&子程序)";
            } else if (t->k == Ty::K::Record) {
                // By value: i686 stdcall pushes its bytes, 4 at a time.
                const std::uint32_t words = (SizeOf(*t, Arch::I686) + 3) / 4;
                for (std::uint32_t w = 1; w <= words; ++w)
                    o += u8".参数 " + p.name + "_" + Num(w) + u8", 整数型, , " + t->name + u8" 按值传递，第 " + Num(w) +
                         u8" 个 4 字节" + Nl();
                continue;
            } else if (t->k == Ty::K::Str && t->wide) {
                type = u8"整数型";
                note = u8"UTF-16 文本的地址";
            } else {
                type = EType(*t);
            }
            std::string line = u8".参数 " + p.name + ", " + type;
            if (!flags.empty() || !note.empty()) line += ", " + flags;
            if (!note.empty()) line += ", " + note;
            o += line + Nl();
        }
        o += Nl();
        break;
    }
    case Language::C: o += CFunction(f, f.name, false) + ";\n"; break;
    case Language::CSharp:
    case Language::VB: {
        const bool vb = Is(Language::VB);
        const std::string cs = f.charset == "Unicode" ? "CharSet.Unicode" : f.charset == "Ansi" ? "CharSet.Ansi" : "";
        std::string params;
        for (std::size_t i = 0; i < f.params.size(); ++i) params += (i ? ", " : "") + CSParam(f.params[i], vb);
        if (vb) {
            o += "<DllImport(\"" + LowerDll(f.dll) + "\", SetLastError:=" + (f.setLastError ? "True" : "False") +
                 (cs.empty() ? "" : ", CharSet:=" + cs) + ", ExactSpelling:=True)>\n";
            const std::string retAttr = ret->k == Ty::K::Bool ? "<MarshalAs(UnmanagedType.Bool)> " : "";
            o += std::string("Public Shared ") + (isVoid ? "Sub " : "Function ") + f.name + "(" + params + ")" +
                 (isVoid ? "" : " As " + retAttr + CSType(*ret, Use::Return, true)) + "\n" +
                 (isVoid ? "End Sub\n" : "End Function\n");
        } else {
            o += "[DllImport(\"" + LowerDll(f.dll) + "\", SetLastError = " + (f.setLastError ? "true" : "false") +
                 (cs.empty() ? "" : ", CharSet = " + cs) + ", ExactSpelling = true)]\n";
            o += CSReturnAttr(*ret, false) + "public static extern " + CSType(*ret, Use::Return, false) + " " + f.name +
                 "(" + params + ");\n";
        }
        break;
    }
    case Language::VB6: {
        std::string params;
        for (std::size_t i = 0; i < f.params.size(); ++i) {
            const ApiParam& p = f.params[i];
            const TyP t = R(p.type);
            std::string mode = "ByVal ", type;
            if (t->k == Ty::K::Str && !t->wide) type = "String";
            else if (t->k == Ty::K::Ptr && !t->handle &&
                     (t->of->k == Ty::K::Record || t->of->k == Ty::K::Int || t->of->k == Ty::K::Float ||
                      t->of->k == Ty::K::Bool) && !t->of->IsUnion())
                mode = "ByRef ", type = VB6Type(*t->of);
            else type = VB6Type(*t);
            params += (i ? ", " : "") + mode + MemberName(lang_, p.name) + " As " + type;
        }
        o += "Public Declare " + std::string(isVoid ? "Sub " : "Function ") + f.name + " Lib \"" + DllStem(f.dll) +
             "\" Alias \"" + f.name + "\" (" + params + ")" + (isVoid ? "" : " As " + VB6Type(*ret)) + "\n";
        break;
    }
    case Language::Delphi:
        o += std::string(isVoid ? "procedure " : "function ") + f.name + PasParams(f) +
             (isVoid ? "" : ": " + PasType(*ret)) + "; stdcall; external '" + LowerDll(f.dll) + "' name '" + f.name +
             "';\n";
        break;
    case Language::Rust:
        o += "#[link(name = \"" + DllStem(f.dll) + "\")]\nextern \"system\" {\n    pub fn " + f.name + RustSignature(f) +
             ";\n}\n";
        break;
    case Language::Python:
        o += "    " + f.name + " = ctypes.WinDLL(\"" + DllStem(f.dll) + "\", use_last_error=" +
             (f.setLastError ? "True" : "False") + ")." + f.name + "\n    " + f.name +
             ".argtypes = " + PyArgTypes(f) + "\n    " + f.name + ".restype = " +
             (isVoid ? "None" : PyType(*ret, Use::Return)) + "\n";
        break;
    }
}

ApiDeclaration Writer::Finish() {
    ApiDeclaration d;
    std::string& o = d.text;
    switch (lang_) {
    case Language::E: o = u8".版本 2\r\n\r\n"; break;
    case Language::C: o = "// after #include <windows.h>\n"; break;
    case Language::CSharp: o = "// inside a class, with: using System; using System.Runtime.InteropServices;\n"; break;
    case Language::VB: o = "' inside a class, with: Imports System, Imports System.Runtime.InteropServices\n"; break;
    case Language::VB6: o = "' in a standard module (32-bit)\n"; break;
    case Language::Delphi: o = "// Delphi, or Free Pascal with {$mode delphi}\n"; break;
    case Language::Rust: o = "// with #![allow(non_snake_case, non_camel_case_types)]\n"; break;
    case Language::Python:
        o = "import ctypes\nimport sys\n\n_FUNCTYPE = getattr(ctypes, \"WINFUNCTYPE\", ctypes.CFUNCTYPE)  # stdcall on "
            "Windows\n";
        break;
    }
    if (!Is(Language::E)) o += Comment() + std::string("for ") + ArchName(arch_) + "\n\n";
    o += types_;
    if (!functions_.empty()) {
        if (Is(Language::Python)) o += "if sys.platform == \"win32\":\n";
        o += functions_;
    }
    for (const std::string& n : named_)
        if (!Declared(n)) d.askNext.push_back(n);
    if (!d.askNext.empty()) {
        std::string list;
        for (const std::string& n : d.askNext) list += (list.empty() ? "" : ", ") + n;
        if (Is(Language::E)) {
            // In the remark of the last 数据类型 or DLL命令 line.
            const std::size_t line = std::max(o.rfind(u8"\n.数据类型 "), o.rfind(u8"\n.DLL命令 "));
            if (line != std::string::npos) {
                const std::size_t end = o.find("\r\n", line + 1);
                o.insert(end, u8"；另需 (ask for next): " + list);
            }
        } else {
            o += "\n" + std::string(Comment()) + "ask for next: " + list + "\n";
        }
    }
    d.declared = declared_;
    return d;
}

}  // namespace

ApiDeclaration DeclareApi(Language language, Arch arch, const std::vector<const ApiFunction*>& functions,
                          const std::vector<const ApiType*>& types, const TypeCatalog& catalog) {
    Writer w(language, arch, catalog);
    for (const ApiType* t : types) w.AddType(*t);
    for (const ApiFunction* f : functions) w.AddFunction(*f);
    return w.Finish();
}

std::string DeclareFunction(Language language, Arch arch, const ApiFunction& function, const TypeCatalog& catalog) {
    return DeclareApi(language, arch, {&function}, {}, catalog).text;
}

std::string DeclareType(Language language, Arch arch, const ApiType& type, const TypeCatalog& catalog) {
    return DeclareApi(language, arch, {}, {&type}, catalog).text;
}

}  // namespace finder
