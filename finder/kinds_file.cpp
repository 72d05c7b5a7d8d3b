#include "finder/kinds_file.h"

#include <algorithm>

#include "finder/pattern.h"
#include "jet/text_match.h"
#include "jet/utf.h"

namespace finder {
namespace {

std::string Text(const jet::Value& v) { return v.kind == jet::Value::Kind::Text ? jet::Utf16ToUtf8(v.text) : ""; }

bool ColumnOf(const jet::StoredTable& t, const char16_t* name, std::size_t& at) {
    const auto& columns = t.def.columns;
    const auto it = std::find_if(columns.begin(), columns.end(), [&](const jet::Column& c) {
        return jet::TextEqual(c.name, name, jet::TextMatch::IgnoreAsciiCase);
    });
    at = static_cast<std::size_t>(it - columns.begin());
    return it != columns.end();
}

std::u16string Folded(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

}  // namespace

std::unique_ptr<KindsFile> KindsFile::Open(const jet::DatabaseFile& file) {
    std::unique_ptr<KindsFile> k(new KindsFile(file));
    k->kinds_ = file.Find(u"api_kind_const");
    if (!k->kinds_ || !ColumnOf(*k->kinds_, u"symbol", k->symbol_) || !ColumnOf(*k->kinds_, u"value", k->value_) ||
        !ColumnOf(*k->kinds_, u"kind", k->kind_) || !ColumnOf(*k->kinds_, u"source", k->source_) ||
        !ColumnOf(*k->kinds_, u"value_key", k->key_))
        return nullptr;
    k->texts_ = file.Find(u"api_error_text");
    if (k->texts_ && (!ColumnOf(*k->texts_, u"code", k->code_) || !ColumnOf(*k->texts_, u"text", k->text_) ||
                      !ColumnOf(*k->texts_, u"source", k->textSource_)))
        k->texts_ = nullptr;
    return k;
}

bool KindsFile::Rows(std::size_t column, const jet::Value& key, bool prefix,
                     const std::function<bool(const std::vector<jet::Value>&)>& wanted, std::vector<KindConstant>& out,
                     std::string* error) const {
    out.clear();
    return file_.VisitByKey(
        *kinds_, column, key, prefix,
        [&](const std::vector<jet::Value>& r) {
            if (wanted(r)) out.push_back({Text(r[symbol_]), Text(r[value_]), Text(r[kind_]), Text(r[source_])});
        },
        error);
}

bool KindsFile::Named(std::u16string_view name, std::vector<KindConstant>& out, std::string* error) const {
    return Rows(symbol_, jet::Value::FromText(std::u16string(name)), false,
                [&](const std::vector<jet::Value>& r) { return EqualIgnoringCase(r[symbol_].text, name); }, out, error);
}

bool KindsFile::Matching(std::u16string_view pattern, std::vector<KindConstant>& out, std::string* error) const {
    // A pattern without a fixed start has no key: the null key walks the table.
    const std::u16string_view fixed = FixedPrefix(pattern);
    const jet::Value key = fixed.empty() ? jet::Value::Null() : jet::Value::FromText(std::u16string(fixed));
    return Rows(symbol_, key, true, [&](const std::vector<jet::Value>& r) { return MatchesPattern(pattern, r[symbol_].text); },
                out, error);
}

bool KindsFile::WithValue(const std::string& value, bool ignoreCase, bool prefix, std::vector<KindConstant>& out,
                          std::string* error) const {
    const std::u16string wanted = jet::Utf8ToUtf16(value), folded = Folded(wanted);
    const auto same = [&](const std::vector<jet::Value>& r) {
        const std::u16string& v = r[value_].text;
        if (prefix) return v.size() >= wanted.size() && (ignoreCase ? Folded(v.substr(0, wanted.size())) == folded : v.compare(0, wanted.size(), wanted) == 0);
        return ignoreCase ? Folded(v) == folded : v == wanted;
    };
    // Values Jet's index has no key for are null in value_key: the walk finds them.
    std::vector<std::uint32_t> pointers;
    const jet::Value key = jet::Value::FromText(wanted);
    const bool indexed = file_.FindInIndex(*kinds_, key_, key, prefix, pointers) == jet::DatabaseFile::IndexAnswer::Answered;
    return Rows(key_, indexed ? key : jet::Value::Null(), prefix,
                [&](const std::vector<jet::Value>& r) { return r[value_].kind == jet::Value::Kind::Text && same(r); }, out,
                error);
}

bool KindsFile::Texts(std::uint32_t code, std::vector<std::pair<std::string, std::string>>& out, std::string* error) const {
    out.clear();
    if (!texts_) return true;
    const jet::Value key = jet::Value::FromInteger(static_cast<std::int32_t>(code));
    return file_.VisitByKey(
        *texts_, code_, key, false,
        [&](const std::vector<jet::Value>& r) {
            if (r[code_] == key) out.push_back({Text(r[text_]), Text(r[textSource_])});
        },
        error);
}

}  // namespace finder
