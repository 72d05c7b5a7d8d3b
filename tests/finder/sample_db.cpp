#include "tests/finder/sample_db.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "finder/constants_file.h"
#include "finder/value_index.h"
#include "jet/utf.h"
#include "jet/writer.h"

namespace finder_test {

namespace {

struct Row {
    const char* name;
    const char* value;
    const char* source;
};

// A name's rows stay in this order; names are sorted as the builder sorts them.
const Row kRows[] = {
    {"ASC_REQ_MESSAGES", "0x0000000100000000", "sspi.h"},
    {"AUX_A", "1", "mmsystem.h"},
    {"AUX_a", "2", "mmsystem.h"},
    {"BIG_NEGATIVE", "-5000000000", "sample.h"},
    {"CW_USEDEFAULT", "0x80000000", "winuser.h"},
    {"DB_INVALIDCOLUMN", "0xffffffffffffffff", "oledb.h"},
    {"DWMWA_CLOAK", "13", "dwmapi.h"},
    {"DWMWA_LAST", "17", "dwmapi.h"},
    {"DWMWA_LAST", "38", "Windows.Win32.Graphics.Dwm"},
    {"DWMWA_SYSTEMBACKDROP_TYPE", "38", "Windows.Win32.Graphics.Dwm"},
    {"DWMWA_USE_HOSTBACKDROPBRUSH", "17", "Windows.Win32.Graphics.Dwm"},
    {"EMPTY_VALUE", "", "sample.h"},
    {"ERROR", "0", "wingdi.h"},
    {"ERROR_ACCESS_DENIED", "5", "winerror.h"},
    {"ERROR_INVALID_HANDLE", "6", "winerror.h"},
    {"EXCEPTION_ACCESS_VIOLATION", "0xC0000005", "minwinbase.h"},
    {"E_ACCESSDENIED", "0x80070005", "winerror.h"},
    {"E_FAIL", "0x80004005", "winerror.h"},
    {"FACILITY_DEBUGGER", "0x1", "ntstatus.h"},
    {"FACILITY_ITF", "4", "winerror.h"},
    {"FACILITY_NTWIN32", "7", "Windows.Win32.Foundation"},
    {"FACILITY_NULL", "0", "winerror.h"},
    {"FACILITY_RPC", "1", "winerror.h"},
    {"FACILITY_WIN32", "7", "winerror.h"},
    {"HWND_MESSAGE", "4294967293", "winuser.h"},
    {"LLONG_MIN", "-9223372036854775808", "limits.h"},
    {"LONG_MIN", "-2147483648", "limits.h"},
    {"LVM_INSERTITEM", "0x1007", "commctrl.h"},
    {"LVM_INSERTITEMA", "0x1007", "commctrl.h"},
    {"LVM_INSERTITEMW", "0x104D", "commctrl.h"},
    {"MB_DEFBUTTON2", "0x00000100", "winuser.h"},
    {"MB_DEFMASK", "0x00000F00", "winuser.h"},
    {"MB_ICONASTERISK", "0x00000040", "winuser.h"},
    {"MB_ICONINFORMATION", "0x00000040", "winuser.h"},
    {"MB_ICONMASK", "0x000000F0", "winuser.h"},
    {"MB_ICONQUESTION", "0x00000020", "winuser.h"},
    {"MB_OK", "0x00000000", "winuser.h"},
    {"MB_OKCANCEL", "0x00000001", "winuser.h"},
    {"MB_TYPEMASK", "0x0000000F", "winuser.h"},
    {"MB_USEGLYPHCHARS", "0x00000004", "winnls.h"},
    {"MB_YESNO", "0x00000004", "winuser.h"},
    {"MINUS_ONE", "-1", "sample.h"},
    {"None", "0", "sample.h"},
    {"NOT_A_NUMBER", "sizeof(int)", "sample.h"},
    {"STATUS_ACCESS_VIOLATION", "0xC0000005", "winnt.h"},
    {"STATUS_ACCESS_VIOLATION", "0xC0000005", "ntstatus.h"},
    {"STATUS_BUFFER_OVERFLOW", "0x80000005", "ntstatus.h"},
    {"String", "5", "sample.h"},
    {"ULLONG_MAX", "18446744073709551615", "limits.h"},
    {"WM_CREATE", "0x0001", "winuser.h"},
    {"WS_BORDER", "0x00800000", "winuser.h"},
    {"WS_CAPTION", "0x00C00000", "winuser.h"},
    {"WS_CLIPCHILDREN", "0x02000000", "winuser.h"},
    {"WS_CLIPSIBLINGS", "0x04000000", "winuser.h"},
    {"WS_DLGFRAME", "0x00400000", "winuser.h"},
    {"WS_EX_COMPOSITED", "0x02000000", "winuser.h"},
    {"WS_MAXIMIZEBOX", "0x00010000", "winuser.h"},
    {"WS_MINIMIZEBOX", "0x00020000", "winuser.h"},
    {"WS_OVERLAPPED", "0x00000000", "winuser.h"},
    {"WS_OVERLAPPEDWINDOW", "0xCF0000", "winuser.h"},
    {"WS_POPUP", "0x80000000", "winuser.h"},
    {"WS_SYSMENU", "0x00080000", "winuser.h"},
    {"WS_THICKFRAME", "0x00040000", "winuser.h"},
    {"WS_TILEDWINDOW", "0xCF0000", "winuser.h"},
    {"WS_VISIBLE", "0x10000000", "winuser.h"},
};

}  // namespace

jet::Table SampleConstants() {
    jet::Table t;
    t.name = u"api_const";
    t.columns = {{u"宏或常量名", jet::ColumnType::Text, 0},
                 {u"常量值", jet::ColumnType::Text, 0},
                 {u"备注", jet::ColumnType::Text, 0}};
    t.indexes.push_back({u"宏或常量名", {u"宏或常量名"}, false, false});
    std::vector<const Row*> rows;
    for (const Row& r : kRows) rows.push_back(&r);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row* a, const Row* b) { return std::string(a->name) < std::string(b->name); });
    for (const Row* r : rows)
        t.rows.push_back({jet::Value::FromText(jet::Utf8ToUtf16(r->name)), jet::Value::FromText(jet::Utf8ToUtf16(r->value)),
                          jet::Value::FromText(jet::Utf8ToUtf16(r->source))});
    return t;
}

bool WriteIndexWithout(const std::string& dbPath, const std::string& indexPath, const std::vector<std::uint64_t>& keys,
                       std::string* error) {
    const auto file = finder::ConstantsFile::Open(dbPath, error);
    if (!file || !finder::WriteValueIndex(*file, indexPath, error)) return false;
    std::string bytes;
    {
        std::ifstream in(indexPath, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The header's 32 bytes end with the entry count; each entry is a key of 8 bytes and a pointer of 4.
    const auto little = [&](std::size_t at, int n) {
        std::uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    std::string entries;
    std::uint64_t kept = 0;
    for (std::size_t at = 32; at + 12 <= bytes.size(); at += 12)
        if (std::find(keys.begin(), keys.end(), little(at, 8)) == keys.end()) {
            entries += bytes.substr(at, 12);
            ++kept;
        }
    std::string count;
    for (int i = 0; i < 8; ++i) count.push_back(static_cast<char>(kept >> (8 * i) & 0xFF));
    std::ofstream(indexPath, std::ios::binary | std::ios::trunc) << bytes.substr(0, 24) + count + entries;
    return true;
}

bool WriteSampleDatabase(const std::string& path, std::string* error) {
    return jet::WriteDatabase(path, {SampleConstants()}, error);
}

}  // namespace finder_test
