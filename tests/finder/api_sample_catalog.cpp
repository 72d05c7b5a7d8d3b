#include "tests/finder/api_sample_catalog.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace finder_test {

using finder::ApiField;
using finder::ApiFunction;
using finder::ApiLayout;
using finder::ApiParam;
using finder::ApiType;
using finder::TypeKind;

namespace {

struct F {  // a field on both architectures
    const char* name;
    const char* type;
    std::uint32_t off32, size32, off64, size64;
};

ApiType Record(TypeKind kind, const char* name, std::uint32_t pack, std::uint32_t size32, std::uint32_t align32,
               std::uint32_t size64, std::uint32_t align64, const std::vector<F>& fields) {
    ApiType t;
    t.kind = kind;
    t.name = name;
    t.pack = pack;
    ApiLayout a{size32, align32, false, {}}, b{size64, align64, false, {}};
    for (const F& f : fields) {
        a.fields.push_back(ApiField{f.name, f.type, f.off32, f.size32, 0, 0});
        b.fields.push_back(ApiField{f.name, f.type, f.off64, f.size64, 0, 0});
    }
    t.i686 = a;
    t.x86_64 = b;
    return t;
}

ApiType Typedef(TypeKind kind, const char* name, const char* target, const char* header) {
    ApiType t;
    t.kind = kind;
    t.name = name;
    t.target = target;
    t.header = header;
    return t;
}

ApiFunction Fn(const char* name, const char* dll, const char* returns, std::vector<ApiParam> params) {
    ApiFunction f;
    f.name = name;
    f.dll = dll;
    f.returns = returns;
    f.setLastError = true;
    f.params = std::move(params);
    return f;
}

}  // namespace

SampleCatalog::SampleCatalog() {
    const auto add = [&](ApiType t) { types[t.name] = std::move(t); };
    // Typedefs as the metadata has them (NativeTypedef), with the header that defines each.
    add(Typedef(TypeKind::Typedef, "HWND", "IntPtr", "windef.h"));
    add(Typedef(TypeKind::Typedef, "HMENU", "IntPtr", "windef.h"));
    add(Typedef(TypeKind::Typedef, "HINSTANCE", "IntPtr", "minwindef.h"));
    add(Typedef(TypeKind::Typedef, "HANDLE", "IntPtr", "winnt.h"));
    add(Typedef(TypeKind::Typedef, "BOOL", "Int32", "minwindef.h"));
    add(Typedef(TypeKind::Typedef, "HRESULT", "Int32", "winerror.h"));
    add(Typedef(TypeKind::Typedef, "CHAR", "Byte", "winnt.h"));
    add(Typedef(TypeKind::Typedef, "PSTR", "Byte*", "winnt.h"));
    add(Typedef(TypeKind::Typedef, "PWSTR", "Char*", "winnt.h"));
    add(Typedef(TypeKind::Typedef, "LPARAM", "IntPtr", "minwindef.h"));
    add(Typedef(TypeKind::Typedef, "WPARAM", "UIntPtr", "minwindef.h"));
    add(Typedef(TypeKind::Typedef, "LRESULT", "IntPtr", "minwindef.h"));
    add(Typedef(TypeKind::Typedef, "FindFileHandle", "IntPtr", ""));  // the metadata's own handle type
    // Enums: the metadata's names for the headers' plain integers.
    add(Typedef(TypeKind::Enum, "MESSAGEBOX_RESULT", "Int32", ""));
    add(Typedef(TypeKind::Enum, "MESSAGEBOX_STYLE", "UInt32", ""));
    add(Typedef(TypeKind::Enum, "WINDOW_STYLE", "UInt32", ""));
    add(Typedef(TypeKind::Enum, "WINDOW_EX_STYLE", "UInt32", ""));
    add(Typedef(TypeKind::Enum, "INPUT_TYPE", "UInt32", ""));
    add(Typedef(TypeKind::Enum, "MOUSE_EVENT_FLAGS", "UInt32", ""));
    add(Typedef(TypeKind::Enum, "KEYBD_EVENT_FLAGS", "UInt32", ""));
    add(Typedef(TypeKind::Enum, "VIRTUAL_KEY", "UInt16", ""));

    // Records: sizes and offsets from mingw-w64's GCC (offsetof, sizeof, _Alignof).
    add(Record(TypeKind::Struct, "RECT", 0, 16, 4, 16, 4,
               {{"left", "Int32", 0, 4, 0, 4}, {"top", "Int32", 4, 4, 4, 4}, {"right", "Int32", 8, 4, 8, 4},
                {"bottom", "Int32", 12, 4, 12, 4}}));
    add(Record(TypeKind::Struct, "POINT", 0, 8, 4, 8, 4, {{"x", "Int32", 0, 4, 0, 4}, {"y", "Int32", 4, 4, 4, 4}}));
    add(Record(TypeKind::Struct, "FILETIME", 0, 8, 4, 8, 4,
               {{"dwLowDateTime", "UInt32", 0, 4, 0, 4}, {"dwHighDateTime", "UInt32", 4, 4, 4, 4}}));
    // 320 bytes on both: its members end at 318.
    add(Record(TypeKind::Struct, "WIN32_FIND_DATAA", 0, 320, 4, 320, 4,
               {{"dwFileAttributes", "UInt32", 0, 4, 0, 4},
                {"ftCreationTime", "FILETIME", 4, 8, 4, 8},
                {"ftLastAccessTime", "FILETIME", 12, 8, 12, 8},
                {"ftLastWriteTime", "FILETIME", 20, 8, 20, 8},
                {"nFileSizeHigh", "UInt32", 28, 4, 28, 4},
                {"nFileSizeLow", "UInt32", 32, 4, 32, 4},
                {"dwReserved0", "UInt32", 36, 4, 36, 4},
                {"dwReserved1", "UInt32", 40, 4, 40, 4},
                {"cFileName", "CHAR[260]", 44, 260, 44, 260},
                {"cAlternateFileName", "CHAR[14]", 304, 14, 304, 14}}));
    add(Record(TypeKind::Struct, "MOUSEINPUT", 0, 24, 4, 32, 8,
               {{"dx", "Int32", 0, 4, 0, 4},
                {"dy", "Int32", 4, 4, 4, 4},
                {"mouseData", "Int32", 8, 4, 8, 4},
                {"dwFlags", "MOUSE_EVENT_FLAGS", 12, 4, 12, 4},
                {"time", "UInt32", 16, 4, 16, 4},
                {"dwExtraInfo", "UIntPtr", 20, 4, 24, 8}}));
    add(Record(TypeKind::Struct, "KEYBDINPUT", 0, 16, 4, 24, 8,
               {{"wVk", "VIRTUAL_KEY", 0, 2, 0, 2},
                {"wScan", "UInt16", 2, 2, 2, 2},
                {"dwFlags", "KEYBD_EVENT_FLAGS", 4, 4, 4, 4},
                {"time", "UInt32", 8, 4, 8, 4},
                {"dwExtraInfo", "UIntPtr", 12, 4, 16, 8}}));
    add(Record(TypeKind::Struct, "HARDWAREINPUT", 0, 8, 4, 8, 4,
               {{"uMsg", "UInt32", 0, 4, 0, 4}, {"wParamL", "UInt16", 4, 2, 4, 2}, {"wParamH", "UInt16", 6, 2, 6, 2}}));
    add(Record(TypeKind::Union, "INPUT._Anonymous_e__Union", 0, 24, 4, 32, 8,
               {{"mi", "MOUSEINPUT", 0, 24, 0, 32}, {"ki", "KEYBDINPUT", 0, 16, 0, 24},
                {"hi", "HARDWAREINPUT", 0, 8, 0, 8}}));
    add(Record(TypeKind::Struct, "INPUT", 0, 28, 4, 40, 8,
               {{"type", "INPUT_TYPE", 0, 4, 0, 4}, {"Anonymous", "INPUT._Anonymous_e__Union", 4, 24, 8, 32}}));
    add(Record(TypeKind::Struct, "MSG", 0, 28, 4, 48, 8,
               {{"hwnd", "HWND", 0, 4, 0, 8},
                {"message", "UInt32", 4, 4, 8, 4},
                {"wParam", "WPARAM", 8, 4, 16, 8},
                {"lParam", "LPARAM", 12, 4, 24, 8},
                {"time", "UInt32", 16, 4, 32, 4},
                {"pt", "POINT", 20, 8, 36, 8}}));
    // #pragma pack(2): no gap after bfType.
    add(Record(TypeKind::Struct, "BITMAPFILEHEADER", 2, 14, 2, 14, 2,
               {{"bfType", "UInt16", 0, 2, 0, 2},
                {"bfSize", "UInt32", 2, 4, 2, 4},
                {"bfReserved1", "UInt16", 6, 2, 6, 2},
                {"bfReserved2", "UInt16", 8, 2, 8, 2},
                {"bfOffBits", "UInt32", 10, 4, 10, 4}}));

    // Callbacks.
    ApiType enumProc = Typedef(TypeKind::Callback, "WNDENUMPROC", "", "winuser.h");
    enumProc.signature = Fn("WNDENUMPROC", "", "BOOL", {{"param0", "HWND", "In", ""}, {"param1", "LPARAM", "In", ""}});
    enumProc.signature.setLastError = false;
    add(enumProc);
    ApiType wndProc = Typedef(TypeKind::Callback, "WNDPROC", "", "winuser.h");
    wndProc.signature = Fn("WNDPROC", "", "LRESULT",
                                 {{"param0", "HWND", "In", ""}, {"param1", "UInt32", "In", "UINT"},
                                  {"param2", "WPARAM", "In", ""}, {"param3", "LPARAM", "In", ""}});
    add(wndProc);

    // An interface.
    ApiType unknown = Typedef(TypeKind::Interface, "IUnknown", "", "unknwn.h");
    unknown.iid = "00000000-0000-0000-C000-000000000046";
    unknown.methods = {Fn("QueryInterface", "", "HRESULT",
                                {{"riid", "Guid*", "In,Const", ""}, {"ppvObject", "Void**", "Out,ComOutPtr", ""}}),
                       Fn("AddRef", "", "UInt32", {}), Fn("Release", "", "UInt32", {})};
    for (ApiFunction& m : unknown.methods) m.setLastError = false, m.dll.clear();
    unknown.methods[1].cReturns = unknown.methods[2].cReturns = "ULONG";
    add(unknown);

    // Functions, with the headers' spelling where the metadata's UInt32 is UINT rather than DWORD.
    const auto fn = [&](ApiFunction f) { functions[f.name] = std::move(f); };
    ApiFunction box = Fn("MessageBoxA", "USER32.dll", "MESSAGEBOX_RESULT",
                               {{"hWnd", "HWND", "In,Optional", ""},
                                {"lpText", "PSTR", "In,Optional,Const", ""},
                                {"lpCaption", "PSTR", "In,Optional,Const", ""},
                                {"uType", "MESSAGEBOX_STYLE", "In", "UINT"}});
    box.charset = "Ansi";
    fn(box);
    fn(Fn("GetWindowRect", "USER32.dll", "BOOL", {{"hWnd", "HWND", "In", ""}, {"lpRect", "RECT*", "Out", ""}}));
    ApiFunction find = Fn("FindFirstFileA", "KERNEL32.dll", "FindFileHandle",
                                {{"lpFileName", "PSTR", "In,Const", ""}, {"lpFindFileData", "WIN32_FIND_DATAA*", "Out", ""}});
    find.charset = "Ansi";
    fn(find);
    fn(Fn("EnumWindows", "USER32.dll", "BOOL",
                {{"lpEnumFunc", "WNDENUMPROC", "In", ""}, {"lParam", "LPARAM", "In", ""}}));
    ApiFunction create = Fn("CreateWindowExA", "USER32.dll", "HWND",
                                  {{"dwExStyle", "WINDOW_EX_STYLE", "In", ""},
                                   {"lpClassName", "PSTR", "In,Optional,Const", ""},
                                   {"lpWindowName", "PSTR", "In,Optional,Const", ""},
                                   {"dwStyle", "WINDOW_STYLE", "In", ""},
                                   {"X", "Int32", "In", ""},
                                   {"Y", "Int32", "In", ""},
                                   {"nWidth", "Int32", "In", ""},
                                   {"nHeight", "Int32", "In", ""},
                                   {"hWndParent", "HWND", "In,Optional", ""},
                                   {"hMenu", "HMENU", "In,Optional", ""},
                                   {"hInstance", "HINSTANCE", "In,Optional", ""},
                                   {"lpParam", "Void*", "In,Optional", ""}});
    create.charset = "Ansi";
    fn(create);
    ApiFunction send = Fn("SendInput", "USER32.dll", "UInt32",
                                {{"cInputs", "UInt32", "In", "UINT"}, {"pInputs", "INPUT*", "In", ""},
                                 {"cbSize", "Int32", "In", ""}});
    send.cReturns = "UINT";
    fn(send);
    fn(Fn("WindowFromPoint", "USER32.dll", "HWND", {{"Point", "POINT", "In", ""}}));
}

const finder::ApiType* SampleCatalog::Find(std::string_view name) const {
    const auto it = types.find(name);
    return it == types.end() ? nullptr : &it->second;
}

const finder::ApiFunction& SampleCatalog::Function(std::string_view name) const {
    const auto it = functions.find(name);
    if (it == functions.end()) {
        std::fprintf(stderr, "no sample function %.*s\n", static_cast<int>(name.size()), name.data());
        std::abort();
    }
    return it->second;
}

const finder::ApiType& SampleCatalog::Type(std::string_view name) const {
    const finder::ApiType* t = Find(name);
    if (!t) {
        std::fprintf(stderr, "no sample type %.*s\n", static_cast<int>(name.size()), name.data());
        std::abort();
    }
    return *t;
}

}  // namespace finder_test
