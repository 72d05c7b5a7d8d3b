#pragma once
// Index trees (page types 0x03 and 0x04): leaf pages hold every entry (key,
// then the row's page in 3 big-endian bytes and its row number), node pages
// hold the last entry of each child followed by the child's page number.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <string>
#include <vector>

#include "jet/page_file.h"
#include "jet/page_source.h"

namespace jet {

struct IndexEntry {
    ByteVec key;
    std::uint32_t row = 0;  // row pointer: page << 8 | row number
};

// Lays the entries (any order) out as a tree owned by the table at tdefPage;
// root receives the root page, pages every page taken.
void BuildIndexTree(std::vector<IndexEntry> entries, std::uint32_t tdefPage, PageFile& file, std::uint32_t& root,
                    std::vector<std::uint32_t>& pages);

// One entry of an index page as it lies in the file: the prefix that the
// page's first entry shares with the rest, then the entry's own bytes. Keys
// are compared in place; nothing is copied per entry.
struct IndexEntryView {
    ByteView prefix, rest;

    std::size_t size() const { return prefix.size() + rest.size(); }
    std::uint8_t operator[](std::size_t i) const {
        return i < prefix.size() ? prefix.data()[i] : rest.data()[i - prefix.size()];
    }
    void Shorten(std::size_t n) { rest = ByteView(rest.data(), rest.size() - n); }  // n <= rest.size()
};

// Node pages of index trees, read and checked on first use: later lookups
// descend through them without reading them again. Leaves are read each time.
class IndexNodeCache {
public:
    IndexNodeCache();
    ~IndexNodeCache();
    // Far more nodes than a tree over 2 GB of leaves has.
    static constexpr std::size_t kMostNodes = 1u << 16;

private:
    friend bool FindInIndex(const PageSource&, std::uint32_t, std::uint32_t, const ByteVec&, bool,
                            std::vector<std::uint32_t>&, IndexNodeCache*);
    struct Node;
    using Nodes = std::unordered_map<std::uint32_t, std::unique_ptr<Node>>;
    Nodes nodes_;
};

// Row pointers of the entries whose key equals key (or, with prefix, begins
// with it), in index order, found by descending from root. Every page visited
// must be an index page of the table whose definition is at owner, its
// entries in order and within the bound its parent gives. False on a damaged
// tree. Node pages are kept in cache when one is given (one per table: the
// pages it holds were checked against that table as their owner).
bool FindInIndex(const PageSource& source, std::uint32_t root, std::uint32_t owner, const ByteVec& key, bool prefix,
                 std::vector<std::uint32_t>& rows, IndexNodeCache* cache = nullptr);

// Calls visit with the key and row pointer of every entry, leaf by leaf from
// the leftmost, until it returns false. False on a damaged tree or a refusal.
bool ForEachIndexEntry(const PageSource& source, std::uint32_t root, std::uint32_t owner,
                       const std::function<bool(const IndexEntryView& key, std::uint32_t row)>& visit);

}  // namespace jet
