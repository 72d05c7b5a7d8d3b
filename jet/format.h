#pragma once
// Layout constants of the Jet 4 (Access 2000) file format, shared by writer and reader.
#include <cstddef>
#include <cstdint>

#include "jet/table.h"

namespace jet::format {

constexpr std::size_t kPageSize = 4096;
constexpr std::uint32_t kCatalogPage = 2;  // MSysObjects' definition

// Page types (first byte of a page).
constexpr std::uint8_t kPageHeader = 0x00;
constexpr std::uint8_t kPageData = 0x01;
constexpr std::uint8_t kPageTableDef = 0x02;
constexpr std::uint8_t kPageIndexNode = 0x03;
constexpr std::uint8_t kPageIndexLeaf = 0x04;
constexpr std::uint8_t kPageUsageMap = 0x05;

// Header page.
constexpr char kSignature[] = "Standard Jet DB";
constexpr char kAceSignature[] = "Standard ACE DB";  // Access 2007 and later (.accdb)
constexpr std::size_t kSignatureOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;
constexpr std::uint8_t kVersionJet4 = 0x01;
constexpr std::size_t kMaskedOffset = 0x18;
constexpr std::size_t kMaskedLength = 128;
constexpr std::uint8_t kHeaderKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
constexpr std::size_t kCodePageOffset = 0x3C;
constexpr std::size_t kDbKeyOffset = 0x3E;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kPasswordLength = 40;
constexpr std::size_t kSortOrderOffset = 0x6E;
constexpr std::size_t kCreationDateOffset = 0x72;
constexpr std::uint16_t kSortGeneral = 0x0409;

// Data pages: type, 1, free space, owner, 4 unknown, row count, row offsets.
constexpr std::size_t kDataFreeSpace = 2;
constexpr std::size_t kDataOwner = 4;
constexpr std::size_t kDataRowCount = 12;
constexpr std::size_t kDataRowTable = 14;
constexpr std::uint16_t kRowDeleted = 0x8000;
constexpr std::uint16_t kRowOverflow = 0x4000;
constexpr std::uint16_t kRowOffsetMask = 0x1FFF;
constexpr std::size_t kMaxRowsPerPage = 255;
constexpr char kLongValueTag[] = "LVAL";  // in a long-value page's owner field
// A row: its column count (2 bytes), then the fixed-length columns.
constexpr std::size_t kRowFixedStart = 2;

// Table definition.
constexpr std::size_t kTdefNextPage = 4;
constexpr std::size_t kTdefLength = 8;
constexpr std::size_t kTdefMagic = 12;
constexpr std::size_t kTdefRowCount = 16;
constexpr std::size_t kTdefAutoNumber = 20;
constexpr std::size_t kTdefAutoNumberFlag = 24;
constexpr std::size_t kTdefType = 40;
constexpr std::size_t kTdefMaxColumns = 41;
constexpr std::size_t kTdefVarColumns = 43;
constexpr std::size_t kTdefColumns = 45;
constexpr std::size_t kTdefLogicalIndexes = 47;
constexpr std::size_t kTdefRealIndexes = 51;
constexpr std::size_t kTdefUsedPages = 55;
constexpr std::size_t kTdefFreePages = 59;
constexpr std::size_t kTdefBlockEnd = 63;
constexpr std::uint32_t kTableMagic = 0x0659;
constexpr std::uint8_t kTableUser = 0x4E;
constexpr std::uint8_t kTableSystem = 0x53;
constexpr std::size_t kRealIndexCountSize = 12;
constexpr std::size_t kColumnEntrySize = 25;
constexpr std::size_t kRealIndexEntrySize = 52;
constexpr std::size_t kLogicalIndexEntrySize = 28;
constexpr std::size_t kIndexColumnSlots = 10;

// Real index entries: 4 bytes, then a column map of kIndexColumnSlots slots
// (column number, 0xFFFF for none, and order), 4 bytes, the first page, flags.
constexpr std::size_t kRealIndexColumnMap = 4;
constexpr std::size_t kRealIndexColumnSlotSize = 3;
constexpr std::uint16_t kRealIndexNoColumn = 0xFFFF;
constexpr std::uint8_t kRealIndexAscending = 0x01;
constexpr std::size_t kRealIndexFirstPage = 38;
constexpr std::size_t kRealIndexFlags = 46;
constexpr std::uint8_t kIndexUnique = 0x01;
constexpr std::uint8_t kIndexIgnoreNulls = 0x02;
constexpr std::uint8_t kIndexRequired = 0x08;
constexpr std::uint8_t kIndexAccess2000 = 0x80;  // set on every index Access 2000 and later create

// Logical index entries: the real index behind it, the two cascade bytes of a
// relationship (Access stores 0x04 in both when no relationship uses the
// index) and the index type.
constexpr std::size_t kLogicalRealIndex = 8;
constexpr std::size_t kLogicalCascadeUpdates = 21;
constexpr std::size_t kLogicalCascadeDeletes = 22;
constexpr std::size_t kLogicalIndexType = 23;
constexpr std::uint8_t kCascadeNone = 0x04;
constexpr std::uint8_t kIndexTypePrimaryKey = 0x01;

// Column entry fields (relative to the entry).
constexpr std::size_t kColType = 0;
constexpr std::size_t kColMagic = 1;
constexpr std::size_t kColNumber = 5;
constexpr std::size_t kColVarIndex = 7;
constexpr std::size_t kColNumber2 = 9;
constexpr std::size_t kColMisc = 11;
constexpr std::size_t kColMiscExt = 13;
constexpr std::size_t kColFlags = 15;
constexpr std::size_t kColMiscFlags = 16;
constexpr std::size_t kColFixedOffset = 21;
constexpr std::size_t kColLength = 23;
constexpr std::uint8_t kColFlagFixed = 0x01;
constexpr std::uint8_t kColFlagUpdatable = 0x02;
constexpr std::uint8_t kColFlagSystem = 0x10;      // set by the engine on its own tables' columns
constexpr std::uint8_t kColFlagSecurityId = 0x20;  // set by the engine on the columns that hold security ids
constexpr std::uint8_t kColMiscCompressed = 0x01;

// Usage maps.
constexpr std::uint8_t kMapInline = 0x00;
constexpr std::uint8_t kMapReference = 0x01;
constexpr std::size_t kMapRowLength = 69;  // type, then 68 bytes: start page and bitmap, or 17 page pointers
constexpr std::size_t kInlineMapPages = (kMapRowLength - 5) * 8;
constexpr std::size_t kReferenceMapSlots = (kMapRowLength - 1) / 4;
constexpr std::size_t kMapPageBits = (kPageSize - 4) * 8;

// Long values (memo, OLE): 12-byte field in the row.
constexpr std::size_t kLongValueFieldSize = 12;
constexpr std::uint8_t kLongValueInline = 0x80;
constexpr std::uint8_t kLongValueSingle = 0x40;
constexpr std::uint8_t kLongValueChain = 0x00;

// Index pages (Jet 4: Jet 3's header is 4 bytes shorter, its fields at 8/12/16/20).
constexpr std::size_t kIndexPrevPage = 12;
constexpr std::size_t kIndexNextPage = 16;
constexpr std::size_t kIndexTailPage = 20;
constexpr std::size_t kIndexPrefixLength = 24;
constexpr std::size_t kIndexMaskStart = 0x1B;
constexpr std::size_t kIndexEntryStart = 0x1E0;

// Catalog.
constexpr std::int16_t kObjectTable = 1;
constexpr std::int16_t kObjectDatabase = 2;
constexpr std::int16_t kObjectContainer = 3;
constexpr std::int16_t kObjectAccessProperties = -32757;  // a property set Access keeps under Databases
constexpr std::uint32_t kFlagSystemObject = 0x80000000u;
constexpr std::uint32_t kFlagHiddenSystem = 0x00000002u;

// Bytes a fixed-length column takes in a row (Boolean lives in the null mask).
inline std::size_t FixedSize(ColumnType t) {
    switch (t) {
        case ColumnType::Boolean: return 0;
        case ColumnType::Byte: return 1;
        case ColumnType::Integer: return 2;
        case ColumnType::LongInteger: return 4;
        case ColumnType::Single: return 4;
        case ColumnType::Currency:
        case ColumnType::Double:
        case ColumnType::DateTime: return 8;
        case ColumnType::AccessObjectData: return 3992;
        default: return 0;
    }
}

inline bool IsVariable(ColumnType t) {
    return t == ColumnType::Text || t == ColumnType::Binary || t == ColumnType::Memo ||
           t == ColumnType::OleObject;
}

inline bool IsLongValue(ColumnType t) { return t == ColumnType::Memo || t == ColumnType::OleObject; }

inline bool IsTextual(ColumnType t) { return t == ColumnType::Text || t == ColumnType::Memo; }

}  // namespace jet::format
