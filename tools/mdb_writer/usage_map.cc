#include "usage_map.h"

#include "jet/jet4_format.h"
#include "le_bytes.h"
#include "page_file.h"
#include "support/errors.h"

namespace orvano::jet4 {

namespace {

constexpr std::size_t kInlineBitmapOffset = 5;  // after the type byte and the start page

void SetBit(std::string& bytes, std::size_t bitmap_offset, std::size_t bit) {
  bytes[bitmap_offset + bit / 8] = static_cast<char>(
      static_cast<unsigned char>(bytes[bitmap_offset + bit / 8]) | (1u << (bit % 8)));
}

std::string InlineMap(std::uint32_t start, const std::vector<std::uint32_t>& pages) {
  std::string row(kUsageMapRowSize, '\0');
  row[0] = static_cast<char>(kUsageMapInline);
  PutU32(row, 1, start);
  for (std::uint32_t page : pages) SetBit(row, kInlineBitmapOffset, page - start);
  return row;
}

}  // namespace

std::string EncodeUsageMap(PageFile& file, const std::vector<std::uint32_t>& pages) {
  if (pages.empty() || pages.back() - pages.front() < kInlineMapPages) {
    return InlineMap(pages.empty() ? 0 : pages.front(), pages);
  }
  if (pages.back() / kBitmapPagePages >= kReferencedMapPointers) {
    throw ProgramError("a table spans more pages than a usage map can list", "mdb_writer");
  }
  std::string row(kUsageMapRowSize, '\0');
  row[0] = static_cast<char>(kUsageMapReferenced);
  std::uint32_t bitmap_page = 0;
  std::size_t window = kReferencedMapPointers;  // none open yet
  for (std::uint32_t page : pages) {
    if (page / kBitmapPagePages != window) {
      window = page / kBitmapPagePages;
      bitmap_page = file.Allocate();
      std::string& bitmap = file.Page(bitmap_page);
      bitmap[0] = static_cast<char>(kPageTypeUsageBitmap);
      bitmap[1] = static_cast<char>(kPageMarker);
      PutU32(row, 1 + 4 * window, bitmap_page);
    }
    SetBit(file.Page(bitmap_page), kBitmapPageHeaderSize, page % kBitmapPagePages);
  }
  return row;
}

std::string EncodeGlobalFreeMap(std::uint32_t page_count) {
  std::string row = InlineMap(0, {});
  for (std::size_t page = page_count; page < kInlineMapPages; ++page) {
    SetBit(row, kInlineBitmapOffset, page);
  }
  return row;
}

}  // namespace orvano::jet4
