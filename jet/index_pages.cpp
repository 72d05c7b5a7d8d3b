#include "jet/index_pages.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>

namespace jet {

using namespace format;

namespace {

constexpr std::size_t kMaskBytes = kIndexEntryStart - kIndexMaskStart;
constexpr std::size_t kEntrySpace = std::min(kPageSize - kIndexEntryStart, kMaskBytes * 8);
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
        PutU32(page, kIndexPrevPage, i > 0 ? level[i - 1].number : 0);
        PutU32(page, kIndexNextPage, i + 1 < level.size() ? level[i + 1].number : 0);
        PutU32(page, kIndexTailPage, 0);
        PutU16(page, kIndexPrefixLength, 0);
        std::size_t at = 0;
        for (const auto& e : level[i].entries) {
            std::copy(e.begin(), e.end(), page.begin() + static_cast<std::ptrdiff_t>(kIndexEntryStart + at));
            at += e.size();
            page[kIndexMaskStart + at / 8] |= static_cast<std::uint8_t>(1u << (at % 8));
        }
        PutU16(page, kDataFreeSpace, static_cast<std::uint16_t>(kPageSize - kIndexEntryStart - at));
    }
}

std::uint32_t BigEndian(const IndexEntryView& e, std::size_t fromEnd, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | e[e.size() - fromEnd + static_cast<std::size_t>(i)];
    return v;
}

// Orders two entries byte by byte, the shorter first when one begins the other.
// memcmp's sign, for the first n bytes of an entry against bytes.
int CompareStart(const IndexEntryView& e, const std::uint8_t* bytes, std::size_t n) {
    const std::size_t inPrefix = std::min(n, e.prefix.size());
    if (int c = inPrefix ? std::memcmp(e.prefix.data(), bytes, inPrefix) : 0) return c;
    return n > inPrefix ? std::memcmp(e.rest.data(), bytes + inPrefix, n - inPrefix) : 0;
}

int Sign(int c) { return (c > 0) - (c < 0); }

int Compare(const IndexEntryView& a, std::size_t aLength, const IndexEntryView& b, std::size_t bLength) {
    const std::size_t n = std::min(aLength, bLength);
    int c = 0;
    if (a.prefix.data() == b.prefix.data() && a.prefix.size() == b.prefix.size()) {
        // Entries of one page after the first share the prefix: only their own bytes differ.
        const std::size_t p = std::min(a.prefix.size(), n);
        c = n > p ? std::memcmp(a.rest.data(), b.rest.data(), n - p) : 0;
    } else {
        for (std::size_t i = 0; i < n && c == 0; ++i) c = int(a[i]) - int(b[i]);
    }
    if (c != 0) return Sign(c);
    return aLength < bLength ? -1 : aLength > bLength ? 1 : 0;
}

constexpr std::size_t kLeafTrailer = 4;  // row pointer
constexpr std::size_t kNodeTrailer = 8;  // row pointer, child page

std::uint32_t RowOf(const IndexEntryView& e) { return (BigEndian(e, 4, 3) << 8) | e[e.size() - 1]; }

// One page of the tree, read and checked: of the kind expected, owned by the
// table, its entries long enough and in order, none past the bound that its
// parent gave it (the parent's entry for it, which must be its last entry).
class TreePage {
public:
    bool Read(const PageSource& source, std::uint32_t number, std::uint32_t owner) {
        ByteView page;
        std::uint32_t pageOwner = 0;
        if (!source.Page(number, page) || !page.U32(kDataOwner, pageOwner) || pageOwner != owner) return false;
        leaf_ = page.data()[0] == kPageIndexLeaf;
        if (!leaf_ && page.data()[0] != kPageIndexNode) return false;
        page.U32(kIndexNextPage, next_);
        page.U32(kIndexTailPage, tail_);
        if (!Split(page)) return false;
        const std::size_t trailer = Trailer();
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].size() < trailer + 1) return false;
            if (i > 0 && Compare(entries_[i - 1], entries_[i - 1].size() - (trailer - kLeafTrailer), entries_[i],
                                 entries_[i].size() - (trailer - kLeafTrailer)) > 0)
                return false;
        }
        return true;
    }

    // A node's entry for a child is the child's last entry (with the child's page after it).
    bool Within(const IndexEntryView& bound) const {
        if (entries_.empty()) return true;
        const IndexEntryView& last = entries_.back();
        const std::size_t lastLength = last.size() - (Trailer() - kLeafTrailer);
        return Compare(last, lastLength, bound, bound.size() - kNodeTrailer + kLeafTrailer) <= 0;
    }

    bool Leaf() const { return leaf_; }
    std::size_t Trailer() const { return leaf_ ? kLeafTrailer : kNodeTrailer; }
    const std::vector<IndexEntryView>& Entries() const { return entries_; }
    std::uint32_t Next() const { return next_; }
    std::uint32_t Tail() const { return tail_; }

private:
    // Entries end where the page's bit mask has a bit set; the first entry
    // holds the prefix that every later entry on the page leaves out.
    bool Split(ByteView page) {
        entries_.clear();
        entries_.reserve(kTypicalEntries);
        std::uint16_t prefixLength = 0;
        if (!page.U16(kIndexPrefixLength, prefixLength)) return false;
        const std::uint8_t* base = page.data() + kIndexEntryStart;
        ByteView prefix;
        std::size_t start = 0;
        for (std::size_t bit = 1; bit <= kMaskBytes * 8 - 1; ++bit) {
            const std::uint8_t mask = page.data()[kIndexMaskStart + bit / 8];
            if (mask == 0) {
                bit |= 7;  // the rest of this byte
                continue;
            }
            if (!(mask & (1u << (bit % 8)))) continue;
            if (kIndexEntryStart + bit > kPageSize) return false;
            if (entries_.empty()) {
                if (prefixLength > bit) return false;
                prefix = ByteView(base, prefixLength);
                entries_.push_back(IndexEntryView{ByteView(), ByteView(base, bit)});
            } else {
                entries_.push_back(IndexEntryView{prefix, ByteView(base + start, bit - start)});
            }
            start = bit;
        }
        return true;
    }

    static constexpr std::size_t kTypicalEntries = 256;  // keys of a dozen characters fill a page
    bool leaf_ = false;
    std::uint32_t next_ = 0, tail_ = 0;
    std::vector<IndexEntryView> entries_;
};

// Where a sought key stands against an entry's key: -1 before it, 0 matching it, 1 after it.
int Against(const IndexEntryView& e, std::size_t trailer, const ByteVec& key, bool prefix) {
    const std::size_t length = e.size() - trailer;
    if (int c = CompareStart(e, key.data(), std::min(length, key.size()))) return c > 0 ? -1 : 1;
    if (length == key.size() || (prefix && length > key.size())) return 0;
    return key.size() < length ? -1 : 1;
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

struct IndexNodeCache::Node {
    TreePage page;
};

IndexNodeCache::IndexNodeCache() = default;
IndexNodeCache::~IndexNodeCache() = default;

bool FindInIndex(const PageSource& source, std::uint32_t root, std::uint32_t owner, const ByteVec& key, bool prefix,
                 std::vector<std::uint32_t>& rows, IndexNodeCache* cache) {
    TreePage leaf;
    const TreePage* page = nullptr;
    std::uint32_t number = root;
    IndexEntryView bound;  // views into the file, which outlives the search
    bool bounded = false;
    for (int depth = 0;; ++depth) {
        if (depth == kMaxDepth) return false;
        const auto cached = cache ? cache->nodes_.find(number) : IndexNodeCache::Nodes::iterator();
        if (cache && cached != cache->nodes_.end()) {
            page = &cached->second->page;
        } else {
            if (!leaf.Read(source, number, owner)) return false;
            page = &leaf;
            if (cache && !leaf.Leaf() && cache->nodes_.size() < IndexNodeCache::kMostNodes) {
                auto node = std::make_unique<IndexNodeCache::Node>();
                node->page = leaf;
                page = &(cache->nodes_[number] = std::move(node))->page;
            }
        }
        if (bounded && !page->Within(bound)) return false;
        if (page->Leaf()) break;
        // Descend into the first child whose last key is not below the one sought.
        const auto& entries = page->Entries();
        const auto first = std::partition_point(entries.begin(), entries.end(), [&](const IndexEntryView& e) {
            return Against(e, kNodeTrailer, key, false) > 0;
        });
        std::uint32_t child = 0;
        if (first != entries.end()) {
            child = BigEndian(*first, 4, 4);
            bound = *first;
            bounded = true;
        } else {
            child = page->Tail();
            bounded = false;
        }
        if (child == 0) return true;
        number = child;
    }
    // Matching entries run on from here, possibly over the following leaves.
    std::set<std::uint32_t> seen{number};
    for (;;) {
        for (const IndexEntryView& e : leaf.Entries()) {
            const int where = Against(e, kLeafTrailer, key, prefix);
            if (where < 0) return true;
            if (where == 0) rows.push_back(RowOf(e));
        }
        number = leaf.Next();
        if (number == 0) return true;
        if (!seen.insert(number).second || seen.size() > kMaxLeafWalk || !leaf.Read(source, number, owner) ||
            !leaf.Leaf())
            return false;
    }
}

bool ForEachIndexEntry(const PageSource& source, std::uint32_t root, std::uint32_t owner,
                       const std::function<bool(const IndexEntryView& key, std::uint32_t row)>& visit) {
    TreePage page;
    std::uint32_t number = root;
    for (int depth = 0;; ++depth) {
        if (depth == kMaxDepth || !page.Read(source, number, owner)) return false;
        if (page.Leaf()) break;
        number = page.Entries().empty() ? page.Tail() : BigEndian(page.Entries().front(), 4, 4);
        if (number == 0) return true;
    }
    std::set<std::uint32_t> seen{number};
    for (;;) {
        for (const IndexEntryView& e : page.Entries()) {
            IndexEntryView key = e;
            key.Shorten(kLeafTrailer);
            if (!visit(key, RowOf(e))) return false;
        }
        number = page.Next();
        if (number == 0) return true;
        if (!seen.insert(number).second || seen.size() > kMaxLeafWalk || !page.Read(source, number, owner) ||
            !page.Leaf())
            return false;
    }
}

}  // namespace jet
