#include "row_pages.h"

#include <cstring>

#include "jet/jet4_format.h"
#include "le_bytes.h"
#include "page_file.h"

namespace orvano::jet4 {

namespace {

bool HasRoom(const std::string& page, std::size_t row_size) {
  return GetU16(page, kDataRowCountOffset) < kMaxRowsPerPage &&
         GetU16(page, kDataFreeSpaceOffset) >= row_size + 2;
}

}  // namespace

void StartRowPage(std::string& page, RowPageOwner owner) {
  page[0] = static_cast<char>(kPageTypeData);
  page[1] = static_cast<char>(kPageMarker);
  PutU16(page, kDataFreeSpaceOffset, kPageSize - kDataRowOffsetsOffset);
  if (owner.long_values) {
    std::memcpy(page.data() + kDataOwnerOffset, kLongValueOwner, 4);
  } else {
    PutU32(page, kDataOwnerOffset, owner.definition_page);
  }
}

// Rows grow down from the page's end; their offsets grow up after the header.
int AddRow(std::string& page, std::string_view row) {
  const std::uint16_t count = GetU16(page, kDataRowCountOffset);
  const std::size_t end =
      count == 0 ? kPageSize : GetU16(page, kDataRowOffsetsOffset + 2 * (count - 1));
  const std::size_t start = end - row.size();
  std::memcpy(page.data() + start, row.data(), row.size());
  PutU16(page, kDataRowOffsetsOffset + 2 * count, static_cast<std::uint16_t>(start));
  PutU16(page, kDataRowCountOffset, count + 1);
  PutU16(page, kDataFreeSpaceOffset, GetU16(page, kDataFreeSpaceOffset) - row.size() - 2);
  return count;
}

std::uint32_t RowPlacer::Place(std::string_view row) {
  if (pages_.empty() || !HasRoom(file_.Page(pages_.back()), row.size())) {
    pages_.push_back(file_.Allocate());
    StartRowPage(file_.Page(pages_.back()), owner_);
  }
  const std::uint32_t page = pages_.back();
  const int index = AddRow(file_.Page(page), row);
  return (page << 8) | static_cast<std::uint32_t>(index);
}

}  // namespace orvano::jet4
