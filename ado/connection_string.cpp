#include "ado/connection_string.h"

#include "jetsql/jet_text.h"

namespace ado {
namespace {

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

struct Pair {
    std::u16string_view key;
    std::u16string value;
};

// Reads a value that opens with `open` at text[v]: up to the matching `close`,
// where the closing character written twice stands for itself (ODBC's {...},
// OLE DB's "..." and '...'). Leaves *end after the closing character.
bool QuotedValue(std::u16string_view text, std::size_t v, char16_t close, std::u16string* out, std::size_t* end) {
    for (std::size_t i = v + 1; i < text.size(); ++i) {
        if (text[i] != close) {
            *out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == close) {
            *out += close;
            ++i;
        } else {
            *end = i + 1;
            return true;
        }
    }
    return false;
}

char16_t ClosingOf(char16_t open) {
    switch (open) {
    case u'{': return u'}';
    case u'"': return u'"';
    case u'\'': return u'\'';
    default: return 0;
    }
}

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
    char16_t close = v < text.size() ? ClosingOf(text[v]) : 0;
    if (close) {
        std::size_t after = 0;
        if (!QuotedValue(text, v, close, &out->value, &after)) {
            *error = std::string("Connection string: unclosed '") + char(text[v]) + "' in a value.";
            return false;
        }
        while (after < text.size() && text[after] == u' ') ++after;
        if (after < text.size() && text[after] != u';') {
            *error = std::string("Connection string: ';' expected after '") + char(close) + "'.";
            return false;
        }
        *pos = after < text.size() ? after + 1 : after;
    } else {
        std::size_t end = semi == std::u16string_view::npos ? text.size() : semi;
        out->value = std::u16string(Trim(text.substr(v, end - v)));
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
    bool seenDb = false, seenPwd = false, seenDriver = false, seenProvider = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (Trim(text.substr(pos, 1)).empty() || text[pos] == u';') {
            ++pos;
            continue;
        }
        Pair p;
        if (!NextPair(text, &pos, &p, error)) return false;
        if (jetsql::JetTextEqual(p.key, u"DBQ") || jetsql::JetTextEqual(p.key, u"Data Source"))
            Keep(&s.database, &seenDb, p.value);
        else if (jetsql::JetTextEqual(p.key, u"Pwd") || jetsql::JetTextEqual(p.key, u"Jet OLEDB:Database Password"))
            Keep(&s.password, &seenPwd, p.value);
        else if (jetsql::JetTextEqual(p.key, u"DRIVER"))
            Keep(&s.driver, &seenDriver, p.value);
        else if (jetsql::JetTextEqual(p.key, u"Provider"))
            Keep(&s.provider, &seenProvider, p.value);
    }
    if (s.database.empty()) {
        *error = "Connection string names no database file (DBQ=...).";
        return false;
    }
    *out = std::move(s);
    return true;
}

}  // namespace ado
