#include "table_definition.h"

#include <algorithm>
#include <cstring>

#include "jet/jet4_format.h"
#include "le_bytes.h"
#include "page_file.h"
#include "support/text_codec.h"
#include "table_layout.h"

namespace orvano::jet4 {

namespace {

constexpr std::size_t kDataPerPage = kPageSize - kTdefHeaderSize;

std::string ColumnEntry(const ColumnLayout& column) {
  std::string entry(kColumnEntrySize, '\0');
  entry[kColumnTypeOffset] = static_cast<char>(column.type);
  PutU16(entry, kColumnNumberOffset, column.number);
  PutU16(entry, kColumnVarIndexOffset, column.var_index);
  PutU16(entry, kColumnNumber2Offset, column.number);
  PutU16(entry, kColumnSortOrderOffset, kSortOrderGeneral);
  entry[kColumnFlagsOffset] =
      static_cast<char>(kColumnFlagNullable | (column.is_fixed ? kColumnFlagFixed : 0));
  PutU16(entry, kColumnFixedOffsetOffset, column.fixed_offset);
  PutU16(entry, kColumnLengthOffset, column.length);
  return entry;
}

}  // namespace

std::string EncodeTableDefinition(const TableLayout& layout, const TableDefinition& definition) {
  // Built with page offsets, then the 8-byte page header is cut off.
  std::string bytes(kTdefColumnsOffset, '\0');
  PutU32(bytes, kTdefRowCountOffset, definition.row_count);
  bytes[kTdefAutonumberFlagOffset] = 1;
  bytes[kTdefTableTypeOffset] =
      static_cast<char>(layout.is_system ? kTableTypeSystem : kTableTypeUser);
  // Deleted columns still count among the columns a row may hold (and, as the original engine
  // leaves them, among the variable ones), but have no entry.
  std::vector<const ColumnLayout*> listed;
  for (const ColumnLayout& column : layout.columns) {
    if (!column.is_deleted) listed.push_back(&column);
  }
  PutU16(bytes, kTdefMaxColumnsOffset, static_cast<std::uint16_t>(layout.columns.size()));
  PutU16(bytes, kTdefVarColumnsOffset, layout.var_count);
  PutU16(bytes, kTdefColumnCountOffset, static_cast<std::uint16_t>(listed.size()));
  PutU32(bytes, kTdefUsedPagesOffset, definition.table_maps.used);
  PutU32(bytes, kTdefFreePagesOffset, definition.table_maps.free);
  for (const ColumnLayout* column : listed) bytes += ColumnEntry(*column);
  for (const ColumnLayout* column : listed) {
    const std::string name = Utf8ToUtf16Le(column->name);
    AppendU16(bytes, static_cast<std::uint16_t>(name.size()));
    bytes += name;
  }
  // Each Memo column lists the usage maps of its long-value pages.
  for (const ColumnLayout& column : layout.columns) {
    if (column.long_value_slot < 0 || column.is_deleted) continue;
    const UsageMaps& maps = definition.long_value_maps[column.long_value_slot];
    AppendU16(bytes, column.number);
    AppendU32(bytes, maps.used);
    AppendU32(bytes, maps.free);
  }
  AppendU16(bytes, kEndOfLongValueMaps);
  bytes.erase(0, kTdefHeaderSize);
  PutU32(bytes, 0, static_cast<std::uint32_t>(bytes.size()));
  return bytes;
}

std::size_t TableDefinitionPageCount(std::size_t definition_bytes) {
  return std::max<std::size_t>(1, (definition_bytes + kDataPerPage - 1) / kDataPerPage);
}

void WriteTableDefinition(PageFile& file, const std::vector<std::uint32_t>& pages,
                          const std::string& definition_bytes) {
  for (std::size_t i = 0; i < pages.size(); ++i) {
    std::string& page = file.Page(pages[i]);
    const std::size_t begin = i * kDataPerPage;
    const std::size_t count = std::min(kDataPerPage, definition_bytes.size() - begin);
    page[0] = static_cast<char>(kPageTypeTableDefinition);
    page[1] = static_cast<char>(kPageMarker);
    PutU16(page, kTdefFreeSpaceOffset, static_cast<std::uint16_t>(kDataPerPage - count));
    PutU32(page, kTdefNextPageOffset, i + 1 < pages.size() ? pages[i + 1] : 0);
    std::memcpy(page.data() + kTdefHeaderSize, definition_bytes.data() + begin, count);
  }
}

}  // namespace orvano::jet4
