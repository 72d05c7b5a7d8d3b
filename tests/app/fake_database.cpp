// A stand-in for the database class that answers from rows a test writes.
// The "database file" is text: one row per line, name TAB value, with \r \n \t \\ escaped.
// Every call is appended to "<database file>.log" so tests can see what the program asked.
#include <windows.h>

#include <string>
#include <vector>

#include "db/database.h"

using namespace core;
using namespace bridge;
using namespace db;

namespace {

struct Row {
    Text name;
    Text value;
};

struct FakeState {
    bool open = false;
    Text path;
    std::vector<Row> rows;
    std::vector<const Row*> result;
    std::size_t cursor = 0;
    bool recordSetOpen = false;
} g;

// The paths are ANSI (GBK) bytes, so the files go through the ANSI Win32 calls.
void Log(const Text& line) {
    if (g.path.empty()) return;
    HANDLE file = CreateFileA((g.path + ".log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const Text entry = line + "\n";
    DWORD written = 0;
    WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    CloseHandle(file);
}

bool ReadWholeFile(const Text& path, Text* content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content->append(buffer, got);
    CloseHandle(file);
    return true;
}

Text Unescape(const Text& s) {
    Text out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    }
    return out;
}

bool LoadRows(const Text& path) {
    Text content;
    if (!ReadWholeFile(path, &content)) return false;
    g.rows.clear();
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == Text::npos) end = content.size();
        Text line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        g.rows.push_back({Unescape(line.substr(0, tab)), Unescape(line.substr(tab + 1))});
    }
    return true;
}

// The literal of "... where 宏或常量名='literal'", with doubled quotes undone; false when malformed.
bool ParseName(const Text& sql, Text* name) {
    const Text prefix = "select 常量值,备注 from api_const where 宏或常量名='";
    if (sql.compare(0, prefix.size(), prefix) != 0 || sql.size() < prefix.size() + 1 || sql.back() != '\'')
        return false;
    const Text body = sql.substr(prefix.size(), sql.size() - prefix.size() - 1);
    name->clear();
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\'') {
            *name += body[i];
            continue;
        }
        if (i + 1 == body.size() || body[i + 1] != '\'') return false;  // a lone quote breaks the statement
        *name += '\'';
        ++i;
    }
    return true;
}

}  // namespace

数据库类::数据库类() { g = FakeState(); }
数据库类::~数据库类() { Log("destroy"); }

bool 数据库类::OpenDatabase(const Text& path, const Text& password) {
    g.path = path;
    g.open = LoadRows(path);
    Log("OpenDatabase " + path + "|" + password + (g.open ? " ok" : " failed"));
    return g.open;
}

bool 数据库类::OpenRecordSet(const Text& sql) {
    Log("OpenRecordSet " + sql);
    Text name;
    if (!g.open || !ParseName(sql, &name)) return false;
    g.result.clear();
    for (const Row& row : g.rows)
        if (row.name == name) g.result.push_back(&row);
    g.cursor = 0;
    g.recordSetOpen = true;
    return true;
}

int 数据库类::RecordCount() {
    Log("RecordCount");
    return g.recordSetOpen ? static_cast<int>(g.result.size()) : 0;
}

Text 数据库类::ReadText(const Text& fieldName) {
    Log("ReadText " + fieldName);
    if (!g.recordSetOpen || g.cursor >= g.result.size() || fieldName != "常量值") return Text();
    return g.result[g.cursor]->value;
}

void 数据库类::MoveNext() {
    Log("MoveNext");
    if (g.recordSetOpen && g.cursor < g.result.size()) ++g.cursor;
}

void 数据库类::CloseRecordSet() {
    Log("CloseRecordSet");
    g.recordSetOpen = false;
}

void 数据库类::CloseDatabase() {
    Log("CloseDatabase");
    g.recordSetOpen = false;
    g.open = false;
}
