// The Jet 4 database file layout: page size and page types, the field offsets inside each kind
// of page, column type codes and flags, and the limits a reader relies on. Shared by the fixture
// writer (tools/mdb_writer), which produces this subset, and the parts of the database reader
// that parse rows and table definitions themselves. Constants only; docs/formats/jet4.md
// describes the same subset in prose.

#ifndef ORVANO_JET_JET4_FORMAT_H_
#define ORVANO_JET_JET4_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace orvano::jet4 {

inline constexpr std::size_t kPageSize = 4096;

// First byte of every page.
inline constexpr std::uint8_t kPageTypeHeader = 0x00;
inline constexpr std::uint8_t kPageTypeData = 0x01;
inline constexpr std::uint8_t kPageTypeTableDefinition = 0x02;
inline constexpr std::uint8_t kPageTypeUsageBitmap = 0x05;
// Second byte of every page but the header page.
inline constexpr std::uint8_t kPageMarker = 0x01;

// Fixed page numbers.
inline constexpr std::uint32_t kGlobalUsagePage = 1;
inline constexpr std::uint32_t kCatalogPage = 2;

// Header page (page 0).
inline constexpr std::size_t kHeaderFormatIdOffset = 0x04;  // "Standard Jet DB" + NUL
inline constexpr std::size_t kHeaderVersionOffset = 0x14;
inline constexpr std::uint8_t kVersionJet4 = 0x01;
// The bytes [0x18, 0x18 + 128) are RC4-encrypted with this fixed 4-byte key (little-endian).
inline constexpr std::size_t kHeaderEncryptedOffset = 0x18;
inline constexpr std::size_t kHeaderEncryptedLength = 128;
inline constexpr std::uint32_t kHeaderRc4Key = 0x6b39dac7;
// Fields inside the encrypted region, as offsets in the page.
inline constexpr std::size_t kHeaderCodePageOffset = 0x3c;     // 2 bytes
inline constexpr std::size_t kHeaderDatabaseKeyOffset = 0x3e;  // 4 bytes, 0 = pages not encrypted
inline constexpr std::size_t kHeaderPasswordOffset = 0x42;     // 40 bytes, masked
inline constexpr std::size_t kHeaderPasswordLength = 40;
inline constexpr std::size_t kHeaderCollationOffset = 0x6e;  // 4 bytes
inline constexpr std::size_t kHeaderCreationDateOffset =
    0x72;  // 8-byte double, days since 1899-12-30

// Data pages (also long-value pages and pages of usage-map rows).
inline constexpr std::size_t kDataFreeSpaceOffset = 2;    // 2 bytes
inline constexpr std::size_t kDataOwnerOffset = 4;        // 4 bytes: first table definition page
inline constexpr std::size_t kDataRowCountOffset = 12;    // 2 bytes
inline constexpr std::size_t kDataRowOffsetsOffset = 14;  // 2 bytes per row, first row first
inline constexpr char kLongValueOwner[4] = {'L', 'V', 'A', 'L'};  // owner field of LVAL pages
// Rows are addressed by (page << 8) | row, so a page holds at most 255 rows.
inline constexpr std::size_t kMaxRowsPerPage = 255;
// The longest row one page holds: page minus header minus one row offset.
inline constexpr std::size_t kMaxRowSize = kPageSize - kDataRowOffsetsOffset - 2;

// Table definition pages.
inline constexpr std::size_t kTdefHeaderSize = 8;       // type, marker, free space, next page
inline constexpr std::size_t kTdefFreeSpaceOffset = 2;  // 2 bytes
inline constexpr std::size_t kTdefNextPageOffset = 4;   // 4 bytes, 0 = last page
inline constexpr std::size_t kTdefLengthOffset = 8;     // 4 bytes: bytes after the 8-byte header
inline constexpr std::size_t kTdefRowCountOffset = 16;  // 4 bytes
inline constexpr std::size_t kTdefAutonumberFlagOffset = 24;
inline constexpr std::size_t kTdefTableTypeOffset = 40;       // 1 byte
inline constexpr std::size_t kTdefMaxColumnsOffset = 41;      // 2 bytes
inline constexpr std::size_t kTdefVarColumnsOffset = 43;      // 2 bytes
inline constexpr std::size_t kTdefColumnCountOffset = 45;     // 2 bytes
inline constexpr std::size_t kTdefIndexCountOffset = 47;      // 4 bytes
inline constexpr std::size_t kTdefRealIndexCountOffset = 51;  // 4 bytes
inline constexpr std::size_t kTdefUsedPagesOffset = 55;       // 4 bytes, row pointer
inline constexpr std::size_t kTdefFreePagesOffset = 59;       // 4 bytes, row pointer
inline constexpr std::size_t kTdefColumnsOffset = 63;         // column entries (no indexes)
inline constexpr std::size_t kTdefRealIndexEntrySize = 12;    // before the column entries
inline constexpr std::uint8_t kTableTypeUser = 0x4e;
inline constexpr std::uint8_t kTableTypeSystem = 0x53;
inline constexpr std::uint16_t kEndOfLongValueMaps = 0xffff;

// One column entry of a table definition (25 bytes), as offsets inside the entry.
inline constexpr std::size_t kColumnEntrySize = 25;
inline constexpr std::size_t kColumnTypeOffset = 0;
inline constexpr std::size_t kColumnNumberOffset = 5;
inline constexpr std::size_t kColumnVarIndexOffset = 7;
inline constexpr std::size_t kColumnNumber2Offset = 9;
inline constexpr std::size_t kColumnSortOrderOffset = 11;
inline constexpr std::size_t kColumnFlagsOffset = 15;
inline constexpr std::size_t kColumnExtraFlagsOffset = 16;
inline constexpr std::size_t kColumnFixedOffsetOffset = 21;
inline constexpr std::size_t kColumnLengthOffset = 23;
inline constexpr std::uint16_t kSortOrderGeneral = 0x0409;
inline constexpr std::uint8_t kColumnFlagFixed = 0x01;
inline constexpr std::uint8_t kColumnFlagNullable = 0x02;
// In the extra flags: the column's value is computed from an expression (engines of 2010 and
// later); its stored bytes wrap the result.
inline constexpr std::uint8_t kColumnExtraFlagCalculated = 0xc0;

// Column type codes.
inline constexpr std::uint8_t kTypeBoolean = 0x01;
inline constexpr std::uint8_t kTypeInteger = 0x03;
inline constexpr std::uint8_t kTypeLongInteger = 0x04;
inline constexpr std::uint8_t kTypeText = 0x0a;
inline constexpr std::uint8_t kTypeOle = 0x0b;
inline constexpr std::uint8_t kTypeMemo = 0x0c;
inline constexpr std::uint8_t kTypeReplicationId = 0x0f;
inline constexpr std::uint8_t kTypeNumeric = 0x10;
// Types of later engines, which the reader names instead of reading.
inline constexpr std::uint8_t kTypeComplex = 0x12;  // attachments, multi-valued fields
inline constexpr std::uint8_t kTypeLargeNumber = 0x13;
inline constexpr std::uint8_t kTypeExtendedDateTime = 0x14;
inline constexpr std::size_t kMaxTextCharacters = 255;  // UTF-16 code units

// Memo (long value) field inside a row: 3-byte length with a flag byte, row pointer, 4 zero bytes.
inline constexpr std::size_t kMemoFieldSize = 12;
inline constexpr std::uint32_t kMemoInline = 0x80000000;     // value follows the field
inline constexpr std::uint32_t kMemoSingleRow = 0x40000000;  // value is one LVAL row
inline constexpr std::uint32_t kMemoChained = 0x00000000;    // rows of [next pointer, part]
inline constexpr std::uint32_t kMemoMaxLength = 0x3fffffff;
// A memo this short (in bytes) is kept inside the row when the row has room.
inline constexpr std::size_t kMaxInlineMemoBytes = 64;

// Usage maps: a 69-byte row, type 0 (start page + 64-byte bitmap) or type 1 (17 pointers to
// bitmap pages, each bitmap page covering (kPageSize - 4) * 8 consecutive pages from page 0).
inline constexpr std::uint8_t kUsageMapInline = 0x00;
inline constexpr std::uint8_t kUsageMapReferenced = 0x01;
inline constexpr std::size_t kUsageMapRowSize = 69;
inline constexpr std::size_t kInlineMapPages = (kUsageMapRowSize - 5) * 8;
inline constexpr std::size_t kBitmapPageHeaderSize = 4;
inline constexpr std::size_t kBitmapPagePages = (kPageSize - kBitmapPageHeaderSize) * 8;
inline constexpr std::size_t kReferencedMapPointers = (kUsageMapRowSize - 1) / 4;

// Limits of names.
inline constexpr std::size_t kMaxNameCharacters = 64;  // UTF-16 code units
inline constexpr std::size_t kMaxColumns = 255;

}  // namespace orvano::jet4

#endif  // ORVANO_JET_JET4_FORMAT_H_
