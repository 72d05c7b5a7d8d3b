#pragma once
// Index trees (page types 0x03 and 0x04): leaf pages hold every entry (key,
// then the row's page in 3 big-endian bytes and its row number), node pages
// hold the last entry of each child followed by the child's page number.
#include <cstdint>
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

// Row pointers of the entries whose key equals key, found by descending from
// root. False on a damaged tree.
// Every entry of the tree, leaf by leaf from the leftmost. False on a damaged tree.
bool ReadIndexEntries(const PageSource& source, std::uint32_t root, std::vector<IndexEntry>& entries);

bool FindInIndex(const PageSource& source, std::uint32_t root, const ByteVec& key, std::vector<std::uint32_t>& rows);

}  // namespace jet
