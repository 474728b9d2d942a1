#include "jet/jet_table_definition.h"

#include <set>

#include "jet/jet4_format.h"
#include "support/byte_reader.h"

namespace orvano {

using namespace jet4;

std::string JetDefinitionBytes(std::span<const std::byte> file, std::size_t page_size,
                               std::uint32_t first_page) {
  std::string bytes;
  std::set<std::uint32_t> visited;
  for (std::uint32_t page = first_page; page != 0;) {
    if (!visited.insert(page).second) {
      throw DataError("the definition's pages run in circles at page " + std::to_string(page));
    }
    if (page >= file.size() / page_size) {
      throw DataError("definition page " + std::to_string(page) + " lies beyond the file's " +
                      std::to_string(file.size() / page_size) + " pages");
    }
    const std::span<const std::byte> content = file.subspan(page * page_size, page_size);
    ByteReader header(content);
    if (header.U8() != kPageTypeTableDefinition) {
      throw DataError("page " + std::to_string(page) + " is no table definition page");
    }
    header.Skip(kTdefNextPageOffset - 1);
    const std::uint32_t next = header.U32();
    // The first page counts from its start, as the definition's offsets do.
    const std::size_t skip = bytes.empty() ? 0 : kTdefHeaderSize;
    const auto* data = reinterpret_cast<const char*>(content.data());
    bytes.append(data + skip, page_size - skip);
    page = next;
  }
  return bytes;
}

std::vector<JetColumnEntry> ReadJet4ColumnEntries(std::span<const std::byte> definition) {
  ByteReader counts(definition);
  counts.Skip(kTdefColumnCountOffset);
  const std::size_t column_count = counts.U16();
  counts.Skip(kTdefRealIndexCountOffset - kTdefColumnCountOffset - 2);
  const std::size_t index_count = counts.U32();
  const std::size_t start = CheckedAdd(
      kTdefColumnsOffset, CheckedMul(index_count, kTdefRealIndexEntrySize, "index entries"),
      "index entries");
  const std::size_t size = column_count * kColumnEntrySize;
  if (start > definition.size() || size > definition.size() - start) {
    throw DataError(std::to_string(column_count) + " column entries from offset " +
                    std::to_string(start) + " do not fit in the definition's " +
                    std::to_string(definition.size()) + " bytes");
  }
  std::vector<JetColumnEntry> entries;
  entries.reserve(column_count);
  ByteReader reader(definition.subspan(start, size), start);
  for (std::size_t i = 0; i < column_count; ++i) {
    ByteReader entry = reader.Sub(kColumnEntrySize);
    JetColumnEntry column;
    column.type = entry.U8();
    entry.Skip(kColumnNumberOffset - 1);
    column.number = entry.U16();
    entry.Skip(kColumnFlagsOffset - kColumnNumberOffset - 2);
    column.flags = entry.U8();
    column.extra_flags = entry.U8();
    entries.push_back(column);
  }
  return entries;
}

std::string UnsupportedColumnKind(const JetColumnEntry& entry) {
  if ((entry.extra_flags & kColumnExtraFlagCalculated) != 0) {
    return "calculated columns are not supported";
  }
  switch (entry.type) {
    case kTypeComplex:
      return "complex columns are not supported";
    case kTypeLargeNumber:
      return "large number columns are not supported";
    case kTypeExtendedDateTime:
      return "extended date/time columns are not supported";
    case kTypeReplicationId:
    case kTypeNumeric:
      return "";
    default:
      break;
  }
  if (entry.type >= kTypeBoolean && entry.type <= kTypeMemo) return "";
  static constexpr char kHex[] = "0123456789abcdef";
  return std::string("columns of type 0x") + kHex[entry.type >> 4] + kHex[entry.type & 0xf] +
         " are not supported";
}

}  // namespace orvano
