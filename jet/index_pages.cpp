#include "jet/index_pages.h"

#include <algorithm>
#include <set>

namespace jet {

using namespace format;

namespace {

constexpr std::size_t kMaskBytes = kIndexEntryStart - kIndexMaskStart;
constexpr std::size_t kEntrySpace = std::min(kPageSize - kIndexEntryStart, kMaskBytes * 8);
constexpr std::size_t kPrevPage = 12;
constexpr std::size_t kNextPage = 16;
constexpr std::size_t kTailPage = 20;
constexpr std::size_t kPrefixLength = 24;
// Deeper than any tree a file of 2 GB can hold.
constexpr int kMaxDepth = 32;
constexpr std::size_t kMaxLeafWalk = 1u << 20;

void AppendBigEndian(ByteVec& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

ByteVec LeafEntry(const IndexEntry& e) {
    ByteVec out = e.key;
    AppendBigEndian(out, e.row >> 8, 3);
    out.push_back(static_cast<std::uint8_t>(e.row));
    return out;
}

struct PageImage {
    std::uint32_t number = 0;
    std::vector<ByteVec> entries;
};

// Splits entries over pages in order, as many per page as fit.
std::vector<PageImage> Pack(std::vector<ByteVec> entries, PageFile& file) {
    std::vector<PageImage> pages(1);
    std::size_t used = 0;
    for (auto& e : entries) {
        if (used + e.size() > kEntrySpace) {
            pages.emplace_back();
            used = 0;
        }
        used += e.size();
        pages.back().entries.push_back(std::move(e));
    }
    for (auto& p : pages) p.number = file.Allocate();
    return pages;
}

void WriteLevel(const std::vector<PageImage>& level, bool leaf, std::uint32_t tdefPage, PageFile& file) {
    for (std::size_t i = 0; i < level.size(); ++i) {
        ByteVec& page = file.Page(level[i].number);
        page[0] = leaf ? kPageIndexLeaf : kPageIndexNode;
        page[1] = 0x01;
        PutU32(page, kDataOwner, tdefPage);
        PutU32(page, kPrevPage, i > 0 ? level[i - 1].number : 0);
        PutU32(page, kNextPage, i + 1 < level.size() ? level[i + 1].number : 0);
        PutU32(page, kTailPage, 0);
        PutU16(page, kPrefixLength, 0);
        std::size_t at = 0;
        for (const auto& e : level[i].entries) {
            std::copy(e.begin(), e.end(), page.begin() + static_cast<std::ptrdiff_t>(kIndexEntryStart + at));
            at += e.size();
            page[kIndexMaskStart + at / 8] |= static_cast<std::uint8_t>(1u << (at % 8));
        }
        PutU16(page, kDataFreeSpace, static_cast<std::uint16_t>(kPageSize - kIndexEntryStart - at));
    }
}

// Entries of one index page, with the shared prefix put back in front.
bool PageEntries(ByteView page, std::vector<ByteVec>& entries) {
    entries.clear();
    std::uint16_t prefixLength = 0;
    if (!page.U16(kPrefixLength, prefixLength)) return false;
    std::size_t start = 0;
    ByteVec prefix;
    for (std::size_t bit = 1; bit <= kMaskBytes * 8 - 1; ++bit) {
        if (!(page.data()[kIndexMaskStart + bit / 8] & (1u << (bit % 8)))) continue;
        if (kIndexEntryStart + bit > kPageSize) return false;
        ByteVec e;
        if (entries.empty()) {
            if (prefixLength > bit) return false;
            prefix.assign(page.data() + kIndexEntryStart, page.data() + kIndexEntryStart + prefixLength);
        } else {
            e = prefix;
        }
        e.insert(e.end(), page.data() + kIndexEntryStart + start, page.data() + kIndexEntryStart + bit);
        entries.push_back(std::move(e));
        start = bit;
    }
    return true;
}

std::uint32_t BigEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

bool KeyOf(const ByteVec& entry, std::size_t trailer, ByteVec& key) {
    if (entry.size() < trailer) return false;
    key.assign(entry.begin(), entry.end() - static_cast<std::ptrdiff_t>(trailer));
    return true;
}

// Collects matching entries from leaf onwards; stops at the first greater key.
bool ScanLeaves(const PageSource& source, std::uint32_t leaf, const ByteVec& key, std::vector<std::uint32_t>& rows) {
    std::set<std::uint32_t> seen;
    std::vector<ByteVec> entries;
    ByteVec k;
    while (leaf != 0) {
        ByteView page;
        if (!seen.insert(leaf).second || seen.size() > kMaxLeafWalk || !source.Page(leaf, page) ||
            page.data()[0] != kPageIndexLeaf || !PageEntries(page, entries))
            return false;
        for (const auto& e : entries) {
            if (!KeyOf(e, 4, k)) return false;
            if (k > key) return true;
            if (k == key) rows.push_back((BigEndian(e.data() + e.size() - 4, 3) << 8) | e.back());
        }
        std::uint32_t next = 0;
        page.U32(kNextPage, next);
        leaf = next;
    }
    return true;
}

}  // namespace

void BuildIndexTree(std::vector<IndexEntry> entries, std::uint32_t tdefPage, PageFile& file, std::uint32_t& root,
                    std::vector<std::uint32_t>& pages) {
    std::vector<ByteVec> leafEntries;
    leafEntries.reserve(entries.size());
    for (const auto& e : entries) leafEntries.push_back(LeafEntry(e));
    std::sort(leafEntries.begin(), leafEntries.end());
    std::vector<PageImage> level = Pack(std::move(leafEntries), file);
    WriteLevel(level, true, tdefPage, file);
    for (const auto& p : level) pages.push_back(p.number);
    while (level.size() > 1) {
        std::vector<ByteVec> nodeEntries;
        for (const auto& child : level) {
            ByteVec e = child.entries.back();
            AppendBigEndian(e, child.number, 4);
            nodeEntries.push_back(std::move(e));
        }
        level = Pack(std::move(nodeEntries), file);
        WriteLevel(level, false, tdefPage, file);
        for (const auto& p : level) pages.push_back(p.number);
    }
    root = level.front().number;
}

bool ReadIndexEntries(const PageSource& source, std::uint32_t root, std::vector<IndexEntry>& out) {
    out.clear();
    std::uint32_t page = root;
    std::vector<ByteVec> entries;
    for (int depth = 0;; ++depth) {
        ByteView p;
        if (depth == kMaxDepth || !source.Page(page, p)) return false;
        if (p.data()[0] == kPageIndexLeaf) break;
        if (p.data()[0] != kPageIndexNode || !PageEntries(p, entries)) return false;
        if (entries.empty()) {
            p.U32(kTailPage, page);
            if (page == 0) return true;
            continue;
        }
        if (entries.front().size() < 8) return false;
        page = BigEndian(entries.front().data() + entries.front().size() - 4, 4);
    }
    std::set<std::uint32_t> seen;
    while (page != 0) {
        ByteView p;
        if (!seen.insert(page).second || seen.size() > kMaxLeafWalk || !source.Page(page, p) ||
            p.data()[0] != kPageIndexLeaf || !PageEntries(p, entries))
            return false;
        for (const auto& e : entries) {
            IndexEntry ie;
            if (!KeyOf(e, 4, ie.key)) return false;
            ie.row = (BigEndian(e.data() + e.size() - 4, 3) << 8) | e.back();
            out.push_back(std::move(ie));
        }
        std::uint32_t next = 0;
        p.U32(kNextPage, next);
        page = next;
    }
    return true;
}

bool FindInIndex(const PageSource& source, std::uint32_t root, const ByteVec& key, std::vector<std::uint32_t>& rows) {
    std::uint32_t page = root;
    std::vector<ByteVec> entries;
    ByteVec k;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        ByteView p;
        if (!source.Page(page, p)) return false;
        if (p.data()[0] == kPageIndexLeaf) return ScanLeaves(source, page, key, rows);
        if (p.data()[0] != kPageIndexNode || !PageEntries(p, entries)) return false;
        // A child's entry in its parent is the child's last entry: descend into
        // the first child whose last key is not below the one sought.
        std::uint32_t child = 0;
        for (const auto& e : entries) {
            if (!KeyOf(e, 8, k)) return false;
            if (k >= key) {
                child = BigEndian(e.data() + e.size() - 4, 4);
                break;
            }
        }
        if (child == 0) p.U32(kTailPage, child);
        if (child == 0) return true;
        page = child;
    }
    return false;
}

}  // namespace jet
