#include "finder/constants_file.h"

#include <algorithm>

#include "jet/format.h"
#include "jet/text_match.h"
#include "jet/utf.h"
#include "finder/pattern.h"
#include "finder/text_scan.h"

namespace finder {
namespace {

std::unique_ptr<ConstantsFile> Fail(std::string* error, const std::string& path, const std::string& why) {
    if (error) *error = "database '" + path + "': " + why;
    return nullptr;
}

bool FindTextColumn(const jet::StoredTable& table, const std::u16string& name, std::size_t& at) {
    const auto& columns = table.def.columns;
    for (at = 0; at < columns.size(); ++at)
        if (jet::TextEqual(columns[at].name, name, jet::TextMatch::IgnoreAsciiCase))
            return columns[at].type == jet::ColumnType::Text && !table.def.layout[at].fixed;
    return false;
}

std::string TextOf(const jet::Value& v) { return v.kind == jet::Value::Kind::Text ? jet::Utf16ToUtf8(v.text) : ""; }

// FNV-1a over 64 bits: a fingerprint, not a defence against a forger.
void Mix(std::uint64_t& hash, const std::uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3ull;
}

void MixNumber(std::uint64_t& hash, std::uint64_t v) {
    std::uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(v >> (8 * i));
    Mix(hash, bytes, sizeof bytes);
}

}  // namespace

std::unique_ptr<ConstantsFile> ConstantsFile::Open(const std::string& path, std::string* error) {
    std::unique_ptr<ConstantsFile> db(new ConstantsFile);
    std::string why;
    db->mapped_ = MappedFile::Open(path, &why);
    if (!db->mapped_) return Fail(error, path, why);
    db->file_ = jet::DatabaseFile::Open(jet::PageSource(db->mapped_->Data(), db->mapped_->Size()), &why);
    if (!db->file_) return Fail(error, path, why);
    db->table_ = db->file_->Find(u"api_const");
    if (!db->table_) return Fail(error, path, "no table api_const");
    if (!FindTextColumn(*db->table_, u"宏或常量名", db->name_) || !FindTextColumn(*db->table_, u"常量值", db->value_) ||
        !FindTextColumn(*db->table_, u"备注", db->source_))
        return Fail(error, path, u8"api_const lacks one of its text columns 宏或常量名, 常量值, 备注");
    return db;
}

std::uint64_t ConstantsFile::Fingerprint() const {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    MixNumber(hash, file_->Pages().FileSize());
    MixNumber(hash, table_->def.rowCount);
    jet::ByteView page;
    if (file_->Pages().Page(table_->def.page, page)) Mix(hash, page.data(), page.size());
    return hash;
}

bool ConstantsFile::ReadRows(const std::vector<std::uint32_t>& pointers, std::vector<ConstantRow>& rows,
                             std::string* error) const {
    // A few rows at a time: jet's values are far larger than the texts kept.
    constexpr std::size_t kBatch = 1024;
    rows.clear();
    rows.reserve(pointers.size());
    std::vector<std::vector<jet::Value>> values;
    for (std::size_t at = 0; at < pointers.size(); at += kBatch) {
        const std::vector<std::uint32_t> batch(pointers.begin() + at,
                                               pointers.begin() + std::min(pointers.size(), at + kBatch));
        if (!file_->ReadAt(*table_, batch, values, error)) return false;
        for (std::size_t i = 0; i < values.size(); ++i)
            rows.push_back(
                {TextOf(values[i][name_]), TextOf(values[i][value_]), TextOf(values[i][source_]), batch[i]});
    }
    return true;
}

bool ConstantsFile::IndexPointers(std::u16string_view key, bool prefix, std::vector<std::uint32_t>& pointers) const {
    return !key.empty() &&
           file_->FindInIndex(*table_, name_, jet::Value::FromText(std::u16string(key)), prefix, pointers) ==
               jet::DatabaseFile::IndexAnswer::Answered;
}

bool ConstantsFile::Visit(std::u16string_view prefix, bool withSource,
                          const std::function<bool(const ScannedRow&)>& visit, std::string* error) const {
    std::vector<std::uint32_t> pointers;
    if (!IndexPointers(prefix, true, pointers)) return Scan(withSource, visit, error);
    std::vector<ConstantRow> rows;
    if (!ReadRows(pointers, rows, error)) return false;
    for (const ConstantRow& row : rows) {
        const std::u16string name = jet::Utf8ToUtf16(row.name), value = jet::Utf8ToUtf16(row.value),
                             source = jet::Utf8ToUtf16(row.source);
        if (!visit(ScannedRow{name, value, source, row.pointer})) break;
    }
    return true;
}

// The index folds more than letter case, and may not answer at all: the names
// it gives are tested again.
bool ConstantsFile::RowsWhere(std::u16string_view key, bool prefix,
                              const std::function<bool(std::u16string_view)>& wanted, std::vector<ConstantRow>& rows,
                              std::string* error) const {
    std::vector<std::uint32_t> pointers;
    if (IndexPointers(key, prefix, pointers)) {
        if (!ReadRows(pointers, rows, error)) return false;
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [&](const ConstantRow& row) { return !wanted(jet::Utf8ToUtf16(row.name)); }),
                   rows.end());
        return true;
    }
    const bool scanned = Scan(
        false,
        [&](const ScannedRow& row) {
            if (wanted(row.name)) pointers.push_back(row.pointer);
            return true;
        },
        error);
    return scanned && ReadRows(pointers, rows, error);
}

bool ConstantsFile::RowsNamed(std::u16string_view name, std::vector<ConstantRow>& rows, std::string* error) const {
    return RowsWhere(name, false, [&](std::u16string_view n) { return EqualIgnoringCase(n, name); }, rows, error);
}

bool ConstantsFile::RowsBeginningWith(std::u16string_view prefix, std::vector<ConstantRow>& rows,
                                      std::string* error) const {
    return RowsWhere(prefix, true, [&](std::u16string_view n) { return StartsWithIgnoringCase(n, prefix); }, rows,
                     error);
}

bool ConstantsFile::HoldsRows(const std::vector<std::uint32_t>& pointers) const {
    return LiveRowsAt(*file_, *table_, pointers);
}

bool ConstantsFile::VisitAt(const std::vector<std::uint32_t>& pointers,
                            const std::function<bool(const ScannedRow&)>& visit, std::string* error) const {
    return ReadTextsAt(
        *file_, *table_, {name_, value_, source_}, pointers,
        [&](const TextRow& row) { return visit(ScannedRow{row.texts[0], row.texts[1], row.texts[2], row.pointer}); },
        error);
}

bool ConstantsFile::Scan(bool withSource, const std::function<bool(const ScannedRow&)>& visit,
                         std::string* error) const {
    std::vector<std::size_t> columns{name_, value_};
    if (withSource) columns.push_back(source_);
    const PageReader read = [&](std::uint32_t first, std::size_t count, std::uint8_t* to) {
        return mapped_->Read(static_cast<std::uint64_t>(first) * jet::format::kPageSize, count * jet::format::kPageSize,
                             to);
    };
    return ScanTexts(
        *file_, *table_, columns,
        [&](const TextRow& row) {
            return visit(ScannedRow{row.texts[0], row.texts[1], withSource ? row.texts[2] : u"", row.pointer});
        },
        read, error);
}

}  // namespace finder
