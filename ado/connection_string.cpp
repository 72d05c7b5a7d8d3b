#include "ado/connection_string.h"

#include "ado/jet_text.h"

namespace ado {
namespace {

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

struct Pair {
    std::u16string_view key, value;
};

// Reads one key=value pair starting at *pos; leaves *pos after its ';'.
bool NextPair(std::u16string_view text, std::size_t* pos, Pair* out, std::string* error) {
    std::size_t eq = text.find(u'=', *pos);
    std::size_t semi = text.find(u';', *pos);
    if (eq == std::u16string_view::npos || (semi != std::u16string_view::npos && semi < eq)) {
        *error = "Connection string: '=' expected after a key.";
        return false;
    }
    out->key = Trim(text.substr(*pos, eq - *pos));
    std::size_t v = eq + 1;
    while (v < text.size() && text[v] == u' ') ++v;
    if (v < text.size() && text[v] == u'{') {
        std::size_t close = text.find(u'}', v + 1);
        if (close == std::u16string_view::npos) {
            *error = "Connection string: unclosed '{' in a value.";
            return false;
        }
        out->value = text.substr(v + 1, close - v - 1);
        std::size_t after = close + 1;
        while (after < text.size() && text[after] == u' ') ++after;
        if (after < text.size() && text[after] != u';') {
            *error = "Connection string: ';' expected after '}'.";
            return false;
        }
        *pos = after < text.size() ? after + 1 : after;
    } else {
        std::size_t end = semi == std::u16string_view::npos ? text.size() : semi;
        out->value = Trim(text.substr(v, end - v));
        *pos = end < text.size() ? end + 1 : end;
    }
    if (out->key.empty()) {
        *error = "Connection string: empty key.";
        return false;
    }
    return true;
}

void Keep(std::u16string* slot, bool* seen, std::u16string_view value) {
    if (*seen) return;
    *seen = true;
    *slot = std::u16string(value);
}

}  // namespace

bool ParseConnectionString(std::u16string_view text, ConnectionSettings* out, std::string* error) {
    ConnectionSettings s;
    bool seenDb = false, seenPwd = false, seenDriver = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (Trim(text.substr(pos, 1)).empty() || text[pos] == u';') {
            ++pos;
            continue;
        }
        Pair p;
        if (!NextPair(text, &pos, &p, error)) return false;
        if (JetTextEqual(p.key, u"DBQ") || JetTextEqual(p.key, u"Data Source"))
            Keep(&s.database, &seenDb, p.value);
        else if (JetTextEqual(p.key, u"Pwd") || JetTextEqual(p.key, u"Jet OLEDB:Database Password"))
            Keep(&s.password, &seenPwd, p.value);
        else if (JetTextEqual(p.key, u"DRIVER"))
            Keep(&s.driver, &seenDriver, p.value);
    }
    if (s.database.empty()) {
        *error = "Connection string names no database file (DBQ=...).";
        return false;
    }
    *out = std::move(s);
    return true;
}

}  // namespace ado
