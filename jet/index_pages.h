#pragma once
// Index trees (page types 0x03 and 0x04): leaf pages hold every entry (key,
// then the row's page in 3 big-endian bytes and its row number), node pages
// hold the last entry of each child followed by the child's page number.
#include <cstdint>
#include <functional>
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
    ByteVec Copy() const {
        ByteVec out(prefix.data(), prefix.data() + prefix.size());
        out.insert(out.end(), rest.data(), rest.data() + rest.size());
        return out;
    }
};

// Row pointers of the entries whose key equals key (or, with prefix, begins
// with it), in index order, found by descending from root. Every page visited
// must be an index page of the table whose definition is at owner, its
// entries in order and within the bound its parent gives. False on a damaged tree.
bool FindInIndex(const PageSource& source, std::uint32_t root, std::uint32_t owner, const ByteVec& key, bool prefix,
                 std::vector<std::uint32_t>& rows);

// Calls visit with the key and row pointer of every entry, leaf by leaf from
// the leftmost, until it returns false. False on a damaged tree or a refusal.
bool ForEachIndexEntry(const PageSource& source, std::uint32_t root, std::uint32_t owner,
                       const std::function<bool(const IndexEntryView& key, std::uint32_t row)>& visit);

}  // namespace jet
