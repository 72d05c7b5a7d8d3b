#include "finder/value_index.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "finder/name_runs.h"
#include "finder/row_sources.h"

namespace finder {
namespace {

// Header: magic, the database's fingerprint, the entry count (little-endian).
// Entry: the key (8 bytes), then the pointer with kAlone set for a name's only
// row and kWin32Source for a row from where Win32 error names are declared (an
// HRESULT's Win32 code would otherwise read every row of a small number).
constexpr char kMagic[16] = "qalomir-values2";
constexpr std::size_t kHeaderBytes = sizeof kMagic + 8 + 8;
constexpr std::size_t kEntryBytes = 12;
constexpr std::uint32_t kAlone = 0x80000000u;
constexpr std::uint32_t kWin32Source = 0x40000000u;
constexpr std::uint32_t kFlags = kAlone | kWin32Source;

std::uint64_t Little(const std::uint8_t* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

void PutLittle(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

// Every value SameValue may pair with this one shares one of these keys with it.
std::vector<std::uint64_t> KeysOf(const Integer& v) {
    std::vector<std::uint64_t> keys{v.bits};
    if (v.Is32() && v.Low32() != v.bits) keys.push_back(v.Low32());
    return keys;
}

struct Entry {
    std::uint64_t key;
    std::uint32_t pointer;  // with its flags
    // A key's rows in stored order, so that a reader merges rather than sorts them.
    bool operator<(const Entry& o) const {
        return key != o.key ? key < o.key : (pointer & ~kFlags) < (o.pointer & ~kFlags);
    }
    bool operator==(const Entry& o) const { return key == o.key && pointer == o.pointer; }
};

bool CollectEntries(const ConstantsFile& file, std::vector<Entry>& entries, std::string* error) {
    bool fits = true;
    RunTracker runs(true, FromWin32ErrorSource, [&](const Run& run) {
        const std::uint32_t alone = run.pointers.size() == 1 ? kAlone : 0;
        for (std::size_t i = 0; i < run.pointers.size(); ++i) {
            if (!run.values[i]) continue;
            fits = fits && (run.pointers[i] & kFlags) == 0;
            const std::uint32_t flags = alone | (run.marked[i] ? kWin32Source : 0);
            for (std::uint64_t key : KeysOf(*run.values[i])) entries.push_back({key, run.pointers[i] | flags});
        }
    });
    if (!WalkRuns(file, u"", true, runs, error)) return false;
    if (!fits && error) *error = "a row is stored beyond the pages an index entry can name";
    return fits;
}

bool WriteWhole(const std::string& path, const std::string& bytes, std::string* error) {
    // Written aside and renamed over, so a reader never meets half a file.
    const std::string aside = path + ".new";
    std::FILE* out = std::fopen(aside.c_str(), "wb");
    bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out && std::fclose(out) != 0) written = false;
    std::remove(path.c_str());
    if (written && std::rename(aside.c_str(), path.c_str()) == 0) return true;
    std::remove(aside.c_str());
    if (error) *error = "cannot write '" + path + "'";
    return false;
}

}  // namespace

void MergeRows(std::vector<ValueIndex::Row>& rows, std::size_t sortedUpTo) {
    const auto byPointer = [](const ValueIndex::Row& a, const ValueIndex::Row& b) { return a.pointer < b.pointer; };
    std::inplace_merge(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(sortedUpTo), rows.end(), byPointer);
    rows.erase(std::unique(rows.begin(), rows.end(),
                           [](const ValueIndex::Row& a, const ValueIndex::Row& b) { return a.pointer == b.pointer; }),
               rows.end());
}

std::string ValueIndexPath(const std::string& databasePath) {
    const std::size_t n = databasePath.size();
    if (n >= 4 && databasePath[n - 4] == '.' && (databasePath.compare(n - 3, 3, "mdb") == 0 || databasePath.compare(n - 3, 3, "MDB") == 0))
        return databasePath.substr(0, n - 4) + ".idx";
    return databasePath + ".idx";
}

bool WriteValueIndex(const ConstantsFile& file, const std::string& path, std::string* error) {
    std::vector<Entry> entries;
    if (!CollectEntries(file, entries, error)) return false;
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    std::string bytes(kMagic, sizeof kMagic);
    PutLittle(bytes, file.Fingerprint(), 8);
    PutLittle(bytes, entries.size(), 8);
    bytes.reserve(kHeaderBytes + entries.size() * kEntryBytes);
    for (const Entry& e : entries) {
        PutLittle(bytes, e.key, 8);
        PutLittle(bytes, e.pointer, 4);
    }
    return WriteWhole(path, bytes, error);
}

std::unique_ptr<ValueIndex> ValueIndex::Open(const std::string& path, const ConstantsFile& file, std::string* why) {
    std::unique_ptr<ValueIndex> index(new ValueIndex);
    index->mapped_ = MappedFile::Open(path, why);
    if (!index->mapped_) return nullptr;
    const std::uint8_t* data = index->mapped_->Data();
    const std::size_t size = index->mapped_->Size();
    if (size < kHeaderBytes || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
        if (why) *why = "'" + path + "' is no value index";
        return nullptr;
    }
    if (Little(data + sizeof kMagic, 8) != file.Fingerprint()) {
        if (why) *why = "'" + path + "' was made from another database";
        return nullptr;
    }
    const std::uint64_t count = Little(data + sizeof kMagic + 8, 8);
    if (count > (size - kHeaderBytes) / kEntryBytes || kHeaderBytes + count * kEntryBytes != size) {
        if (why) *why = "'" + path + "' is cut short or too long";
        return nullptr;
    }
    index->entries_ = data + kHeaderBytes;
    index->count_ = static_cast<std::size_t>(count);
    return index;
}

std::vector<ValueIndex::Row> ValueIndex::RowsFor(const Integer& value, bool win32Sources) const {
    std::vector<Row> rows;
    const auto keyAt = [&](std::size_t i) { return Little(entries_ + i * kEntryBytes, 8); };
    for (std::uint64_t key : KeysOf(value)) {
        const std::size_t before = rows.size();
        std::size_t low = 0, high = count_;  // the first entry with a key not below key
        while (low < high) {
            const std::size_t mid = low + (high - low) / 2;
            if (keyAt(mid) < key) low = mid + 1;
            else high = mid;
        }
        for (std::size_t i = low; i < count_ && keyAt(i) == key; ++i) {
            const auto pointer = static_cast<std::uint32_t>(Little(entries_ + i * kEntryBytes + 8, 4));
            if (win32Sources && (pointer & kWin32Source) == 0) continue;
            rows.push_back({pointer & ~kFlags, (pointer & kAlone) != 0});
        }
        MergeRows(rows, before);
    }
    return rows;
}

}  // namespace finder
