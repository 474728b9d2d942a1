#include "long_values.h"

#include <cstdint>
#include <vector>

#include "jet/jet4_format.h"
#include "le_bytes.h"
#include "row_pages.h"
#include "support/errors.h"

namespace orvano::jet4 {

namespace {

std::string MemoField(std::uint32_t length_and_flag, std::uint32_t pointer) {
  std::string field(kMemoFieldSize, '\0');
  PutU32(field, 0, length_and_flag);
  PutU32(field, 4, pointer);
  return field;
}

// Splits `data` into chain parts that each fit one row after the 4-byte next pointer.
std::vector<std::string_view> ChainParts(std::string_view data) {
  std::vector<std::string_view> parts;
  while (!data.empty()) {
    const std::string_view part = data.substr(0, kMaxRowSize - 4);
    parts.push_back(part);
    data.remove_prefix(part.size());
  }
  return parts;
}

}  // namespace

std::string InlineMemo(std::string_view data) {
  return MemoField(static_cast<std::uint32_t>(data.size()) | kMemoInline, 0) += data;
}

std::string StoreMemo(RowPlacer& long_value_pages, std::string_view data) {
  if (data.size() > kMemoMaxLength) {
    throw ProgramError("a memo of " + std::to_string(data.size()) + " bytes is longer than " +
                           std::to_string(kMemoMaxLength) + " bytes",
                       "mdb_writer");
  }
  const auto length = static_cast<std::uint32_t>(data.size());
  if (data.size() <= kMaxRowSize) {
    return MemoField(length | kMemoSingleRow, long_value_pages.Place(data));
  }
  // The last part is placed first, so every part knows the pointer of the one after it.
  const std::vector<std::string_view> parts = ChainParts(data);
  std::uint32_t next = 0;
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
    std::string row;
    AppendU32(row, next);
    row += *part;
    next = long_value_pages.Place(row);
  }
  return MemoField(length | kMemoChained, next);
}

}  // namespace orvano::jet4
